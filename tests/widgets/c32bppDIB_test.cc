#include "widgets/c32bppDIB.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "widgets/Resources.h"

namespace quillon::resources {
extern const std::span<const unsigned char> TestPictureIcon;
extern const std::span<const unsigned char> TestPictureBmp;
}  // namespace quillon::resources

namespace quillon::widgets {
namespace {

namespace fs = std::filesystem;
const std::string kDir = "tests/data/images/";

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// A valid 1 x 1 BMP (core header, 1 bit, white), padded with zeros to size bytes.
std::vector<uint8_t> TinyBmp(size_t size) {
  static constexpr uint8_t kBmp[] = {
      'B',  'M', 36, 0,   0,   0,   0, 0, 0, 0, 32, 0, 0, 0,  // file
      12,   0,   0,  0,   1,   0,   1, 0, 1, 0, 1,  0,        // core header
      0,    0,   0,  255, 255, 255,                           // palette
      0x80, 0,   0,  0};                                      // one row
  std::vector<uint8_t> b(std::max(size, sizeof kBmp), 0);
  std::memcpy(b.data(), kBmp, sizeof kBmp);
  b.resize(size);
  return b;
}

// A target surface of w x h pixels, all set to color (0xAARRGGBB).
struct Target {
  Target(int w, int h, uint32_t color) : pixels(static_cast<size_t>(w) * h, color) {
    surface.bits = reinterpret_cast<uint8_t*>(pixels.data());
    surface.width = w;
    surface.height = h;
    surface.stride = w * 4;
  }
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * surface.width + x]; }
  std::vector<uint32_t> pixels;  // little-endian: bytes B, G, R, A
  Surface32 surface;
};

// A picture of w x h pixels, all set to the premultiplied color (0xAARRGGBB).
c32bppDIB Solid(int w, int h, uint32_t color, bool alpha) {
  c32bppDIB dib;
  EXPECT_TRUE(dib.InitializeDIB(w, h));
  uint8_t* p = dib.BitsPointer();
  for (int i = 0; i < w * h; ++i) std::memcpy(p + i * 4, &color, 4);
  dib.SetAlpha(alpha);
  return dib;
}

TEST(c32bppDIBLoad, ShortFilesAreRefusedBeforeDecoding) {
  testing::TempDir dir;
  WriteAll(dir.Path() / "56.bmp", TinyBmp(56));
  WriteAll(dir.Path() / "57.bmp", TinyBmp(57));
  c32bppDIB dib;
  EXPECT_FALSE(dib.LoadPicture_File(dir.Path() / "56.bmp"));
  EXPECT_EQ(dib.Handle(), nullptr);
  ASSERT_TRUE(dib.LoadPicture_File(dir.Path() / "57.bmp"));
  EXPECT_EQ(dib.Width(), 1);
  EXPECT_EQ(dib.PixelAt(0, 0), 0xFFFFFFFFu);
  std::vector<uint8_t> bytes = TinyBmp(57);
  EXPECT_FALSE(dib.LoadPicture_Stream(bytes, 0, 0, 1));  // 56 bytes from index 1
  EXPECT_FALSE(dib.LoadPicture_Stream(bytes, 0, 0, 0, 56));
  EXPECT_FALSE(dib.LoadPicture_Stream(bytes, 0, 0, 999));
}

TEST(c32bppDIBLoad, FileErrors) {
  c32bppDIB dib;
  std::vector<std::string> shown;
  dib.SetMessages({[&](const std::string& text) { shown.push_back(text); }, nullptr});
  EXPECT_FALSE(dib.LoadPicture_File(kDir + "no-such-file.png"));
  EXPECT_TRUE(shown.empty());                // a missing file fails quietly
  EXPECT_FALSE(dib.LoadPicture_File(kDir));  // a folder cannot be read: the system says why
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "Is a directory");
  EXPECT_FALSE(dib.LoadPicture_File(kDir + "rgba8.png.txt"));  // not a picture
  EXPECT_FALSE(dib.LoadPicture_File("/dev/zero"));             // endless: not read at all
  EXPECT_EQ(shown.size(), 1u);
}

TEST(c32bppDIBLoad, StreamSliceAndSourceBytes) {
  std::vector<uint8_t> png = ReadAll(kDir + "rgba8.png");
  std::vector<uint8_t> stream(10 + png.size() + 5, 0xEE);
  std::copy(png.begin(), png.end(), stream.begin() + 10);
  c32bppDIB dib;
  ASSERT_TRUE(dib.LoadPicture_Stream(stream, 0, 0, 10, png.size(), true));
  std::vector<uint8_t> held;
  ASSERT_TRUE(dib.GetOrginalFormat(held));
  EXPECT_EQ(held, png);
  // (120,9,165,128) at 3,0: colours times 128/255, rounded; the top row is last in memory.
  EXPECT_EQ(dib.PixelAt(3, 0), 0x803C0553u);
  EXPECT_EQ(dib.BitsPointer()[4 * dib.scanWidth() + 3 * 4 + 3], 128);
  const uint32_t pixel = dib.PixelAt(1, 1);
  ASSERT_TRUE(dib.LoadPicture_FromOrignalFormat());
  EXPECT_EQ(dib.PixelAt(1, 1), pixel);
  c32bppDIB without;
  ASSERT_TRUE(without.LoadPicture_File(kDir + "rgba8.png"));
  EXPECT_FALSE(without.GetOrginalFormat(held));
  EXPECT_FALSE(without.LoadPicture_FromOrignalFormat());
}

TEST(c32bppDIBLoad, Resources) {
  ResourceRegistry registry;
  registry.Add("PNG", 101, resources::TestPictureIcon);
  // Resource sections keep bitmaps without their file header.
  registry.Add("bitmap", 7, resources::TestPictureBmp.subspan(14));
  c32bppDIB dib;
  ASSERT_TRUE(dib.LoadPicture_Resource(101, std::string("png"), &registry, 16, 16));
  EXPECT_EQ(dib.Width(), 16);
  ASSERT_TRUE(dib.LoadPicture_Resource(7, kResBitmap, &registry));
  EXPECT_EQ(dib.Width(), 9);
  EXPECT_EQ(dib.ImageType(), ImageFormat::kBitmap);
  c32bppDIB fromFile;
  ASSERT_TRUE(fromFile.LoadPicture_File(kDir + "bits24.bmp"));
  EXPECT_EQ(dib.PixelAt(4, 2), fromFile.PixelAt(4, 2));
  EXPECT_FALSE(dib.LoadPicture_Resource(8, kResBitmap, &registry));
  EXPECT_FALSE(dib.LoadPicture_Resource(101, kResIcon, &registry));
  EXPECT_FALSE(dib.LoadPicture_Resource(101, 99, &registry));
  // Without a provider the add-in's own resources are used.
  AddinResources().Add("CUSTOM", 5, resources::TestPictureIcon);
  EXPECT_TRUE(dib.LoadPicture_Resource(5, std::string("CUSTOM")));
  AddinResources().Clear();
}

TEST(c32bppDIBState, InitializeAndDestroy) {
  c32bppDIB dib;
  EXPECT_TRUE(dib.HighQualityInterpolation());
  EXPECT_EQ(dib.Handle(), nullptr);
  ASSERT_TRUE(dib.InitializeDIB(3, -2));  // the absolute height is used
  EXPECT_EQ(dib.Height(), 2);
  EXPECT_TRUE(dib.Alpha());
  EXPECT_NE(dib.Handle(), nullptr);
  for (int i = 0; i < 24; ++i) EXPECT_EQ(dib.BitsPointer()[i], 0);
  dib.DestroyDIB();
  EXPECT_EQ(dib.Handle(), nullptr);
  EXPECT_EQ(dib.Width(), 0);
  EXPECT_FALSE(dib.InitializeDIB(5, 0));
  EXPECT_FALSE(dib.InitializeDIB(-1, 5));
  EXPECT_FALSE(dib.InitializeDIB(100000, 100000));
  EXPECT_EQ(dib.Handle(), nullptr);
  ASSERT_TRUE(dib.InitializeDIB(0, 5));  // a picture without pixels
  EXPECT_NE(dib.Handle(), nullptr);
  EXPECT_EQ(dib.BitsPointer(), nullptr);
  Target t(1, 1, 0x11223344);
  EXPECT_FALSE(dib.Render(t.surface, 0, 0));  // nothing to draw
  EXPECT_EQ(t.At(0, 0), 0x11223344u);
  ASSERT_TRUE(dib.InitializeDIB(2, 2));
  const c32bppDIB copy = dib;  // copies are deep
  ASSERT_TRUE(dib.InitializeDIB(3, 3));
  EXPECT_EQ(copy.Width(), 2);
  EXPECT_NE(copy.Handle(), dib.Handle());
}

// Camera-sized pictures are within the limit; the limits themselves hold exactly.
TEST(c32bppDIBState, SizeLimit) {
  for (auto [width, height, accepted] : {std::tuple{4000, 3000, true},
                                         {1 << 20, 1, true},
                                         {(1 << 20) + 1, 1, false},
                                         {1 << 14, 1 << 14, true},
                                         {(1 << 14) + 1, 1 << 14, false}})
    EXPECT_EQ(SaneImageSize(width, height), accepted) << width << "x" << height;
}

TEST(c32bppDIBSave, BmpFileLayoutAndRoundTrip) {
  testing::TempDir dir;
  c32bppDIB dib = Solid(2, 3, 0x80402010, true);
  std::memcpy(dib.BitsPointer(), "\x01\x02\x03\xFF", 4);  // bottom-left pixel
  ASSERT_TRUE(dib.SaveToFile(dir.Path() / "a.bmp"));
  std::vector<uint8_t> bmp = ReadAll(dir.Path() / "a.bmp");
  ASSERT_EQ(bmp.size(), 78u);
  // File size, pixel offset, header size, height (positive: bottom-up), bits per pixel, image
  // size, and the first stored pixel: the bottom-left one.
  EXPECT_EQ(std::make_tuple(bmp[0], Le32(&bmp[2]), Le32(&bmp[10]), Le32(&bmp[14]),
                            static_cast<int32_t>(Le32(&bmp[22])), Le16(&bmp[28]), Le32(&bmp[34]),
                            bmp[54]),
            std::make_tuple('B', 78u, 54u, 40u, 3, 32, 24u, 1));
  c32bppDIB back;
  ASSERT_TRUE(back.LoadPicture_File(dir.Path() / "a.bmp"));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_EQ(back.PixelAt(x, y), dib.PixelAt(x, y)) << x << y;
}

TEST(c32bppDIBSave, OverwriteQuestion) {
  testing::TempDir dir;
  c32bppDIB dib = Solid(2, 3, 0xFF000000, false);
  WriteAll(dir.Path() / "keep.bmp", {1, 2, 3});
  std::vector<std::string> asked;
  bool answer = false;
  dib.SetMessages({nullptr, [&](const std::string& q) {
                     asked.push_back(q);
                     return answer;
                   }});
  EXPECT_FALSE(dib.SaveToFile(dir.Path() / "keep.bmp", true));
  EXPECT_EQ(ReadAll(dir.Path() / "keep.bmp").size(), 3u);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], "Overwrite current file?");
  answer = true;
  EXPECT_TRUE(dib.SaveToFile(dir.Path() / "keep.bmp", true));
  EXPECT_EQ(ReadAll(dir.Path() / "keep.bmp").size(), 78u);
  EXPECT_TRUE(dib.SaveToFile(dir.Path() / "keep.bmp", false));
  EXPECT_EQ(asked.size(), 2u);  // not asked without the flag
  EXPECT_FALSE(c32bppDIB().SaveToFile(dir.Path() / "empty.bmp"));
}

TEST(c32bppDIBSave, PngRoundTrip) {
  testing::TempDir dir;
  for (const char* file : {"rgba8.png", "bits24.bmp", "transparent89a.gif"}) {
    c32bppDIB dib;
    ASSERT_TRUE(dib.LoadPicture_File(kDir + file));
    ASSERT_TRUE(dib.SaveToPNG((dir.Path() / "out.png").string()));
    c32bppDIB back;
    ASSERT_TRUE(back.LoadPicture_File(dir.Path() / "out.png"));
    EXPECT_EQ(back.Alpha(), dib.Alpha()) << file;
    ASSERT_EQ(back.Width(), dib.Width());
    for (int y = 0; y < dib.Height(); ++y) {
      for (int x = 0; x < dib.Width(); ++x)
        ASSERT_EQ(back.PixelAt(x, y), dib.PixelAt(x, y)) << file << " " << x << "," << y;
    }
  }
}

TEST(c32bppDIBRender, Opacity) {
  const c32bppDIB red = Solid(2, 2, 0xFFFF0000, false);
  const struct {
    int32_t opacity;
    bool drawn;
    uint32_t pixel;
  } cases[] = {
      {100, true, 0xFFFF0000}, {200, true, 0xFFFF0000}, {0, false, 0xFF0000FF},
      {150, true, 0xFF7F0080}, {-50, true, 0xFF7F0080}, {25, true, 0xFF3F00C0},
  };
  for (const auto& c : cases) {
    Target t(3, 3, 0xFF0000FF);  // opaque blue
    EXPECT_EQ(red.Render(t.surface, 1, 1, 0, 0, 0, 0, 0, 0, c.opacity), c.drawn) << c.opacity;
    EXPECT_EQ(t.At(1, 1), c.pixel) << c.opacity;
    EXPECT_EQ(t.At(0, 0), 0xFF0000FFu) << c.opacity;
  }
}

TEST(c32bppDIBRender, PerPixelAlpha) {
  const c32bppDIB halfRed = Solid(1, 1, 0x80800000, true);  // red at alpha 128, premultiplied
  for (auto [under, blend, result] :
       {std::tuple{0xFFFFFFFFu, true, 0xFFFF7F7Fu},
        {0xFFFFFFFFu, false, 0xFF800000u},  // copied
        {0u, true, 0x80800000u}}) {         // onto a transparent surface the alpha carries over
    Target t(1, 1, under);
    ASSERT_TRUE(halfRed.Render(t.surface, 0, 0, 0, 0, 0, 0, 0, 0, 100, blend));
    EXPECT_EQ(t.At(0, 0), result) << std::hex << under << blend;
  }
}

TEST(c32bppDIBRender, SourceRectangleAndClipping) {
  c32bppDIB dib = Solid(4, 2, 0xFF000000, false);
  // Column x has red value x * 50.
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x)
      dib.BitsPointer()[(y * 4 + x) * 4 + 2] = static_cast<uint8_t>(x * 50);
  }
  Target t(4, 2, 0);
  EXPECT_FALSE(dib.Render(t.surface, 0, 0, 0, 0, 3, 0, 2, 0));   // passes the right edge
  EXPECT_FALSE(dib.Render(t.surface, 0, 0, 0, 0, 0, 1, 0, 2));   // passes the bottom edge
  EXPECT_FALSE(dib.Render(t.surface, 0, 0, 0, 0, 0, 0, -1, 0));  // negative source width
  ASSERT_TRUE(dib.Render(t.surface, 0, 0, 2, 2, -5, 0, 2, 2));   // negative x counts as 0
  EXPECT_EQ(t.At(1, 0), 0xFF320000u);
  EXPECT_EQ(t.At(2, 0), 0u);
  Target s(4, 2, 0);
  ASSERT_TRUE(dib.Render(s.surface, 0, 0, 2, 1, 2, 0, 2, 1));
  EXPECT_EQ(s.At(0, 0), 0xFF640000u);
  EXPECT_EQ(s.At(1, 0), 0xFF960000u);
  // Partly and wholly outside the target: clipped, never written outside.
  Target c(2, 2, 0);
  ASSERT_TRUE(dib.Render(c.surface, -3, -1));
  EXPECT_EQ(c.At(0, 0), 0xFF960000u);
  EXPECT_EQ(c.At(0, 1), 0u);
  EXPECT_TRUE(dib.Render(c.surface, 5, 5));
  EXPECT_FALSE(c32bppDIB().Render(c.surface, 0, 0));
}

TEST(c32bppDIBRender, Stretching) {
  c32bppDIB dib = Solid(2, 1, 0xFF000000, false);
  dib.BitsPointer()[2] = 0;
  dib.BitsPointer()[6] = 200;
  dib.SetHighQualityInterpolation(false);
  Target nearest(4, 1, 0);
  ASSERT_TRUE(dib.Render(nearest.surface, 0, 0, 4, 1));
  EXPECT_EQ(nearest.pixels,
            (std::vector<uint32_t>{0xFF000000, 0xFF000000, 0xFFC80000, 0xFFC80000}));
  dib.SetHighQualityInterpolation(true);
  Target smooth(4, 1, 0);
  ASSERT_TRUE(dib.Render(smooth.surface, 0, 0, 4, 1));
  EXPECT_EQ(smooth.pixels, (std::vector<uint32_t>{0xFF000000, 0xFF320000, 0xFF960000, 0xFFC80000}));
}

}  // namespace
}  // namespace quillon::widgets
