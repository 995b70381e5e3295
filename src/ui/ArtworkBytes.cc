#include "ui/ArtworkBytes.h"

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

}  // namespace quillon::ui
