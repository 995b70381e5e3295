// The one error of the LibreOffice host: soffice could not be started or reached, or a call
// into it failed. The message says which step and why.
#pragma once

#include <stdexcept>

namespace quillon::libreoffice {

class LibreOfficeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace quillon::libreoffice
