// The failure of a library statement inside a command that stops at the first one.
#pragma once

#include <stdexcept>

namespace quillon::library {

// Thrown by the query layer, under a LibrarySession that stops at failures, after the failure
// has been shown to the user; what() is the text shown. Whoever catches it ends the command
// without showing anything more.
class LibraryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace quillon::library
