// What the connection needs of the library manager window: the pictures of its picture list
// (the bar's button faces) and showing it. The plug-in puts the real window behind it; tests
// put a stand-in.
#pragma once

#include <cstdint>

#include "addin/host/Picture.h"

namespace quillon::addin {

class ManagerWindow {
 public:
  virtual ~ManagerWindow() = default;
  // Returns item (1-based) of the window's picture list as a bitmap picture, creating the
  // window hidden when it does not exist yet; a picture of type kPicTypeNone when the list
  // has no such item.
  virtual host::Picture ListImage(int32_t item) = 0;
  // Shows the window modeless and without an owner window, creating it when needed.
  virtual void Show() = 0;
};

}  // namespace quillon::addin
