// Document commands: what an export counts, the views of a document, and hostile or damaged
// documents and places an insertion cannot take, each refused with one clear message and exit
// status 1 while the document keeps its bytes.
#include "cli/DocumentCommands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli/CliRunner.h"
#include "support/DocumentFiles.h"
#include "support/SampleFiles.h"
#include "support/TempDir.h"
#include "wordhost/docx/DocxBuilder.h"

namespace quillon::cli {
namespace {

using docx::testing::AbbField;
using docx::testing::Fld;
using docx::testing::MakeDocx;
using docx::testing::P;
using docx::testing::R;

using ::testing::HasSubstr;
using testing::Shown;

class DocumentCommandsTest : public ::testing::Test, protected testing::SampleFiles {};

// What each command does to a document is the document tests' part; here, -o and what the
// commands print.
TEST_F(DocumentCommandsTest, UpdateIntoAnotherFileThenUnlink) {
  std::string original = testing::ReadFile(document);
  std::string updated = dir.File("updated.docx");
  Succeeds({"update", document, "--library", library, "-o", updated});
  EXPECT_EQ(testing::ReadFile(document), original);  // -o leaves the original alone
  EXPECT_THAT(Shown(updated), HasSubstr("runs on the Field-Programmable Gate Array (FPGA) board"));
  EXPECT_EQ(Succeeds({"unlink", updated, "--library", library, "--abb", "FFT", "--text",
                      "Fast Fourier Transform"}),
            "2 fields turned into text\n");
  EXPECT_THAT(Shown(updated), HasSubstr("transformed with the Fast Fourier Transform;"));
}

// Counted in entries, not in fields: the sample's 31 fields hold 12 entries.
TEST_F(DocumentCommandsTest, ExportCountsTheEntriesAddedAndThoseAlreadyThere) {
  std::string partial = dir.File("partial.abb");
  Succeeds({"lib", "new", partial});
  Succeeds({"lib", "add", partial, "FFT", "Fast Fourier Transform"});
  EXPECT_EQ(Succeeds({"export", document, "--library", partial}),
            "11 entries added, 1 already in the library\n");

  std::string single = dir.File("single.docx");
  testing::WriteFile(single, MakeDocx(P(AbbField("FFT", "Fast Fourier Transform", "LTR", "FFT") +
                                        AbbField("NEW", "brand new", "LTR", "NEW"))));
  EXPECT_EQ(Succeeds({"export", single, "--library", partial}),
            "1 entry added, 1 already in the library\n");
}

class HostileDocumentsTest : public ::testing::Test {
 protected:
  HostileDocumentsTest() {
    Succeeds({"lib", "new", library});
    Succeeds({"lib", "add", library, "ABC", "Alpha Beta"});
  }
  std::string Document(const std::string& bytes) {
    testing::WriteFile(document, bytes);
    return document;
  }
  testing::TempDir dir;
  std::string library = dir.File("lib.abb");
  std::string document = dir.File("doc.docx");
};

// Every command that reads the document refuses one it cannot read the same way, naming the
// file once; the reasons themselves are the package reader's.
TEST_F(HostileDocumentsTest, EveryCommandRefusesADocumentItCannotReadAndWritesNothing) {
  const std::string bytes = "not a zip";
  for (std::vector<std::string> command : {std::vector<std::string>{"show", document},
                                           {"fields", document},
                                           {"update", document, "--library", library},
                                           {"list", document, "--library", library},
                                           {"insert", document, "--library", library, "--abb",
                                            "ABC", "--text", "Alpha Beta", "--at", "0"}}) {
    SCOPED_TRACE(command[0]);
    Document(bytes);
    EXPECT_EQ(RunQuillon(command), Refused("quillon: cannot read " + document +
                                           ": not a .docx document (not a valid zip archive)\n"));
    EXPECT_EQ(testing::ReadFile(document), bytes);
  }
}

// "Alpha beta gamma delta epsilon." (positions 0 to 31, the final mark at 31), then a field
// whose code is " QUOTE q " and whose result reads "beta result": begin mark at 32, code 33 to
// 41, separator 42, result 43 to 53, end mark 54; then " beta tail." from 55.
TEST_F(HostileDocumentsTest, AnInsertedFieldGoesOutsideFieldsOrNowhere) {
  const std::string bytes = MakeDocx(P(R("Alpha beta gamma delta epsilon.")) +
                                     P(Fld(" QUOTE q ", R("beta result")) + R(" beta tail.")));
  const char* const kUnchanged = "Alpha beta gamma delta epsilon.\nbeta result beta tail.\n";
  const struct {
    const char* name;
    const char *option, *value;  // the insert command's place option
    std::string message;  // after "quillon: ", DOC standing for the document; "" when it goes in
    std::string shown;    // what the document shows afterwards
  } cases[] = {
      {"at_the_final_mark", "--at", "66", "",
       "Alpha beta gamma delta epsilon.\nbeta result beta tail.{ABC-#}\n"},
      {"past_the_final_mark", "--at", "67", "position 67 is outside the document (0 to 66)",
       kUnchanged},
      {"negative", "--at", "-5", "position -5 is outside the document (0 to 66)", kUnchanged},
      {"before_a_field", "--at", "32", "",
       "Alpha beta gamma delta epsilon.\n{ABC-#}beta result beta tail.\n"},
      {"in_a_field_result", "--at", "45", "position 45 lies inside a field", kUnchanged},
      {"before_a_field_end", "--at", "54", "position 54 lies inside a field", kUnchanged},
      {"after_a_field", "--at", "55", "",
       "Alpha beta gamma delta epsilon.\nbeta result{ABC-#} beta tail.\n"},
      {"after_text_found_only_in_a_field", "--after", "result",
       "\"result\" occurs in DOC only inside fields", kUnchanged},
      {"after_text_found_in_and_after_a_field", "--after", "beta ", "",
       "Alpha beta {ABC-#}gamma delta epsilon.\nbeta result beta tail.\n"},
      {"replace_skips_the_field_result", "--replace", "beta t", "",
       "Alpha beta gamma delta epsilon.\nbeta result {ABC-#}ail.\n"},
      {"replace_text_not_found", "--replace", "omega", "\"omega\" not found in DOC", kUnchanged}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Document(bytes);
    CliRun run = RunQuillon({"insert", document, "--library", library, "--abb", "ABC", "--text",
                             "Alpha Beta", c.option, c.value});
    std::string message = c.message;
    if (size_t doc = message.find("DOC"); doc != std::string::npos) {
      message.replace(doc, 3, document);
    }
    EXPECT_EQ(run,
              (message.empty() ? CliRun{0, run.out, ""} : Refused("quillon: " + message + "\n")));
    EXPECT_EQ(testing::ReadFile(document) == bytes, !message.empty());  // only a refusal keeps them
    EXPECT_EQ(RunQuillon({"show", document}).out, c.shown);
  }
}

TEST_F(HostileDocumentsTest, AnEntryThatIsNotUtf8IsRefused) {
  const std::string bytes = MakeDocx(P(R("Alpha.")));
  Document(bytes);
  CliRun run = RunQuillon(
      {"insert", document, "--library", library, "--abb", "AB\xC3", "--text", "x", "--at", "0"});
  EXPECT_EQ(run, Refused("quillon: --abb is not valid UTF-8 (byte 2)\n"));
  EXPECT_EQ(testing::ReadFile(document), bytes);
}

// quillon fields and show --codes on documents that read well, and on one that is missing.
TEST(DocumentViewCommands, FieldsListsEachFieldPlainAndAsJson) {
  using docx::testing::PageBreak;
  using docx::testing::Simple;
  testing::TempDir dir;
  const std::string path = dir.File("fields.docx");
  testing::WriteFile(path,
                     MakeDocx(P(R("See ") + Fld(" ADDIN ABBREV <ABB>WHO</ABB> ", R("{WHO-#1}"))) +
                              P(PageBreak() + Simple(" PAGE ", R("2")))));
  EXPECT_EQ(Succeeds({"fields", path}),
            "1\t4\t1\t ADDIN ABBREV <ABB>WHO</ABB> \t{WHO-#1}\n"
            "2\t46\t2\t PAGE \t2\n");
  EXPECT_EQ(Succeeds({"fields", path, "--json"}),
            "[\n  {\"index\": 1, \"start\": 4, \"page\": 1, \"code\": \" ADDIN ABBREV "
            "<ABB>WHO</ABB> \", \"result\": \"{WHO-#1}\"},\n"
            "  {\"index\": 2, \"start\": 46, \"page\": 2, \"code\": \" PAGE \", \"result\": "
            "\"2\"}\n]\n");
  EXPECT_EQ(Succeeds({"show", path, "--codes"}), "See  ADDIN ABBREV <ABB>WHO</ABB> \n PAGE \n");
  EXPECT_EQ(RunQuillon({"fields", "tests/data/lo-paragraphs.docx", "--json"}).out, "[]\n");
  CliRun missing = RunQuillon({"show", "no/such/file.docx"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_THAT(missing.err, HasSubstr("no/such/file.docx"));
}

}  // namespace
}  // namespace quillon::cli
