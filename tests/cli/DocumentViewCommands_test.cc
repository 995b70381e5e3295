// quillon show and quillon fields on real files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "cli/CliRunner.h"
#include "base/AtomicFile.h"
#include "wordhost/docx/Package.h"

namespace quillon::cli {
namespace {

namespace fs = std::filesystem;

TEST(DocumentViewCommands, ShowPrintsTheTextOfALibreOfficeSample) {
  CliRun run = RunQuillon({"show", "tests/data/lo-table.docx"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Before the table.\nABC\talpha\t3\nXYZ\tomega\t4\nAfter the table.\n");
}

TEST(DocumentViewCommands, FieldsListsEachFieldPlainAndAsJson) {
  fs::path path =
      fs::temp_directory_path() / ("quillon-cli-fields-" + std::to_string(::getpid()) + ".docx");
  std::string body =
      "<w:p><w:r><w:t>See </w:t></w:r><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
      "<w:r><w:instrText xml:space=\"preserve\"> ADDIN ABBREV &lt;ABB&gt;WHO&lt;/ABB&gt; "
      "</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
      "<w:r><w:t>{WHO-#1}</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>"
      "<w:p><w:r><w:br w:type=\"page\"/></w:r><w:fldSimple w:instr=\" PAGE \"><w:r><w:t>2</w:t>"
      "</w:r></w:fldSimple></w:p>";
  quillon::WriteFileAtomically(
      path.string(),
      docx::Package::Create({{"word/document.xml",
                              "<w:document xmlns:w=\"http://schemas.openxmlformats.org/"
                              "wordprocessingml/2006/main\"><w:body>" +
                                  body + "</w:body></w:document>"}}));
  CliRun plain = RunQuillon({"fields", path.string()});
  EXPECT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(plain.out,
            "1\t4\t1\t ADDIN ABBREV <ABB>WHO</ABB> \t{WHO-#1}\n"
            "2\t46\t2\t PAGE \t2\n");
  CliRun json = RunQuillon({"fields", path.string(), "--json"});
  EXPECT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(json.out,
            "[\n  {\"index\": 1, \"start\": 4, \"page\": 1, \"code\": \" ADDIN ABBREV "
            "<ABB>WHO</ABB> \", \"result\": \"{WHO-#1}\"},\n"
            "  {\"index\": 2, \"start\": 46, \"page\": 2, \"code\": \" PAGE \", \"result\": "
            "\"2\"}\n]\n");
  CliRun codes = RunQuillon({"show", path.string(), "--codes"});
  EXPECT_EQ(codes.out, "See  ADDIN ABBREV <ABB>WHO</ABB> \n PAGE \n");
  fs::remove(path);
}

TEST(DocumentViewCommands, UnreadableDocumentsFailWithTheirName) {
  fs::path path =
      fs::temp_directory_path() / ("quillon-cli-bad-" + std::to_string(::getpid()) + ".docx");
  {
    std::ofstream out(path, std::ios::binary);
    out << "not a zip";
  }
  CliRun bad = RunQuillon({"fields", path.string()});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find(path.string()), std::string::npos) << bad.err;
  EXPECT_NE(bad.err.find("not a valid zip archive"), std::string::npos) << bad.err;
  EXPECT_EQ(bad.out, "");
  fs::remove(path);
  CliRun missing = RunQuillon({"show", "no/such/file.docx"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("no/such/file.docx"), std::string::npos);
  CliRun none = RunQuillon({"fields", "tests/data/lo-paragraphs.docx", "--json"});
  EXPECT_EQ(none.status, 0) << none.err;
  EXPECT_EQ(none.out, "[]\n");
}

}  // namespace
}  // namespace quillon::cli
