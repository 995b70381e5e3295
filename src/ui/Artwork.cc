#include "ui/Artwork.h"

#include <QImage>
#include <QPixmap>

namespace quillon::ui {

QIcon ArtworkIcon(int32_t item) {
  const std::span<const unsigned char> bytes = ArtworkBytes(item);
  if (bytes.empty()) return QIcon();
  QImage image;
  image.loadFromData(bytes.data(), static_cast<int>(bytes.size()));
  return QIcon(QPixmap::fromImage(image));
}

widgets::ImageList MakeImageList1() {
  widgets::ImageList list(32, 32);
  for (int32_t item = 1; item <= kImageList1Count; ++item) {
    widgets::c32bppDIB picture;
    picture.LoadPicture_Stream(ArtworkBytes(item));
    list.Add(picture);
  }
  return list;
}

}  // namespace quillon::ui
