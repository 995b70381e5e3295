// The error a failed host call raises in the calling routine, as Word's object model reports
// one: an error number, a description and, where the raising routine names itself, a source.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace quillon::host {

// Error numbers the host uses; the values are Word's own where Word has one.
inline constexpr long kErrCommandFailed = 4198;
inline constexpr long kErrBadParameter = 5843;
inline constexpr long kErrNoSuchMember = 5941;
inline constexpr long kErrNotAvailable = 4605;
inline constexpr long kErrObjectDeleted = 5825;
inline constexpr long kErrNoSuchStyle = 5834;

class HostError : public std::runtime_error {
 public:
  HostError(long number, const std::string& description, std::string source = {})
      : std::runtime_error(description), number_(number), source_(std::move(source)) {}

  // Returns the host's error number (Word's numbering where it has one).
  long Number() const { return number_; }
  // Returns the host's description of the failure.
  std::string Description() const { return what(); }
  // Returns the routine that raised the error ("Class.Member (detail)"); empty when the host
  // raised it.
  const std::string& Source() const { return source_; }

 private:
  long number_;
  std::string source_;
};

}  // namespace quillon::host
