// The windows' button pictures, drawn by scripts/make-artwork.py and compiled in: the picture
// list of the library manager (ImageList1, items 1 to 16; items 12 to 16 are the host bar's
// five buttons on a black background that the bar makes transparent) and the online search
// button.
#pragma once

#include <QIcon>
#include <cstdint>
#include <span>

#include "widgets/ImageList.h"

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

// The file bytes of an item; empty for an unknown item.
std::span<const unsigned char> ArtworkBytes(int32_t item);
// The item as an icon; a null icon for an unknown item.
QIcon ArtworkIcon(int32_t item);
// The manager's picture list: items 1 to 16 in order, shown at 32 x 32.
widgets::ImageList MakeImageList1();

}  // namespace quillon::ui
