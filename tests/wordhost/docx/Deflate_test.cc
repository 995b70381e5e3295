#include "wordhost/docx/Deflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <random>
#include <string>
#include <string_view>

#include "wordhost/docx/DocxError.h"

namespace quillon::docx {
namespace {

// Returns the raw deflate stream data inflated, or "<damaged>" when zlib refuses it or it
// does not end where the data does.
std::string Inflate(const std::string& data, size_t size) {
  std::string out(size + 1, '\0');
  z_stream stream{};
  inflateInit2(&stream, -MAX_WBITS);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  int status = inflate(&stream, Z_FINISH);
  bool whole = status == Z_STREAM_END && stream.avail_in == 0;
  out.resize(stream.total_out);
  inflateEnd(&stream);
  return whole ? out : "<damaged>";
}

std::string Paragraphs(size_t size) {
  std::string text;
  for (int i = 0; text.size() < size; ++i) {
    text += "<w:p><w:r><w:t>Paragraph " + std::to_string(i) + " of the report</w:t></w:r></w:p>";
  }
  text.resize(size);
  return text;
}

std::string Noise(size_t size) {
  std::mt19937 random(7);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

struct DeflateCase {
  const char* name;
  std::string content;
};

TEST(DeflatePart, RoundTripsWithItsCrcWhateverTheThreads) {
  const DeflateCase cases[] = {
      {"empty", ""},
      {"one byte", "x"},
      {"small part", Paragraphs(5000)},
      {"exactly one block", Paragraphs(kDeflateBlock)},
      {"one block and a byte", Paragraphs(kDeflateBlock + 1)},
      {"several blocks", Paragraphs(3 * kDeflateBlock + 12345)},
      {"incompressible blocks", Noise(2 * kDeflateBlock + 99)},
  };
  for (const DeflateCase& c : cases) {
    SCOPED_TRACE(c.name);
    DeflatedPart one = DeflatePart(c.content, 6, 1);
    EXPECT_EQ(Inflate(one.data, c.content.size()), c.content);
    EXPECT_EQ(one.crc, static_cast<uint32_t>(crc32_z(
                           0, reinterpret_cast<const Bytef*>(c.content.data()), c.content.size())));
    EXPECT_EQ(one.size, c.content.size());
    EXPECT_EQ(InflatePart(one), c.content);
    // The bytes written depend neither on the machine's cores nor on the pieces the part was
    // handed over in, blocks filled exactly and one byte at a time at a block's end included.
    for (unsigned workers : {2u, 5u, 0u}) {
      DeflatedPart many = DeflatePart(c.content, 6, workers);
      EXPECT_EQ(many.data, one.data) << workers << " workers";
      EXPECT_EQ(many.crc, one.crc) << workers << " workers";
    }
    {
      // Blocks handed over, then no Finish: destroying the deflater must not hang or crash.
      PartDeflater abandoned(6, 2);
      abandoned.Append(c.content);
    }
    for (size_t piece : {size_t{1000}, kDeflateBlock, kDeflateBlock - 1}) {
      for (unsigned workers : {1u, 2u}) {
        PartDeflater deflater(6, workers);
        std::string_view rest = c.content;
        while (!rest.empty()) {
          size_t take = std::min(rest.size(), piece);
          if (rest.size() > 3 && take == rest.size()) take -= 3;  // the last bytes one by one
          deflater.Append(rest.substr(0, take));
          rest.remove_prefix(take);
        }
        DeflatedPart streamed = deflater.Finish();
        EXPECT_EQ(streamed.data, one.data) << piece << "-byte pieces, " << workers << " workers";
        EXPECT_EQ(streamed.crc, one.crc);
        EXPECT_EQ(streamed.size, one.size);
      }
    }
  }
}

TEST(DeflatePart, InflatingRefusesDataThatIsNotThePart) {
  const DeflatedPart part = DeflatePart(Paragraphs(5000), 6);
  DeflatedPart shorter = part, longerClaim = part, trailing = part;
  shorter.data.resize(shorter.data.size() / 2);
  longerClaim.size += 1;
  trailing.data += "x";
  for (const DeflatedPart* damaged : {&shorter, &longerClaim, &trailing})
    EXPECT_THROW(InflatePart(*damaged), DocxError);
}

TEST(DeflatePart, LaterBlocksReferToTheTextBeforeThem) {
  // The second block repeats the end of the first: primed with it, it costs next to nothing.
  std::string noise = Noise(kDeflateBlock);
  std::string content = noise + noise.substr(noise.size() - 16384);
  DeflatedPart part = DeflatePart(content, 6, 2);
  EXPECT_EQ(Inflate(part.data, content.size()), content);
  EXPECT_LT(part.data.size(), noise.size() + noise.size() / 100);
}

}  // namespace
}  // namespace quillon::docx
