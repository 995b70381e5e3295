// Button faces through the clipboard: a bitmap picture becomes the "Toolbar Button Face"
// format and a mask of one of its colours the "Toolbar Button Mask" format, which a command
// bar button's PasteFace takes (pixels of the mask colour show transparent).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "addin/host/Picture.h"

namespace quillon::host {
class Clipboard;
}

namespace quillon::addin {

// Error number for a picture that is missing, not a bitmap, or without pixels.
inline constexpr long kErrInvalidPicture = 481;
inline constexpr const char* kFaceFormat = "Toolbar Button Face";
inline constexpr const char* kMaskFormat = "Toolbar Button Mask";
// The sides a bitmap may have for a mask to be made.
inline constexpr int32_t kMaxMaskSide = 30000;

// A monochrome bitmap: true where the pixel is white.
struct MaskBitmap {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<bool> white;  // rows top to bottom
};

// Returns the RGB value (0x00BBGGRR) of an OLE colour: plain colours as they are, system
// colours from the classic desktop palette, palette indexes (0x01nnnnnn) and palette-relative
// colours (0x02BBGGRR) through palette. std::nullopt when it cannot be translated.
std::optional<uint32_t> TranslateOleColor(uint32_t oleColor, const std::vector<uint32_t>& palette);

// Returns a halftone palette for a screen of true colours (a 6 x 6 x 6 colour cube and greys).
std::vector<uint32_t> MakeHalftonePalette();

// Puts picture on the clipboard as CF_DIB, its copy as "Toolbar Button Face" and the mask of
// maskColor (an OLE colour) as "Toolbar Button Mask". Throws HostError(kErrInvalidPicture)
// when the picture is missing, not a bitmap, or has no bitmap; nothing is placed then.
// REQUIRES: a clipboard is installed in host::Platform().
void PutButtonFace(const host::Picture* picture, uint32_t maskColor);

// Returns the mask of bitmap: white where a pixel equals maskRgb, black elsewhere.
// std::nullopt (no mask) when a side lies outside 1..30000. The palette is the one the
// colour was translated through.
std::optional<MaskBitmap> MakeMaskBitmap(const host::Bitmap& bitmap, uint32_t maskRgb,
                                         const std::vector<uint32_t>& palette);

// Returns the packed device-independent bitmap of mask: the 40-byte info header, the
// two-entry colour table (black, white) and the rows (bottom row first, 32-bit aligned).
std::vector<uint8_t> PackMaskBitmap(const MaskBitmap& mask);

// Returns bitmap as a CF_DIB block: the 40-byte info header and 32-bit rows, bottom row first.
std::vector<uint8_t> PackBitmap(const host::Bitmap& bitmap);

// Places the CF_DIB block the clipboard holds under "Toolbar Button Face" and mask under
// "Toolbar Button Mask" (a block of biSizeImage + 50 bytes). Places nothing when the
// clipboard cannot be opened; a format whose block is missing or refused is skipped.
void PutMaskOnClipboard(host::Clipboard& clipboard, const MaskBitmap& mask);

}  // namespace quillon::addin
