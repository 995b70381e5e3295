// Document commands on hostile or damaged documents and on places an insertion cannot take:
// each is refused with one clear message and exit status 1, and the document keeps its bytes.
#include <gtest/gtest.h>

#include "cli/CliRunner.h"
#include "support/TempDir.h"
#include "wordhost/docx/DocxBuilder.h"

namespace quillon::cli {
namespace {

using docx::testing::DocumentXml;
using docx::testing::Fld;
using docx::testing::MakeDocx;
using docx::testing::MakeDocxAround;
using docx::testing::Nested;
using docx::testing::P;
using docx::testing::R;

class HostileDocumentsTest : public ::testing::Test {
 protected:
  HostileDocumentsTest() {
    EXPECT_EQ(RunQuillon({"lib", "new", library}).status, 0);
    EXPECT_EQ(RunQuillon({"lib", "add", library, "ABC", "Alpha Beta"}).status, 0);
  }
  // Writes bytes as the document and returns its path.
  std::string Document(const std::string& bytes) {
    testing::WriteFile(document, bytes);
    return document;
  }
  testing::TempDir dir;
  std::string library = dir.File("lib.abb");
  std::string document = dir.File("doc.docx");
};

struct HostileCase {
  const char* name;
  std::string (*bytes)();  // made when the case runs: some are large
  std::string reason;      // what follows "cannot read DOC: "
};

void PrintTo(const HostileCase& c, std::ostream* out) {
  *out << c.name;
}

class HostilePackageTest : public HostileDocumentsTest,
                           public ::testing::WithParamInterface<HostileCase> {};

// Every command that reads the document refuses it the same way, naming the file once.
TEST_P(HostilePackageTest, EveryCommandRefusesItAndWritesNothing) {
  const HostileCase& c = GetParam();
  const std::string bytes = c.bytes();
  const std::string expected = "quillon: cannot read " + document + ": " + c.reason + "\n";
  for (std::vector<std::string> command : {std::vector<std::string>{"show", document},
                                           {"fields", document},
                                           {"update", document, "--library", library},
                                           {"list", document, "--library", library},
                                           {"insert", document, "--library", library, "--abb",
                                            "ABC", "--text", "Alpha Beta", "--at", "0"}}) {
    SCOPED_TRACE(command[0]);
    Document(bytes);
    CliRun run = RunQuillon(command);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, expected);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(testing::ReadFile(document), bytes);
  }
}

const std::string kBadCode = DocumentXml(P(Fld(" QUOTE <ABB>X\xFF</ABB> ", R("X"))));

INSTANTIATE_TEST_SUITE_P(
    HostilePackages, HostilePackageTest,
    ::testing::Values(
        HostileCase{"nested_content_controls",
                    [] {
                      return MakeDocx(Nested(50000, "<w:sdt><w:sdtContent>", P(R("deep")),
                                             "</w:sdtContent></w:sdt>"));
                    },
                    "word/document.xml is too deeply nested: its elements go more than 256 "
                    "levels deep"},
        HostileCase{"nested_tables",
                    [] {
                      return MakeDocx(Nested(20000, "<w:tbl><w:tr><w:tc>", P(R("deep")),
                                             "</w:tc></w:tr></w:tbl>"));
                    },
                    "word/document.xml is too deeply nested: its elements go more than 256 "
                    "levels deep"},
        // A few hundred KiB that unpack to 65 MiB of text.
        HostileCase{"part_unpacking_past_the_limit",
                    [] { return MakeDocx(P(R(std::string(65 << 20, 'x')))); },
                    "word/document.xml unpacks to 65 MiB, more than the 64 MiB a part may have"},
        HostileCase{"invalid_utf8_in_a_field_code", [] { return MakeDocxAround(kBadCode); },
                    "word/document.xml is not valid UTF-8 (byte " +
                        std::to_string(kBadCode.find('\xFF')) + ")"},
        HostileCase{"empty_file", [] { return std::string(); },
                    "the file is empty, not a .docx document"},
        HostileCase{"not_a_zip", [] { return std::string("not a zip"); },
                    "not a .docx document (not a valid zip archive)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostileDocumentsTest, ADirectoryIsNotADocument) {
  std::string folder = dir.File("folder.docx");
  std::filesystem::create_directory(folder);
  CliRun run = RunQuillon({"show", folder});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "quillon: cannot read " + folder + ": it is a directory, not a .docx document\n");
}

// A document declared in ISO-8859-1 reads as it is written and is saved as UTF-8 that says so.
TEST_F(HostileDocumentsTest, ALatin1DocumentIsSavedAsUtf8) {
  Document(MakeDocxAround(DocumentXml(P(R("caf\xE9")), "ISO-8859-1")));
  CliRun insert = RunQuillon({"insert", document, "--library", library, "--abb", "ABC", "--text",
                              "Alpha Beta", "--at", "0"});
  ASSERT_EQ(insert.status, 0) << insert.err;
  CliRun show = RunQuillon({"show", document});
  EXPECT_EQ(show.out, "{ABC-#}caf\xC3\xA9\n");
}

struct PlaceCase {
  const char* name;
  const char *option, *value;  // the insert command's place option
  std::string message;  // after "quillon: ", DOC standing for the document; "" when it goes in
  std::string shown;    // what the document shows afterwards
};

void PrintTo(const PlaceCase& c, std::ostream* out) {
  *out << c.name;
}

class InsertionPlaceTest : public HostileDocumentsTest,
                           public ::testing::WithParamInterface<PlaceCase> {};

// "Alpha beta gamma delta epsilon." (positions 0 to 31, the final mark at 31), then a field
// whose code is " QUOTE q " and whose result reads "beta result": begin mark at 32, code 33 to
// 41, separator 42, result 43 to 53, end mark 54; then " beta tail." from 55.
const std::string kBody = P(R("Alpha beta gamma delta epsilon.")) +
                          P(Fld(" QUOTE q ", R("beta result")) + R(" beta tail."));

TEST_P(InsertionPlaceTest, TheFieldGoesOutsideFieldsOrNowhere) {
  const PlaceCase& c = GetParam();
  const std::string bytes = MakeDocx(kBody);
  Document(bytes);
  std::vector<std::string> command = {"insert", document, "--library", library,
                                      "--abb",  "ABC",    "--text",    "Alpha Beta"};
  command.insert(command.end(), {c.option, c.value});
  CliRun run = RunQuillon(command);
  if (c.message.empty()) {
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
  } else {
    EXPECT_EQ(run.status, 1);
    std::string message = c.message;
    if (size_t doc = message.find("DOC"); doc != std::string::npos) {
      message.replace(doc, 3, document);
    }
    EXPECT_EQ(run.err, "quillon: " + message + "\n");
    EXPECT_EQ(testing::ReadFile(document), bytes);
  }
  EXPECT_EQ(RunQuillon({"show", document}).out, c.shown);
}

const char* const kUnchanged = "Alpha beta gamma delta epsilon.\nbeta result beta tail.\n";

INSTANTIATE_TEST_SUITE_P(
    InsertionPlaces, InsertionPlaceTest,
    ::testing::Values(
        PlaceCase{"at_the_end_of_the_first_paragraph", "--at", "31", "",
                  "Alpha beta gamma delta epsilon.{ABC-#}\nbeta result beta tail.\n"},
        PlaceCase{"at_the_final_mark", "--at", "66", "",
                  "Alpha beta gamma delta epsilon.\nbeta result beta tail.{ABC-#}\n"},
        PlaceCase{"past_the_final_mark", "--at", "67",
                  "position 67 is outside the document (0 to 66)", kUnchanged},
        PlaceCase{"far_past_the_end", "--at", "999999999",
                  "position 999999999 is outside the document (0 to 66)", kUnchanged},
        PlaceCase{"negative", "--at", "-5", "position -5 is outside the document (0 to 66)",
                  kUnchanged},
        PlaceCase{"before_a_field", "--at", "32", "",
                  "Alpha beta gamma delta epsilon.\n{ABC-#}beta result beta tail.\n"},
        PlaceCase{"in_a_field_code", "--at", "36", "position 36 lies inside a field", kUnchanged},
        PlaceCase{"in_a_field_result", "--at", "45", "position 45 lies inside a field", kUnchanged},
        PlaceCase{"before_a_field_end", "--at", "54", "position 54 lies inside a field",
                  kUnchanged},
        PlaceCase{"after_a_field", "--at", "55", "",
                  "Alpha beta gamma delta epsilon.\nbeta result{ABC-#} beta tail.\n"},
        PlaceCase{"after_text_found_only_in_a_field", "--after", "result",
                  "\"result\" occurs in DOC only inside fields", kUnchanged},
        PlaceCase{"after_text_found_in_and_after_a_field", "--after", "beta ", "",
                  "Alpha beta {ABC-#}gamma delta epsilon.\nbeta result beta tail.\n"},
        PlaceCase{"replace_skips_the_field_result", "--replace", "beta t", "",
                  "Alpha beta gamma delta epsilon.\nbeta result {ABC-#}ail.\n"},
        PlaceCase{"replace_text_not_found", "--replace", "omega", "\"omega\" not found in DOC",
                  kUnchanged}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostileDocumentsTest, AnEntryThatIsNotUtf8IsRefused) {
  const std::string bytes = MakeDocx(P(R("Alpha.")));
  Document(bytes);
  CliRun run = RunQuillon(
      {"insert", document, "--library", library, "--abb", "AB\xC3", "--text", "x", "--at", "0"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "quillon: --abb is not valid UTF-8 (byte 2)\n");
  EXPECT_EQ(testing::ReadFile(document), bytes);
}

}  // namespace
}  // namespace quillon::cli
