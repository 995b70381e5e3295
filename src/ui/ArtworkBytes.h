// The windows' button pictures as the files scripts/make-artwork.py drew, compiled in: the
// picture list of the library manager (ImageList1, items 1 to 16; items 12 to 16 are the host
// bar's five buttons on a black background that the bar makes transparent) and the online
// search button. Needs no window system, so the add-in's resource table can carry them too.
#pragma once

#include <cstdint>
#include <span>

namespace quillon::ui {

enum ArtworkItem : int32_t {
  kArtOpen = 1,
  kArtCreate = 2,
  kArtAdd = 3,
  kArtInsert = 4,
  kArtDelete = 5,
  kArtSearch = 6,
  kArtAbout = 7,
  kArtEdit = 8,
  kArtLeftToRight = 9,
  kArtRightToLeft = 10,
  kArtLibrary = 11,
  kArtBarInsertLast = 12,
  kArtBarExport = 13,
  kArtBarList = 14,
  kArtBarLookup = 15,
  kArtBarUpdate = 16,
  kArtSearchLarge = 100,  // not in the picture list
};

inline constexpr int32_t kImageList1Count = 16;
// The picture list's items that are the host bar's button faces (BMP files, not PNG).
inline constexpr int32_t kFirstBarArtwork = kArtBarInsertLast;
inline constexpr int32_t kLastBarArtwork = kArtBarUpdate;

// The file bytes of an item; empty for an unknown item. Valid until the program ends.
std::span<const unsigned char> ArtworkBytes(int32_t item);

}  // namespace quillon::ui
