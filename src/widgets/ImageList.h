// An image list: pictures of one size that controls and command bars show by index, like the
// platform's common-controls image list. Pictures are held by value.
#pragma once

#include <cstdint>
#include <vector>

#include "widgets/c32bppDIB.h"

namespace quillon::widgets {

class ImageList {
 public:
  ImageList(int32_t imageWidth = 16, int32_t imageHeight = 16)
      : imageWidth_(imageWidth), imageHeight_(imageHeight) {}

  // Adds a copy of picture and returns its 1-based index, or 0 (nothing added) when the
  // picture holds no pixels.
  int32_t Add(const c32bppDIB& picture) {
    if (picture.Width() <= 0 || picture.Height() <= 0) return 0;
    pictures_.push_back(picture);
    return Count();
  }
  int32_t Count() const { return static_cast<int32_t>(pictures_.size()); }
  // Returns picture index (1-based), or nullptr when there is none at that index.
  const c32bppDIB* Picture(int32_t index) const {
    if (index < 1 || index > Count()) return nullptr;
    return &pictures_[static_cast<size_t>(index - 1)];
  }
  void Clear() { pictures_.clear(); }
  // The size the pictures are shown at.
  int32_t ImageWidth() const { return imageWidth_; }
  int32_t ImageHeight() const { return imageHeight_; }

 private:
  int32_t imageWidth_;
  int32_t imageHeight_;
  std::vector<c32bppDIB> pictures_;
};

}  // namespace quillon::widgets
