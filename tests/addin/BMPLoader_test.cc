#include "addin/BMPLoader.h"

#include <gtest/gtest.h>

#include "addin/FakeHost.h"
#include "addin/host/HostError.h"

namespace quillon::addin {
namespace {

// A bitmap picture of width x height black pixels.
host::Picture BlackPicture(int32_t width, int32_t height) {
  const std::vector<uint32_t> pixels(size_t(width) * size_t(height));
  return {host::kPicTypeBitmap, std::make_shared<host::Bitmap>(host::Bitmap{width, height, pixels}),
          std::nullopt};
}

class BMPLoaderTest : public testing::HostServicesTest {};

// 10 x 2: row 0 black but green pixel 3, row 1 red but black pixels 0 and 9. The mask block is
// a 1-bit header, a black and white palette, then rows of 10 bits padded to 4 bytes, bottom up.
TEST_F(BMPLoaderTest, MaskBlockMarksThePixelsOfTheMaskColour) {
  std::vector<uint32_t> pixels(20);
  pixels[3] = 0x00FF00;
  for (int x = 1; x < 9; ++x) pixels[10 + x] = 0x0000FF;
  const host::Picture picture{host::kPicTypeBitmap,
                              std::make_shared<host::Bitmap>(host::Bitmap{10, 2, pixels}),
                              std::nullopt};
  const std::pair<uint32_t, std::vector<uint8_t>> cases[] = {
      {0x000000, {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0x80, 0x40, 0, 0, 0xEF, 0xC0, 0, 0, 0, 0}},
      {0x0000FF, {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0x7F, 0x80, 0, 0, 0, 0, 0, 0, 0, 0}}};
  for (const auto& [colour, tail] : cases) {
    PutButtonFace(&picture, colour);
    const std::vector<uint8_t> mask = clipboard.Block(kMaskFormat);
    ASSERT_EQ(mask.size(), 58u);
    // Header size, width, height, planes, bits per pixel, image size.
    EXPECT_EQ(std::make_tuple(mask[0], mask[4], mask[8], mask[12], mask[14], mask[20]),
              std::make_tuple(40, 10, 2, 1, 1, 8));
    EXPECT_EQ(std::vector<uint8_t>(mask.begin() + 40, mask.end()), tail) << colour;
  }
  clipboard.data.clear();  // without a CF_DIB block only the mask is placed
  PutMaskOnClipboard(clipboard, *MakeMaskBitmap(*picture.handle, 0, {}));
  EXPECT_TRUE(clipboard.Block(kFaceFormat).empty());
  EXPECT_EQ(clipboard.Block(kMaskFormat).size(), 58u);
}

TEST_F(BMPLoaderTest, InvalidPicturesRaise481AndPlaceNothing) {
  const auto pixels = BlackPicture(10, 2).handle;
  const struct {
    const char* name;
    host::Picture picture;
    bool missing;
  } cases[] = {
      {"missing", {}, true},
      {"icon", {host::kPicTypeIcon, pixels, std::nullopt}, false},
      {"no handle", {host::kPicTypeBitmap, nullptr, std::nullopt}, false},
  };
  for (const auto& c : cases) {
    clipboard.data.clear();
    clipboard.data[1] = {'k', 'e', 'e', 'p'};
    const auto put = [&] { PutButtonFace(c.missing ? nullptr : &c.picture, 0); };
    EXPECT_EQ(testing::RaisedBy(put).Number(), 481) << c.name;
    EXPECT_EQ(clipboard.data.size(), 1u) << c.name;
  }
}

TEST_F(BMPLoaderTest, SidesOutsideOneTo30000MakeNoMask) {
  const struct {
    int32_t width, height;
    bool masked;
  } cases[] = {{1, 1, true},      {30000, 1, true},  {1, 30000, true},
               {30001, 1, false}, {1, 30001, false}, {0, 0, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    const host::Picture picture = BlackPicture(c.width, c.height);
    clipboard.data.clear();
    PutButtonFace(&picture, 0);
    EXPECT_TRUE(clipboard.data.count(host::kCfDib));
    EXPECT_EQ(clipboard.Block(kMaskFormat).empty(), !c.masked);
    // The face is a byte copy of the CF_DIB block.
    EXPECT_EQ(clipboard.Block(kFaceFormat),
              c.masked ? clipboard.data.at(host::kCfDib) : std::vector<uint8_t>());
  }
}

TEST_F(BMPLoaderTest, BusyClipboardTakesNothing) {
  clipboard.busy = true;
  const host::Picture picture = BlackPicture(10, 2);
  PutButtonFace(&picture, 0);
  EXPECT_TRUE(clipboard.data.empty());
}

TEST(OleColours, TranslateThroughThePaletteAndTheHalftoneOne) {
  const std::vector<uint32_t> palette = {0x000000, 0x123456, 0xFFFFFF};
  // Plain, palette index (and one past the palette), nearest palette colour, system colour
  // (window text), and an unknown kind.
  const std::pair<uint32_t, std::optional<uint32_t>> cases[] = {
      {0x00ABCDEF, 0xABCDEF}, {0x01000001, 0x123456}, {0x01000009, std::nullopt},
      {0x02FEFEFE, 0xFFFFFF}, {0x80000008, 0x000000}, {0x40000000, std::nullopt}};
  for (const auto& [ole, rgb] : cases) EXPECT_EQ(TranslateOleColor(ole, palette), rgb) << ole;
  // The halftone palette: the colour cube, then ten greys.
  const std::vector<uint32_t> halftone = MakeHalftonePalette();
  EXPECT_EQ(std::make_tuple(halftone.front(), halftone[215], halftone.size()),
            std::make_tuple(0x000000u, 0xFFFFFFu, 216u + 10u));
  EXPECT_EQ(TranslateOleColor(0x01000001, halftone), 0x000033u);
}

}  // namespace
}  // namespace quillon::addin
