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

// What each command does to a document is the document tests' part; here, -o and what the
// commands print.
TEST_F(DocumentCommandsTest, UpdateIntoAnotherFileThenUnlink) {
  std::string original = testing::ReadFile(document);
  std::string updated = dir.File("updated.docx");
  CliRun update = RunQuillon({"update", document, "--library", library, "-o", updated});
  ASSERT_EQ(update.status, 0) << update.err;
  EXPECT_EQ(testing::ReadFile(document), original);  // -o leaves the original alone
  EXPECT_THAT(Shown(updated), HasSubstr("runs on the Field-Programmable Gate Array (FPGA) board"));

  CliRun unlink = RunQuillon({"unlink", updated, "--library", library, "--abb", "FFT", "--text",
                              "Fast Fourier Transform"});
  ASSERT_EQ(unlink.status, 0) << unlink.err;
  EXPECT_EQ(unlink.out, "2 fields turned into text\n");
  EXPECT_THAT(Shown(updated), HasSubstr("transformed with the Fast Fourier Transform;"));
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

// Counted in entries, not in fields: the sample's 31 fields hold 12 entries.
TEST_F(DocumentCommandsTest, ExportCountsTheEntriesAddedAndThoseAlreadyThere) {
  std::string partial = dir.File("partial.abb");
  ASSERT_EQ(RunQuillon({"lib", "new", partial}).status, 0);
  ASSERT_EQ(RunQuillon({"lib", "add", partial, "FFT", "Fast Fourier Transform"}).status, 0);
  CliRun run = RunQuillon({"export", document, "--library", partial});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "11 entries added, 1 already in the library\n");

  std::string single = dir.File("single.docx");
  using docx::testing::AbbField;
  testing::WriteFile(single, docx::testing::MakeDocx(docx::testing::P(
                                 AbbField("FFT", "Fast Fourier Transform", "LTR", "FFT") +
                                 AbbField("NEW", "brand new", "LTR", "NEW"))));
  EXPECT_EQ(RunQuillon({"export", single, "--library", partial}).out,
            "1 entry added, 1 already in the library\n");
}

}  // namespace
}  // namespace quillon::cli
