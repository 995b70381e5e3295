#include "cli/DocumentCommands.h"

#include <gtest/gtest.h>

#include "cli/CliRunner.h"
#include "support/SampleFiles.h"
#include "wordhost/docx/DocxBuilder.h"

namespace quillon::cli {
namespace {

class DocumentCommandsTest : public ::testing::Test, protected testing::SampleFiles {};

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
