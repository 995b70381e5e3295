// The error a .docx package or document raises when it cannot be read or written. Its message
// says what is wrong in words a user can act on; callers add the file name.
#pragma once

#include <stdexcept>
#include <string>

namespace quillon::docx {

class DocxError : public std::runtime_error {
 public:
  explicit DocxError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace quillon::docx
