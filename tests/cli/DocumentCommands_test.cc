#include "cli/DocumentCommands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli/CliRunner.h"
#include "support/Commands.h"
#include "support/DocumentFiles.h"
#include "support/SampleFiles.h"
#include "wordhost/docx/DocxBuilder.h"

namespace quillon::cli {
namespace {

using ::testing::HasSubstr;

using testing::Shown;

class DocumentCommandsTest : public ::testing::Test, protected testing::SampleFiles {};

TEST_F(DocumentCommandsTest, UpdateListInsertUnlinkOnTheSample) {
  std::string original = testing::ReadFile(document);
  std::string updated = dir.File("updated.docx");
  CliRun update = RunQuillon({"update", document, "--library", library, "-o", updated});
  ASSERT_EQ(update.status, 0) << update.err;
  EXPECT_EQ(testing::ReadFile(document), original);  // -o leaves the original alone
  EXPECT_THAT(update.err, HasSubstr("Abbrevations' formattings are updated"));
  std::string text = Shown(updated);
  EXPECT_THAT(text, HasSubstr("runs on the Field-Programmable Gate Array (FPGA) board"));
  EXPECT_THAT(text, HasSubstr("the FPGA timestamps"));
  EXPECT_EQ(text.find("{"), std::string::npos);

  ASSERT_EQ(RunQuillon({"list", updated, "--library", library}).status, 0);
  text = Shown(updated);
  EXPECT_THAT(text, HasSubstr("Abbreviation\r\aMeaning\r\aPage\r\a"));
  EXPECT_THAT(text, HasSubstr("CNN\r\aConvolutional Neural Network\r\a2\r\a"));
  EXPECT_THAT(text, HasSubstr("FPGA\r\aField-Programmable Gate Array\r\a1\r\a"));

  CliRun insert = RunQuillon({"insert", updated, "--library", library, "--abb", "GPU", "--text",
                              "Graphics Processing Unit", "--replace", "Learning"});
  ASSERT_EQ(insert.status, 0) << insert.err;
  EXPECT_THAT(Shown(updated), HasSubstr("{GPU-#} to See Faults"));

  CliRun unlink = RunQuillon({"unlink", updated, "--library", library, "--abb", "FFT", "--text",
                              "Fast Fourier Transform"});
  ASSERT_EQ(unlink.status, 0) << unlink.err;
  EXPECT_EQ(unlink.out, "2 fields turned into text\n");
  EXPECT_THAT(Shown(updated), HasSubstr("transformed with the Fast Fourier Transform;"));
}

// What LibreOffice reads in the updated sample.
TEST_F(DocumentCommandsTest, LibreOfficeReadsTheUpdatedSample) {
  if (!testing::Installed({"soffice"})) {
    GTEST_FAIL() << "soffice is missing: scripts/setup.sh installs it";
  }
  ASSERT_EQ(RunQuillon({"update", document, "--library", library}).status, 0);
  ASSERT_EQ(RunQuillon({"list", document, "--library", library}).status, 0);
  std::string command = "cd '" + dir.Path().string() +
                        "' && soffice -env:UserInstallation=file://" + dir.File("profile") +
                        " --headless --convert-to txt:Text " + document + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::string text = testing::ReadFile(dir.File("thesis.txt"));
  for (size_t crlf; (crlf = text.find("\r\n")) != std::string::npos;) text.erase(crlf, 1);
  for (const char* part :
       {"runs on the Field-Programmable Gate Array (FPGA) board",
        "the FPGA timestamps absorb that delay",
        "reduced with Principal Component Analysis (PCA) to", "The PCA features feed",
        // LibreOffice puts each table cell on a line of its own.
        "Abbreviation\nMeaning\nPage\n", "CNN\nConvolutional Neural Network\n2\n",
        "SNR\nSignal-to-Noise Ratio\n1\n"}) {
    EXPECT_THAT(text, HasSubstr(part));
  }
  EXPECT_EQ(text.find("{"), std::string::npos);
}

// LibreOffice lays the list out with the widths it is written with: each meaning on one line,
// which the text export cannot tell, so the laid-out pages are read back as text.
TEST_F(DocumentCommandsTest, LibreOfficeLaysTheListOutByItsContents) {
  if (!testing::Installed({"soffice", "pdftotext"})) {
    GTEST_FAIL() << "soffice or pdftotext is missing: scripts/setup.sh installs them";
  }
  ASSERT_EQ(RunQuillon({"list", document, "--library", library}).status, 0);
  std::string command = "cd '" + dir.Path().string() +
                        "' && soffice -env:UserInstallation=file://" + dir.File("profile") +
                        " --headless --convert-to pdf " + document +
                        " >/dev/null 2>&1 && pdftotext -layout thesis.pdf thesis-pages.txt";
  ASSERT_EQ(std::system(command.c_str()), 0);
  // -layout keeps a table row on one line: a wrapped meaning would continue on the next.
  std::string pages = testing::ReadFile(dir.File("thesis-pages.txt"));
  EXPECT_THAT(pages, ::testing::ContainsRegex("Abbreviation +Meaning +Page\n"));
  EXPECT_THAT(pages, ::testing::ContainsRegex("CNN +Convolutional Neural Network +2\n"));
  EXPECT_THAT(pages, ::testing::ContainsRegex("FPGA +Field-Programmable Gate Array +1\n"));
}

TEST_F(DocumentCommandsTest, ExportAddsTheDocumentsEntries) {
  std::string empty = dir.File("empty.abb");
  ASSERT_EQ(RunQuillon({"lib", "new", empty}).status, 0);
  CliRun run = RunQuillon({"export", document, "--library", empty});
  EXPECT_EQ(run.status, 0) << run.err;
  // Counted in entries, not in fields: the sample's 31 fields hold 12 entries.
  EXPECT_EQ(run.out, "12 entries added, 0 already in the library\n");
  EXPECT_THAT(RunQuillon({"lib", "list", empty}).out, HasSubstr(" 12 abbreviations found"));
  CliRun again = RunQuillon({"export", document, "--library", empty});
  EXPECT_EQ(again.out, "0 entries added, 12 already in the library\n");

  // One of each.
  std::string single = dir.File("single.docx");
  using docx::testing::AbbField;
  testing::WriteFile(single, docx::testing::MakeDocx(docx::testing::P(
                                 AbbField("FFT", "Fast Fourier Transform", "LTR", "FFT") +
                                 AbbField("NEW", "brand new", "LTR", "NEW"))));
  std::string partial = dir.File("partial.abb");
  ASSERT_EQ(RunQuillon({"lib", "new", partial}).status, 0);
  ASSERT_EQ(RunQuillon({"lib", "add", partial, "FFT", "Fast Fourier Transform"}).status, 0);
  EXPECT_EQ(RunQuillon({"export", single, "--library", partial}).out,
            "1 entry added, 1 already in the library\n");
}

TEST_F(DocumentCommandsTest, BadInputWritesNothing) {
  std::string original = testing::ReadFile(document);
  std::string notDocx = dir.File("notes.docx");
  testing::WriteFile(notDocx, "plain text, not a document");
  std::string noTable = dir.File("other.abb");
  testing::WriteFile(noTable, "");
  std::string notDb = dir.File("notes.abb");
  testing::WriteFile(notDb, std::string(2048, 'n'));
  struct Case {
    std::vector<std::string> args;
    std::string named;
  } cases[] = {
      {{"update", document, "--library", dir.File("gone.abb")}, "gone.abb"},
      {{"update", document, "--library", noTable}, "other.abb"},
      {{"list", document, "--library", notDb}, "notes.abb"},
      {{"list", notDocx, "--library", library}, "notes.docx"},
      {{"insert", document, "--library", library, "--abb", "A", "--text", "a", "--after",
        "no such text"},
       "no such text"},
  };
  for (const Case& c : cases) {
    CliRun run = RunQuillon(c.args);
    EXPECT_EQ(run.status, 1) << ::testing::PrintToString(c.args);
    EXPECT_THAT(run.err, HasSubstr(c.named));
    EXPECT_EQ(testing::ReadFile(document), original);
  }
  EXPECT_EQ(
      RunQuillon({"insert", document, "--library", library, "--abb", "A", "--text", "a"}).status,
      2);  // a place is required
  EXPECT_EQ(RunQuillon({"insert", document, "--library", library, "--abb", "A", "--text", "a",
                        "--at", "3", "--after", "x"})
                .status,
            2);
}

}  // namespace
}  // namespace quillon::cli
