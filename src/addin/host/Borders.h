// The borders of the cells a selection covers.
#pragma once

#include <memory>

namespace quillon::host {

class Border {
 public:
  virtual ~Border() = default;
  // Returns the line style (WdLineStyle) the border has on the first selected cell.
  virtual int LineStyle() const = 0;
  // Sets the line style (WdLineStyle; 0 none) of this border on every selected cell.
  // Throws HostError for an unknown style.
  virtual void SetLineStyle(int style) = 0;
};

class Borders {
 public:
  virtual ~Borders() = default;
  // Returns border which (WdBorderType, -1 to -8). Caller owns it. Throws HostError
  // (kErrNoSuchMember) for another value, (kErrNotAvailable) when no table cell is selected.
  virtual std::unique_ptr<Border> Item(int which) = 0;
};

}  // namespace quillon::host
