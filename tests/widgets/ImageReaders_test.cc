// The image readers against pictures made with ImageMagick: each file under tests/data/images
// comes with the pixels ImageMagick reports for it ("convert file txt:-"), and the readers
// must give those same pixels.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "widgets/BmpReader.h"
#include "widgets/GifReader.h"
#include "widgets/ImageDecoder.h"
#include "widgets/PngReader.h"

namespace quillon::widgets {
namespace {

const std::string kDir = "tests/data/images/";

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

struct Reference {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;  // straight, 8 bits a channel, top row first
};

// Parses ImageMagick's pixel enumeration: a header "# ImageMagick pixel enumeration: w,h,max,
// space" and lines "x,y: (c1,c2,c3[,alpha]) ...". Values are scaled from max to 8 bits.
Reference ParseEnumeration(const std::string& path) {
  Reference ref;
  std::ifstream in(path);
  std::string line;
  unsigned max = 255;
  std::getline(in, line);
  EXPECT_EQ(std::sscanf(line.c_str(), "# ImageMagick pixel enumeration: %d,%d,%u", &ref.width,
                        &ref.height, &max),
            3)
      << path;
  ref.rgba.assign(static_cast<size_t>(ref.width) * ref.height * 4, 0);
  while (std::getline(in, line)) {
    int x, y;
    unsigned v[4] = {0, 0, 0, max};
    int n = std::sscanf(line.c_str(), "%d,%d: (%u,%u,%u,%u)", &x, &y, &v[0], &v[1], &v[2], &v[3]);
    if (n < 5) continue;
    for (int c = 0; c < 4; ++c) {
      ref.rgba[(static_cast<size_t>(y) * ref.width + x) * 4 + c] =
          static_cast<uint8_t>((v[c] * 255 + max / 2) / max);
    }
  }
  return ref;
}

// Compares decoded pixels with the reference; colours of fully transparent pixels are free.
void ExpectPixels(const DecodedImage& image, const Reference& ref, const std::string& name) {
  ASSERT_EQ(image.width, ref.width) << name;
  ASSERT_EQ(image.height, ref.height) << name;
  int mismatches = 0;
  for (int y = 0; y < ref.height; ++y) {
    for (int x = 0; x < ref.width; ++x) {
      const uint8_t* e = &ref.rgba[(static_cast<size_t>(y) * ref.width + x) * 4];
      const uint8_t* g = &image.pixels[(static_cast<size_t>(y) * ref.width + x) * 4];
      bool same = e[3] == g[3] && (e[3] == 0 || (e[0] == g[2] && e[1] == g[1] && e[2] == g[0]));
      if (!same && ++mismatches <= 3) {
        ADD_FAILURE() << name << " pixel " << x << "," << y << ": expected rgba(" << +e[0] << ","
                      << +e[1] << "," << +e[2] << "," << +e[3] << ") got rgba(" << +g[2] << ","
                      << +g[1] << "," << +g[0] << "," << +g[3] << ")";
      }
    }
  }
  EXPECT_EQ(mismatches, 0) << name;
}

struct PictureCase {
  const char* file;
  ImageFormat format;
  bool hasAlpha;
  int32_t wantedWidth = 0, wantedHeight = 0;
  const char* reference = nullptr;  // default: file + ".txt"
};

class ReadersMatchImageMagick : public testing::TestWithParam<PictureCase> {};

TEST_P(ReadersMatchImageMagick, SamePixels) {
  const PictureCase& c = GetParam();
  std::vector<uint8_t> data = ReadAll(kDir + c.file);
  ASSERT_FALSE(data.empty()) << c.file;
  DecodedImage image;
  ASSERT_TRUE(DecodeImage(data, c.wantedWidth, c.wantedHeight, image)) << c.file;
  EXPECT_EQ(image.format, c.format) << c.file;
  EXPECT_EQ(image.hasAlpha, c.hasAlpha) << c.file;
  EXPECT_FALSE(image.premultiplied) << c.file;
  const std::string ref = c.reference ? c.reference : std::string(c.file) + ".txt";
  ExpectPixels(image, ParseEnumeration(kDir + ref), c.file);
}

const PictureCase kPictures[] = {
    {"rgba16.png", ImageFormat::kPng, true},
    {"rgb_trns.png", ImageFormat::kPng, true},
    {"interlaced.png", ImageFormat::kPng, true},
    {"grey1_interlaced.png", ImageFormat::kPng, false},
    {"grey2_trns.png", ImageFormat::kPng, true},
    {"grey16.png", ImageFormat::kPng, false},
    {"greyalpha8.png", ImageFormat::kPng, true},
    {"palette2_trns.png", ImageFormat::kPng, true},
    {"transparent89a.gif", ImageFormat::kGif, true},
    {"interlaced.gif", ImageFormat::kGif, false},
    {"bits1.bmp", ImageFormat::kBitmap, false},
    {"rle8.bmp", ImageFormat::kBitmap, false},
    {"bits24.bmp", ImageFormat::kBitmap, false},
    {"topdown24.bmp", ImageFormat::kBitmap, false},
    {"bits32.bmp", ImageFormat::kBitmap, true},
    {"mask4.ico", ImageFormat::kIcon, true},
    // Several sizes (8 and 16): the nearest to the wanted size, 11 and 12 on either side of the
    // middle; no size takes the largest.
    {"two_sizes.ico", ImageFormat::kIcon, true, 0, 0, "two_sizes.ico.1.txt"},
    {"two_sizes.ico", ImageFormat::kIcon, true, 11, 11, "two_sizes.ico.txt"},
    {"two_sizes.ico", ImageFormat::kIcon, true, 12, 12, "two_sizes.ico.1.txt"},
    {"png_entry.ico", ImageFormat::kIcon, true, 6, 4, "png_entry.ico.txt"},
    {"png_entry.ico", ImageFormat::kIcon, true, 7, 5, "png_entry.ico.1.txt"}};
INSTANTIATE_TEST_SUITE_P(Pictures, ReadersMatchImageMagick, testing::ValuesIn(kPictures));

TEST(ImageSniffing, ByContentNotName) {
  EXPECT_EQ(SniffImageFormat(ReadAll(kDir + "rgba8.png")), ImageFormat::kPng);
  EXPECT_EQ(SniffImageFormat(ReadAll(kDir + "mask4.cur")), ImageFormat::kCursor);
  std::vector<uint8_t> gif = ReadAll(kDir + "opaque87a.gif");
  for (int i = 0; i < 6; ++i) gif[i] = static_cast<uint8_t>(toupper(gif[i]));
  EXPECT_EQ(SniffImageFormat(gif), ImageFormat::kGif);
  gif[0] = 'g';
  gif[1] = 'i';
  EXPECT_EQ(SniffImageFormat(gif), ImageFormat::kGif);  // any letter case
  const std::vector<uint8_t> text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'};
  EXPECT_EQ(SniffImageFormat(text), ImageFormat::kNone);
  DecodedImage image;
  EXPECT_FALSE(DecodeImage(text, 0, 0, image));
}

// Damaged data is refused: every prefix, and single corrupted bytes, of each kind of file.
TEST(ImageReadersRefuse, TruncatedAndCorrupted) {
  for (const char* file : {"rgba8.png", "interlaced.png", "transparent89a.gif", "mask4.ico",
                           "bits24.bmp", "rle8.bmp", "png_entry.ico"}) {
    std::vector<uint8_t> data = ReadAll(kDir + file);
    for (size_t n = 0; n < data.size(); ++n) {
      DecodedImage image;
      std::vector<uint8_t> prefix(data.begin(), data.begin() + n);
      bool ok = DecodeImage(prefix, 0, 0, image);
      // Only formats without checksums may accept a prefix; what they give stays in bounds.
      if (ok) {
        EXPECT_EQ(image.pixels.size(), static_cast<size_t>(image.width) * image.height * 4);
      }
    }
  }
  std::vector<uint8_t> png = ReadAll(kDir + "rgba8.png");
  DecodedImage image;
  // The last chunk runs past the end of the data.
  EXPECT_FALSE(ReadPng(std::vector<uint8_t>(png.begin(), png.end() - 13), image));
  png[40] ^= 0x01;  // inside the IDAT data: its checksum no longer matches
  EXPECT_FALSE(ReadPng(png, image));
}

// rgb8.png with its header rewritten to claim width x height pixels (checksum fixed).
std::vector<uint8_t> PngClaiming(uint32_t width, uint32_t height) {
  std::vector<uint8_t> png = ReadAll(kDir + "rgb8.png");
  for (int i = 0; i < 4; ++i) {
    png[16 + i] = static_cast<uint8_t>(width >> (24 - 8 * i));
    png[20 + i] = static_cast<uint8_t>(height >> (24 - 8 * i));
  }
  uLong crc = crc32(0L, &png[12], 17);
  for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
  return png;
}

void SetLe16(std::vector<uint8_t>& data, size_t at, int32_t value) {
  data[at] = static_cast<uint8_t>(value);
  data[at + 1] = static_cast<uint8_t>(value >> 8);
}

TEST(ImageReadersRefuse, AbsurdSizes) {
  // Beyond the size limit, and within it but far beyond what the little IDAT can inflate to.
  for (auto [w, h] :
       {std::pair<uint32_t, uint32_t>{100000, 100000}, {16000, 16000}, {4000, 3000}}) {
    DecodedImage image;
    EXPECT_FALSE(ReadPng(PngClaiming(w, h), image)) << w << "x" << h;
  }
  DecodedImage image;
  // A BMP header claiming 2^30 x 2 pixels.
  std::vector<uint8_t> bmp = ReadAll(kDir + "bits24.bmp");
  SetLe16(bmp, 18, 0);
  SetLe16(bmp, 20, 0x4000);
  EXPECT_FALSE(ReadBmp(bmp, image));
  // GIF screens of 65535 x 65535, and within the limit but a 9 x 6 frame of a few bytes on a
  // 24329 x 9472 screen.
  for (auto [width, height] : {std::pair{0xFFFF, 0xFFFF}, {24329, 9472}}) {
    std::vector<uint8_t> gif = ReadAll(kDir + "opaque87a.gif");
    SetLe16(gif, 6, width);
    SetLe16(gif, 8, height);
    EXPECT_FALSE(ReadGif(gif, image)) << width << "x" << height;
  }
  // A screen somewhat larger than the frame is the usual case and stays accepted.
  std::vector<uint8_t> gif = ReadAll(kDir + "opaque87a.gif");
  const int32_t width = Le16(&gif[6]) + 2, height = Le16(&gif[8]) + 2;
  SetLe16(gif, 6, width);
  SetLe16(gif, 8, height);
  ASSERT_TRUE(ReadGif(gif, image));
  EXPECT_EQ(image.width, width);
  EXPECT_EQ(image.height, height);
}

}  // namespace
}  // namespace quillon::widgets
