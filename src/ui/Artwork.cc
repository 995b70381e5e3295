#include "ui/Artwork.h"

#include <QImage>
#include <QPixmap>

namespace quillon::resources {
extern const std::span<const unsigned char> ArtOpen, ArtCreate, ArtAdd, ArtInsert, ArtDelete,
    ArtSearch, ArtAbout, ArtEdit, ArtLtr, ArtRtl, ArtLibrary, ArtBarLookup, ArtBarUpdate,
    ArtBarList, ArtBarLast, ArtBarExport, ArtSearch64;
}  // namespace quillon::resources

namespace quillon::ui {

std::span<const unsigned char> ArtworkBytes(int32_t item) {
  using namespace quillon::resources;
  switch (item) {
    case kArtOpen:
      return ArtOpen;
    case kArtCreate:
      return ArtCreate;
    case kArtAdd:
      return ArtAdd;
    case kArtInsert:
      return ArtInsert;
    case kArtDelete:
      return ArtDelete;
    case kArtSearch:
      return ArtSearch;
    case kArtAbout:
      return ArtAbout;
    case kArtEdit:
      return ArtEdit;
    case kArtLeftToRight:
      return ArtLtr;
    case kArtRightToLeft:
      return ArtRtl;
    case kArtLibrary:
      return ArtLibrary;
    case kArtBarLookup:
      return ArtBarLookup;
    case kArtBarUpdate:
      return ArtBarUpdate;
    case kArtBarList:
      return ArtBarList;
    case kArtBarInsertLast:
      return ArtBarLast;
    case kArtBarExport:
      return ArtBarExport;
    case kArtSearchLarge:
      return ArtSearch64;
    default:
      return {};
  }
}

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
