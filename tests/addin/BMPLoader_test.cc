#include "addin/BMPLoader.h"

#include <gtest/gtest.h>

#include "addin/FakeHost.h"
#include "addin/host/HostError.h"

namespace quillon::addin {
namespace {

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
         uint32_t(b[at + 3]) << 24;
}

// A 10 x 2 picture: row 0 black except pixel 3, row 1 red except black pixels 0 and 9.
host::Picture KnownPicture() {
  auto bitmap = std::make_shared<host::Bitmap>(host::Bitmap{10, 2, std::vector<uint32_t>(20, 0)});
  bitmap->pixels[3] = 0x00FF00;
  for (int x = 1; x < 9; ++x) bitmap->pixels[10 + x] = 0x0000FF;
  return {host::kPicTypeBitmap, bitmap, std::nullopt};
}

class BMPLoaderTest : public testing::HostServicesTest {};

// Rows of 10 pixels are padded to 4 bytes: biSizeImage 8, block 8 + 50 (the room stays zero).
// Rows run bottom up: picture row 1 (red but black 0 and 9), then row 0 (black but green 3).
TEST_F(BMPLoaderTest, MaskBlockMarksThePixelsOfTheMaskColour) {
  const struct {
    uint32_t colour;
    std::vector<uint8_t> rows;
  } cases[] = {{0x000000, {0x80, 0x40, 0, 0, 0xEF, 0xC0, 0, 0, 0, 0}},
               {0x0000FF, {0x7F, 0x80, 0, 0, 0, 0, 0, 0, 0, 0}}};
  const host::Picture picture = KnownPicture();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.colour);
    PutButtonFace(&picture, c.colour);
    const std::vector<uint8_t> mask = clipboard.Block(kMaskFormat);
    ASSERT_EQ(mask.size(), 58u);
    EXPECT_EQ(std::make_tuple(Le32(mask, 0), Le32(mask, 4), Le32(mask, 8), Le32(mask, 20)),
              std::make_tuple(40u, 10u, 2u, 8u));
    EXPECT_EQ(mask[12], 1);  // planes
    EXPECT_EQ(mask[14], 1);  // bits per pixel
    EXPECT_EQ(Le32(mask, 40), 0x000000u);
    EXPECT_EQ(Le32(mask, 44), 0xFFFFFFu);
    EXPECT_EQ(std::vector<uint8_t>(mask.begin() + 48, mask.end()), c.rows);
  }
}

TEST_F(BMPLoaderTest, FaceIsAByteCopyOfTheDibBlock) {
  const host::Picture picture = KnownPicture();
  PutButtonFace(&picture, 0);
  const std::vector<uint8_t> dib = clipboard.data.at(host::kCfDib);
  EXPECT_EQ(clipboard.Block(kFaceFormat), dib);
  ASSERT_EQ(dib.size(), 40u + 10 * 2 * 4);
  EXPECT_EQ(dib[14], 32);
  // Bottom row first, blue-green-red order: pixel (1, 1) is red; top row, pixel 3 is green.
  EXPECT_EQ(dib[40 + 4 + 2], 0xFF);
  EXPECT_EQ(dib[40 + 4 + 0], 0x00);
  EXPECT_EQ(dib[40 + 40 + 12 + 1], 0xFF);
}

TEST_F(BMPLoaderTest, InvalidPicturesRaise481AndPlaceNothing) {
  auto pixels = std::make_shared<host::Bitmap>(*KnownPicture().handle);
  const struct {
    const char* name;
    host::Picture picture;
    bool missing;
  } cases[] = {
      {"missing", {}, true},
      {"icon", {host::kPicTypeIcon, pixels, std::nullopt}, false},
      {"metafile", {host::kPicTypeMetafile, pixels, std::nullopt}, false},
      {"none", {host::kPicTypeNone, pixels, std::nullopt}, false},
      {"no handle", {host::kPicTypeBitmap, nullptr, std::nullopt}, false},
  };
  for (const auto& c : cases) {
    clipboard.data.clear();
    clipboard.data[1] = {'k', 'e', 'e', 'p'};
    try {
      PutButtonFace(c.missing ? nullptr : &c.picture, 0);
      ADD_FAILURE() << c.name << " was accepted";
    } catch (const host::HostError& e) {
      EXPECT_EQ(e.Number(), 481) << c.name;
    }
    EXPECT_EQ(clipboard.data.size(), 1u) << c.name;
  }
}

TEST_F(BMPLoaderTest, SidesOutsideOneTo30000MakeNoMask) {
  struct SizeCase {
    int32_t width, height;
    bool masked;
  };
  const SizeCase cases[] = {{1, 1, true},      {30000, 1, true},  {1, 30000, true},
                            {30001, 1, false}, {1, 30001, false}, {0, 0, false}};
  for (const SizeCase& c : cases) {
    const host::Picture picture{
        host::kPicTypeBitmap,
        std::make_shared<host::Bitmap>(host::Bitmap{
            c.width, c.height, std::vector<uint32_t>(size_t(c.width) * size_t(c.height))}),
        std::nullopt};
    clipboard.data.clear();
    PutButtonFace(&picture, 0);
    EXPECT_TRUE(clipboard.data.count(host::kCfDib)) << c.width << "x" << c.height;
    EXPECT_EQ(clipboard.Block(kMaskFormat).empty(), !c.masked) << c.width << "x" << c.height;
    EXPECT_EQ(clipboard.Block(kFaceFormat).empty(), !c.masked) << c.width << "x" << c.height;
  }
}

TEST_F(BMPLoaderTest, BusyClipboardTakesNothing) {
  clipboard.busy = true;
  const host::Picture picture = KnownPicture();
  PutButtonFace(&picture, 0);
  EXPECT_TRUE(clipboard.data.empty());
}

TEST_F(BMPLoaderTest, MaskWithoutDibPlacesOnlyTheMask) {
  const host::Picture picture = KnownPicture();
  const auto mask = MakeMaskBitmap(*picture.handle, 0, {});
  ASSERT_TRUE(mask);
  PutMaskOnClipboard(clipboard, *mask);
  EXPECT_TRUE(clipboard.Block(kFaceFormat).empty());
  EXPECT_EQ(clipboard.Block(kMaskFormat).size(), 58u);
}

TEST(OleColours, TranslateThroughThePaletteAndTheHalftoneOne) {
  const std::vector<uint32_t> palette = {0x000000, 0x123456, 0xFFFFFF};
  EXPECT_EQ(TranslateOleColor(0x00ABCDEF, palette), 0xABCDEFu);
  EXPECT_EQ(TranslateOleColor(0x01000001, palette), 0x123456u);
  EXPECT_EQ(TranslateOleColor(0x01000009, palette), std::nullopt);
  EXPECT_EQ(TranslateOleColor(0x02FEFEFE, palette), 0xFFFFFFu);
  EXPECT_EQ(TranslateOleColor(0x80000008, palette), 0x000000u);  // window text
  EXPECT_EQ(TranslateOleColor(0x40000000, palette), std::nullopt);
  // The halftone palette: the colour cube, then ten greys.
  const std::vector<uint32_t> halftone = MakeHalftonePalette();
  EXPECT_EQ(halftone.front(), 0x000000u);
  EXPECT_EQ(halftone[215], 0xFFFFFFu);
  EXPECT_EQ(halftone.size(), 216u + 10u);
  EXPECT_EQ(TranslateOleColor(0x01000001, halftone), 0x000033u);
}

}  // namespace
}  // namespace quillon::addin
