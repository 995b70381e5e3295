// quillon show and quillon fields on real files.
#include <gtest/gtest.h>

#include "cli/CliRunner.h"
#include "support/TempDir.h"
#include "wordhost/docx/DocxBuilder.h"

namespace quillon::cli {
namespace {

TEST(DocumentViewCommands, ShowPrintsTheTextOfALibreOfficeSample) {
  CliRun run = RunQuillon({"show", "tests/data/lo-table.docx"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Before the table.\nABC\talpha\t3\nXYZ\tomega\t4\nAfter the table.\n");
}

TEST(DocumentViewCommands, FieldsListsEachFieldPlainAndAsJson) {
  using namespace docx::testing;
  testing::TempDir dir;
  const std::string path = dir.File("fields.docx");
  testing::WriteFile(path,
                     MakeDocx(P(R("See ") + Fld(" ADDIN ABBREV <ABB>WHO</ABB> ", R("{WHO-#1}"))) +
                              P(PageBreak() + Simple(" PAGE ", R("2")))));
  CliRun plain = RunQuillon({"fields", path});
  EXPECT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(plain.out,
            "1\t4\t1\t ADDIN ABBREV <ABB>WHO</ABB> \t{WHO-#1}\n"
            "2\t46\t2\t PAGE \t2\n");
  CliRun json = RunQuillon({"fields", path, "--json"});
  EXPECT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(json.out,
            "[\n  {\"index\": 1, \"start\": 4, \"page\": 1, \"code\": \" ADDIN ABBREV "
            "<ABB>WHO</ABB> \", \"result\": \"{WHO-#1}\"},\n"
            "  {\"index\": 2, \"start\": 46, \"page\": 2, \"code\": \" PAGE \", \"result\": "
            "\"2\"}\n]\n");
  CliRun codes = RunQuillon({"show", path, "--codes"});
  EXPECT_EQ(codes.out, "See  ADDIN ABBREV <ABB>WHO</ABB> \n PAGE \n");
}

// Damaged documents are refused as in HostileDocuments_test.cc.
TEST(DocumentViewCommands, MissingDocumentsFailWithTheirName) {
  CliRun missing = RunQuillon({"show", "no/such/file.docx"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("no/such/file.docx"), std::string::npos);
  CliRun none = RunQuillon({"fields", "tests/data/lo-paragraphs.docx", "--json"});
  EXPECT_EQ(none.status, 0) << none.err;
  EXPECT_EQ(none.out, "[]\n");
}

}  // namespace
}  // namespace quillon::cli
