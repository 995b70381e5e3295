// Loading and saving packages: the Word corpus round trip, untouched parts kept byte for byte,
// and bad input refused with a clear error and without touching the file.
#include "wordhost/docx/Package.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <map>

#include "support/TempDir.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/DocxError.h"
#include "wordhost/docx/TextExport.h"

namespace quillon::docx {
namespace {

namespace fs = std::filesystem;
using namespace testing;
using quillon::testing::ReadFile;

// Returns the stored (compressed) bytes of every entry of the archive in bytes, by name.
std::map<std::string, std::string> StoredData(const std::string& bytes) {
  std::map<std::string, std::string> entries;
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, nullptr);
  zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, nullptr);
  for (zip_int64_t i = 0; archive != nullptr && i < zip_get_num_entries(archive, 0); ++i) {
    zip_stat_t stat;
    zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
    std::string& raw = entries[stat.name];
    raw.resize(stat.comp_size);
    zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), ZIP_FL_COMPRESSED);
    if (file == nullptr || zip_fread(file, raw.data(), raw.size()) != zip_int64_t(raw.size())) {
      raw = "<unreadable>";
    }
    if (file != nullptr) zip_fclose(file);
  }
  archive != nullptr ? zip_discard(archive) : zip_source_free(source);
  return entries;
}

std::map<std::string, int> ElementCounts(const std::string& xml) {
  pugi::xml_document doc;
  doc.load_buffer(xml.data(), xml.size());
  std::map<std::string, int> counts;
  for (pugi::xpath_node element : doc.select_nodes("//*")) ++counts[element.node().name()];
  return counts;
}

// Each Word document saves unchanged to the byte; after an edit, the other parts keep their
// stored bytes and the main part its elements; a field added at its end survives saving.
TEST(Corpus, WordDocumentsSaveUnchangedAndEditsKeepTheRest) {
  int opened = 0;
  for (const auto& entry : fs::directory_iterator(QUILLON_SOURCE_DIR "/tests/data/word")) {
    if (entry.path().extension() != ".docx") continue;
    ++opened;
    SCOPED_TRACE(entry.path().filename().string());
    const std::string original = ReadFile(entry.path());
    auto doc = Document::Open(entry.path().string());
    EXPECT_FALSE(doc->Modified());
    EXPECT_EQ(doc->ToBytes(), original);
    // Change the first letter; with none, the main part is written anew all the same.
    long pos = 0;
    while (pos < doc->story().Length() &&
           !std::isalpha(static_cast<unsigned char>(doc->Range(pos, pos + 1)->Text()[0]))) {
      ++pos;
    }
    if (pos < doc->story().Length()) {
      doc->Range(pos, pos + 1)->SetText("Q");
    } else {
      doc->MarkModified();
    }
    const Package before = Package::FromBytes(original);
    const Package after = Package::FromBytes(doc->ToBytes());
    ASSERT_EQ(after.Names(), before.Names());
    auto stored = StoredData(doc->ToBytes());
    for (const auto& [name, raw] : StoredData(original)) {
      if (name == "word/document.xml") continue;
      EXPECT_EQ(stored[name], raw) << name;
    }
    EXPECT_EQ(ElementCounts(after.Read("word/document.xml")),
              ElementCounts(before.Read("word/document.xml")));
    auto reloaded = Document::FromBytes(doc->ToBytes());
    EXPECT_EQ(reloaded->Range()->Text(), doc->Range()->Text());
    EXPECT_EQ(ShowText(*reloaded, false), ShowText(*doc, false));
    const long end = reloaded->Range()->End() - 1;
    reloaded->Fields().Add(*reloaded->Range(end, end), host::wdFieldQuote, "<ABB>X</ABB>", false);
    auto withField = Document::FromBytes(reloaded->ToBytes());
    ASSERT_EQ(withField->Fields().Count(), reloaded->Fields().Count());
    EXPECT_EQ(withField->Fields().Item(withField->Fields().Count())->Code()->Text(),
              " QUOTE <ABB>X</ABB> ");
  }
  EXPECT_GE(opened, 15);
}

TEST(Package, SaveIsAtomicAndLeavesNoTemporaryFile) {
  quillon::testing::TempDir dir;
  auto doc = Load(P(R("saved")));
  doc->Save(dir.File("out.docx"));
  EXPECT_EQ(ReadFile(dir.File("out.docx")), doc->ToBytes());
  EXPECT_THROW(doc->Save(dir.File("missing/x.docx")), DocxError);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

// Returns bytes, an archive, with every central record giving its sizes in a zip64 extra
// field, as writers do for parts past 4 GiB.
std::string AsZip64(const std::string& bytes) {
  auto get = [&](size_t at, int width) {
    uint64_t v = 0;
    for (int k = width - 1; k >= 0; --k) v = v << 8 | static_cast<unsigned char>(bytes[at + k]);
    return v;
  };
  auto put = [](std::string& out, uint64_t v, int width) {
    for (int k = 0; k < width; ++k) out.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
  };
  const size_t eocd = bytes.rfind("PK\x05\x06");
  const size_t start = get(eocd + 16, 4);
  std::string central;
  for (size_t at = start; at < eocd;) {
    const size_t name = get(at + 28, 2), extra = get(at + 30, 2), comment = get(at + 32, 2);
    std::string record = bytes.substr(at, 46 + name + extra + comment);
    std::string zip64;
    put(zip64, 1, 2);
    put(zip64, 16, 2);
    put(zip64, get(at + 24, 4), 8);  // uncompressed, then compressed
    put(zip64, get(at + 20, 4), 8);
    record.insert(46 + name + extra, zip64);
    for (size_t field : {size_t{20}, size_t{24}}) record.replace(field, 4, "\xFF\xFF\xFF\xFF");
    record[30] = static_cast<char>(extra + zip64.size());
    central += record;
    at += 46 + name + extra + comment;
  }
  std::string end = bytes.substr(eocd);
  std::string size;
  put(size, central.size(), 4);
  end.replace(12, 4, size);
  return bytes.substr(0, start) + central + end;
}

TEST(Package, ArchivesWithZip64RecordsSaveTheirEdits) {
  auto doc =
      Document::FromBytes(AsZip64(MakeDocx(P(R("before")) + P(R("  lead") + R("mid  ") + R(" ")))));
  doc->Range(0, 6)->SetText("after, and longer");
  // The spaces of the paragraph not edited survive its part being written anew.
  auto again = Document::FromBytes(doc->ToBytes());
  EXPECT_EQ(again->Range()->Text(), "after, and longer\r  leadmid   \r");
}

// Returns an archive of content as word/document.xml, which claims to unpack to size bytes.
std::string WithDeclaredSize(const std::string& content, uint32_t size) {
  std::string bytes = Package::Create({{"word/document.xml", content}});
  auto patch = [&](size_t at) {
    for (int k = 0; k < 4; ++k) bytes[at + k] = static_cast<char>((size >> (8 * k)) & 0xFF);
  };
  for (size_t i = 0; i + 46 <= bytes.size(); ++i) {
    if (bytes.compare(i, 4, "PK\x03\x04") == 0) patch(i + 22);
    if (bytes.compare(i, 4, "PK\x01\x02") == 0) patch(i + 24);
  }
  return bytes;
}

// Returns an archive of content as word/document.xml with one bit of its CRC-32 flipped, in
// its local header and central record.
std::string WithCrcFlipped(const std::string& content) {
  std::string bytes = Package::Create({{"word/document.xml", content}});
  for (size_t i = 0; i + 46 <= bytes.size(); ++i) {
    if (bytes.compare(i, 4, "PK\x03\x04") == 0) bytes[i + 14] ^= 1;
    if (bytes.compare(i, 4, "PK\x01\x02") == 0) bytes[i + 16] ^= 1;
  }
  return bytes;
}

// The main part of a document with a byte that is not UTF-8 in a field code.
const std::string kInvalidCode = DocumentXml(P(Fld(" QUOTE <ABB>X\xFF</ABB> ", R("X"))));

// Hostile and damaged packages: each is refused with the message a user reads after the file
// name, and the file is left as it was.
TEST(Package, BadInputIsRefusedWithAClearErrorAndTheFileUntouched) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string message;  // the error's whole text
  };
  const Case cases[] = {
      {"not_a_zip", "This is plain text, not a .docx.",
       "not a .docx document (not a valid zip archive)"},
      {"empty_file", "", "the file is empty, not a .docx document"},
      {"no_document", Package::Create({{"word/other.xml", "<x/>"}}),
       "not a Word document: the package has no word/document.xml"},
      {"malformed_xml", Package::Create({{"word/document.xml", "<w:document><w:body>"}}),
       "word/document.xml is not well-formed XML (Start-end tags mismatch at byte 19)"},
      {"not_wordprocessingml", Package::Create({{"word/document.xml", "<html/>"}}),
       "word/document.xml is not a WordprocessingML document (root element <html>)"},
      {"zip_bomb", WithDeclaredSize(std::string(1000, 'a'), 0xFFFFFF00u),
       "word/document.xml unpacks to 4095 MiB, more than the 64 MiB a part may have"},
      {"just_over_the_part_limit", WithDeclaredSize(std::string(1000, 'a'), (64u << 20) + 1),
       "word/document.xml unpacks to 64 MiB, more than the 64 MiB a part may have"},
      {"more_data_than_declared", WithDeclaredSize(std::string(5000, 'a'), 100),
       "word/document.xml is damaged: it unpacks to more than the 100 bytes it declares"},
      {"crc_mismatch", WithCrcFlipped(DocumentXml(P(R("x")))),
       "part word/document.xml is damaged: CRC error"},
      // A long part is checked beside its parse; the damage is what the user hears of.
      {"crc_mismatch_in_a_long_part_that_is_no_xml_either",
       WithCrcFlipped(std::string(3 << 20, 'a')), "part word/document.xml is damaged: CRC error"},
      {"truncated", MakeDocx(P(R("text"))).substr(0, 200),
       "not a .docx document (not a valid zip archive)"},
      // Deep nesting is refused before any walk over the body.
      {"nested_tables",
       MakeDocx(Nested(20000, "<w:tbl><w:tr><w:tc>", P(R("deep")), "</w:tc></w:tr></w:tbl>")),
       "word/document.xml is too deeply nested: its elements go more than 256 levels deep"},
      {"invalid_utf8_in_a_field_code", MakeDocxAround(kInvalidCode),
       "word/document.xml is not valid UTF-8 (byte " + std::to_string(kInvalidCode.find('\xFF')) +
           ")"},
      {"unreadable_encoding", MakeDocxAround(DocumentXml(P(R("caf\xE9")), "windows-1252")),
       "word/document.xml is written in the encoding windows-1252, which cannot be read "
       "(UTF-8, UTF-16, UTF-32 and ISO-8859-1 can)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    quillon::testing::TempDir dir;
    const std::string path = dir.File("bad.docx");
    quillon::testing::WriteFile(path, c.bytes);
    try {
      Document::Open(path);
      ADD_FAILURE() << "no error for " << c.name;
    } catch (const DocxError& e) {
      EXPECT_EQ(e.what(), c.message);
    }
    EXPECT_EQ(ReadFile(path), c.bytes);
  }
}

TEST(Package, ADirectoryIsNoDocument) {
  try {
    Document::Open(fs::temp_directory_path().string());
    ADD_FAILURE() << "no error for a directory";
  } catch (const DocxError& e) {
    EXPECT_STREQ(e.what(), "it is a directory, not a .docx document");
  }
}

}  // namespace
}  // namespace quillon::docx
