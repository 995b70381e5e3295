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

const char* const kCorpus = QUILLON_SOURCE_DIR "/tests/data/word";

std::vector<fs::path> CorpusFiles() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(kCorpus)) {
    if (entry.path().extension() == ".docx") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

struct StoredEntry {
  zip_uint64_t size = 0;
  zip_uint64_t compressedSize = 0;
  zip_uint32_t crc = 0;
  zip_uint16_t method = 0;
  std::string raw;  // the stored (compressed) bytes
};

// Returns every entry of the archive in bytes with its stored data, by name.
std::map<std::string, StoredEntry> StoredEntries(const std::string& bytes) {
  std::map<std::string, StoredEntry> entries;
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, &error);
  if (archive == nullptr) {
    zip_source_free(source);
    return entries;
  }
  for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
    zip_stat_t stat;
    zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
    StoredEntry entry{stat.size, stat.comp_size, stat.crc, stat.comp_method, {}};
    entry.raw.resize(stat.comp_size);
    zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), ZIP_FL_COMPRESSED);
    if (file != nullptr) {
      zip_fread(file, entry.raw.data(), entry.raw.size());
      zip_fclose(file);
    }
    entries[stat.name] = std::move(entry);
  }
  zip_discard(archive);
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
// bytes and the main part its elements; a field added at its end survives saving.
TEST(Corpus, WordDocumentsSaveUnchangedAndEditsKeepTheRest) {
  std::vector<fs::path> files = CorpusFiles();
  ASSERT_FALSE(files.empty()) << "the Word documents are not at " << kCorpus;
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    std::string original = ReadFile(file);
    auto doc = Document::Open(file.string());
    EXPECT_FALSE(doc->Modified());
    EXPECT_GT(doc->Paragraphs().Count(), 0);
    EXPECT_EQ(doc->Range()->End(), doc->story().Length());
    EXPECT_EQ(doc->ToBytes(), original);
    // Change one character of the first text run: the XML keeps its shape.
    long pos = -1;
    for (long p = 0; p < doc->story().Length() && pos < 0; ++p) {
      std::string one = doc->Range(p, p + 1)->Text();
      if (one.size() == 1 && std::isalpha(static_cast<unsigned char>(one[0]))) pos = p;
    }
    if (pos >= 0) {
      doc->Range(pos, pos + 1)->SetText("Q");
    } else {
      doc->MarkModified();  // no letter to change: the main part is written anew all the same
    }
    std::string saved = doc->ToBytes();
    auto before = StoredEntries(original);
    auto after = StoredEntries(saved);
    ASSERT_EQ(before.size(), after.size());
    for (const auto& [name, entry] : before) {
      ASSERT_TRUE(after.count(name)) << name;
      if (name == "word/document.xml") continue;
      EXPECT_EQ(after[name].raw, entry.raw) << name;
      EXPECT_EQ(after[name].crc, entry.crc) << name;
      EXPECT_EQ(after[name].method, entry.method) << name;
    }
    Package oldPackage = Package::FromBytes(original);
    Package newPackage = Package::FromBytes(saved);
    EXPECT_EQ(ElementCounts(oldPackage.Read("word/document.xml")),
              ElementCounts(newPackage.Read("word/document.xml")));
    auto reloaded = Document::FromBytes(saved);
    EXPECT_EQ(reloaded->Range()->Text(), doc->Range()->Text());
    EXPECT_EQ(ShowText(*reloaded, false), ShowText(*doc, false));
    // A field added at the end survives saving.
    long end = reloaded->Paragraphs().Item(reloaded->Paragraphs().Count())->Range()->End() - 1;
    reloaded->Fields()
        .Add(*reloaded->Range(end, end), host::wdFieldQuote, "<ABB>X</ABB>", false)
        ->Result()
        ->SetText("{X-#1}");
    auto withField = Document::FromBytes(reloaded->ToBytes());
    const long fields = withField->Fields().Count();
    ASSERT_EQ(fields, reloaded->Fields().Count());
    EXPECT_EQ(withField->Fields().Item(fields)->Code()->Text(), " QUOTE <ABB>X</ABB> ");
    EXPECT_EQ(withField->Fields().Item(fields)->Result()->Text(), "{X-#1}");
  }
}

TEST(Package, WhitespaceInTextSurvivesAnEdit) {
  auto doc = Load(P(R("  lead") + R("mid  ") + R(" ")) + P(R("x")));
  doc->Range(13, 14)->SetText("y");
  auto again = Document::FromBytes(doc->ToBytes());
  EXPECT_EQ(again->Range()->Text(), "  leadmid   \ry\r");
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
  auto doc = Document::FromBytes(AsZip64(MakeDocx(P(R("before")))));
  doc->Range(0, 6)->SetText("after, and longer");
  auto again = Document::FromBytes(doc->ToBytes());
  EXPECT_EQ(again->Range()->Text(), "after, and longer\r");
}

// Returns a copy of a one-part archive whose part claims to unpack to size bytes.
std::string WithDeclaredSize(std::string bytes, uint32_t size) {
  auto patch = [&](size_t at) {
    for (int k = 0; k < 4; ++k) bytes[at + k] = static_cast<char>((size >> (8 * k)) & 0xFF);
  };
  for (size_t i = 0; i + 46 <= bytes.size(); ++i) {
    if (bytes.compare(i, 4, "PK\x03\x04") == 0) patch(i + 22);
    if (bytes.compare(i, 4, "PK\x01\x02") == 0) patch(i + 24);
  }
  return bytes;
}

// bytes with one bit of every entry's CRC-32 flipped, in its local header and central record.
std::string WithCrcFlipped(std::string bytes) {
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
      {"zip_bomb",
       WithDeclaredSize(Package::Create({{"word/document.xml", std::string(1000, 'a')}}),
                        0xFFFFFF00u),
       "word/document.xml unpacks to 4095 MiB, more than the 64 MiB a part may have"},
      {"just_over_the_part_limit",
       WithDeclaredSize(Package::Create({{"word/document.xml", std::string(1000, 'a')}}),
                        (64u << 20) + 1),
       "word/document.xml unpacks to 64 MiB, more than the 64 MiB a part may have"},
      {"more_data_than_declared",
       WithDeclaredSize(Package::Create({{"word/document.xml", std::string(5000, 'a')}}), 100),
       "word/document.xml is damaged: it unpacks to more than the 100 bytes it declares"},
      {"crc_mismatch",
       WithCrcFlipped(Package::Create({{"word/document.xml", DocumentXml(P(R("x")))}})),
       "part word/document.xml is damaged: CRC error"},
      // A long part is checked beside its parse; the damage is what the user hears of.
      {"crc_mismatch_in_a_long_part_that_is_no_xml_either",
       WithCrcFlipped(Package::Create({{"word/document.xml", std::string(3 << 20, 'a')}})),
       "part word/document.xml is damaged: CRC error"},
      {"truncated", MakeDocx(P(R("text"))).substr(0, 200),
       "not a .docx document (not a valid zip archive)"},
      // Deep nesting is refused before any walk over the body.
      {"nested_tables",
       MakeDocx(Nested(20000, "<w:tbl><w:tr><w:tc>", P(R("deep")), "</w:tc></w:tr></w:tbl>")),
       "word/document.xml is too deeply nested: its elements go more than 256 levels "
       "deep"},
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
