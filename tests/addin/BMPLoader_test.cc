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
  auto bitmap = std::make_shared<host::Bitmap>();
  bitmap->width = 10;
  bitmap->height = 2;
  bitmap->pixels.assign(20, 0x000000);
  bitmap->pixels[3] = 0x00FF00;
  for (int x = 1; x < 9; ++x) bitmap->pixels[10 + x] = 0x0000FF;
  return {host::kPicTypeBitmap, bitmap, std::nullopt};
}

class BMPLoaderTest : public testing::HostServicesTest {};

TEST_F(BMPLoaderTest, MaskBlockHasHeaderColourTableRowsAndFiftyBytesOfRoom) {
  const host::Picture picture = KnownPicture();
  PutButtonFace(&picture, 0);
  const std::vector<uint8_t> mask = clipboard.Block(kMaskFormat);
  // Rows of 10 pixels are padded to 4 bytes: biSizeImage 8, block 8 + 50.
  ASSERT_EQ(mask.size(), 58u);
  EXPECT_EQ(Le32(mask, 0), 40u);
  EXPECT_EQ(Le32(mask, 4), 10u);
  EXPECT_EQ(Le32(mask, 8), 2u);
  EXPECT_EQ(mask[12], 1);  // planes
  EXPECT_EQ(mask[14], 1);  // bits per pixel
  EXPECT_EQ(Le32(mask, 20), 8u);
  EXPECT_EQ(Le32(mask, 40), 0x000000u);
  EXPECT_EQ(Le32(mask, 44), 0xFFFFFFu);
  // Bottom row first: picture row 1 (black at 0 and 9), then row 0 (all black but 3).
  const std::vector<uint8_t> rows(mask.begin() + 48, mask.begin() + 56);
  EXPECT_EQ(rows, (std::vector<uint8_t>{0x80, 0x40, 0, 0, 0xEF, 0xC0, 0, 0}));
  EXPECT_EQ(mask[56], 0);
  EXPECT_EQ(mask[57], 0);
}

TEST_F(BMPLoaderTest, FaceIsAByteCopyOfTheDibBlock) {
  const host::Picture picture = KnownPicture();
  PutButtonFace(&picture, 0);
  const std::vector<uint8_t> dib = clipboard.data.at(host::kCfDib);
  EXPECT_EQ(clipboard.Block(kFaceFormat), dib);
  ASSERT_EQ(dib.size(), 40u + 10 * 2 * 4);
  EXPECT_EQ(dib[14], 32);
  // Bottom row first, blue-green-red order: pixel (1, 1) is red.
  EXPECT_EQ(dib[40 + 4 + 2], 0xFF);
  EXPECT_EQ(dib[40 + 4 + 0], 0x00);
  // Top row, pixel 3 is green.
  EXPECT_EQ(dib[40 + 40 + 12 + 1], 0xFF);
}

TEST_F(BMPLoaderTest, OtherMaskColourMarksItsOwnPixels) {
  const host::Picture picture = KnownPicture();
  PutButtonFace(&picture, 0x0000FF);  // red
  const std::vector<uint8_t> mask = clipboard.Block(kMaskFormat);
  const std::vector<uint8_t> rows(mask.begin() + 48, mask.begin() + 56);
  EXPECT_EQ(rows, (std::vector<uint8_t>{0x7F, 0x80, 0, 0, 0, 0, 0, 0}));
}

struct InvalidCase {
  const char* name;
  host::Picture picture;
  bool missing;
};

TEST_F(BMPLoaderTest, InvalidPicturesRaise481AndPlaceNothing) {
  auto pixels = std::make_shared<host::Bitmap>(*KnownPicture().handle);
  const InvalidCase cases[] = {
      {"missing", {}, true},
      {"icon", {host::kPicTypeIcon, pixels, std::nullopt}, false},
      {"metafile", {host::kPicTypeMetafile, pixels, std::nullopt}, false},
      {"none", {host::kPicTypeNone, pixels, std::nullopt}, false},
      {"no handle", {host::kPicTypeBitmap, nullptr, std::nullopt}, false},
  };
  for (const InvalidCase& c : cases) {
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
    auto bitmap = std::make_shared<host::Bitmap>();
    bitmap->width = c.width;
    bitmap->height = c.height;
    bitmap->pixels.assign(size_t(c.width) * size_t(c.height), 0);
    const host::Picture picture{host::kPicTypeBitmap, bitmap, std::nullopt};
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

TEST(OleColours, TranslateThroughThePalette) {
  const std::vector<uint32_t> palette = {0x000000, 0x123456, 0xFFFFFF};
  EXPECT_EQ(TranslateOleColor(0x00ABCDEF, palette), 0xABCDEFu);
  EXPECT_EQ(TranslateOleColor(0x01000001, palette), 0x123456u);
  EXPECT_EQ(TranslateOleColor(0x01000009, palette), std::nullopt);
  EXPECT_EQ(TranslateOleColor(0x02FEFEFE, palette), 0xFFFFFFu);
  EXPECT_EQ(TranslateOleColor(0x80000008, palette), 0x000000u);  // window text
  EXPECT_EQ(TranslateOleColor(0x40000000, palette), std::nullopt);
}

TEST(OleColours, HalftonePaletteHoldsTheCubeAndGreys) {
  const std::vector<uint32_t> palette = MakeHalftonePalette();
  EXPECT_EQ(palette.front(), 0x000000u);
  EXPECT_EQ(palette[215], 0xFFFFFFu);
  EXPECT_EQ(palette.size(), 216u + 10u);
  // A palette index through the halftone palette reads the cube.
  EXPECT_EQ(TranslateOleColor(0x01000001, palette), 0x000033u);
}

}  // namespace
}  // namespace quillon::addin
