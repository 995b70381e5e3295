// What a find-and-replace writes in place of each match.
#pragma once

#include <string>

namespace quillon::host {

class Replacement {
 public:
  virtual ~Replacement() = default;
  // Forgets any formatting to apply with the replacement.
  virtual void ClearFormatting() = 0;
  // Returns the replacement text.
  virtual std::string Text() const = 0;
  // Sets the replacement text.
  virtual void SetText(const std::string& text) = 0;
};

}  // namespace quillon::host
