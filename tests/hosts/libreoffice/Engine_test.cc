// Document commands run through a headless LibreOffice (--engine libreoffice) against the same
// commands on Quillon's own .docx model.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <filesystem>
#include <string_view>
#include <vector>

#include "cli/CliRunner.h"
#include "hosts/libreoffice/LibreOfficeSession.h"
#include "hosts/libreoffice/SharedSession.h"
#include "hosts/libreoffice/WriterLayout.h"
#include "support/DocumentFiles.h"
#include "support/SampleFiles.h"
#include "support/TempDir.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/Package.h"

namespace quillon::cli {
namespace {

using docx::testing::AbbField;
using docx::testing::Fld;
using docx::testing::MakeDocx;
using docx::testing::P;
using docx::testing::R;
using libreoffice::SofficeInstalled;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::Shown;

// Fields of several kinds: an entry twice, a right-to-left one, one with no direction tag, a
// field that is no abbreviation field, one in a table cell.
std::string MixedDocument() {
  std::string cell = "<w:tbl><w:tblGrid><w:gridCol w:w=\"3000\"/></w:tblGrid><w:tr><w:tc>" +
                     P(R("In a cell ") + AbbField("TCL", "Table Cell Link", "LTR", "{TCL-#}")) +
                     "</w:tc></w:tr></w:tbl>";
  return MakeDocx(
      P(R("First ") + AbbField("WHO", "World Health Organization", "LTR", "{WHO-#1}") + R(" and ") +
        AbbField("ABC", "Alef Bet", "RTL", "(ABC) Alef Bet") + R(".")) +
      P(R("Again ") + AbbField("WHO", "World Health Organization", "LTR", "WHO") + R(", then ") +
        AbbField("NDT", "No Direction Tag", "", "{NDT-#}") + R(" and page ") +
        Fld(" PAGE ", R("1")) + R(".")) +
      cell + P(R("Last ") + AbbField("who", "world health organization", "LTR", "who") + R(".")));
}

class EngineTest : public ::testing::Test, protected testing::SampleFiles {
 protected:
  void SetUp() override {
    if (!SofficeInstalled()) GTEST_FAIL() << "soffice is missing: scripts/setup.sh installs it";
    testing::WriteFile(mixed, MixedDocument());
  }
  // Runs args on the .docx model with "-o viaDocx", then through LibreOffice with "-o viaWriter",
  // expecting status of both. Returns both runs, the .docx one first.
  std::pair<CliRun, CliRun> RunBothEngines(std::vector<std::string> args, int status = 0) {
    std::vector<std::string> writerArgs = args;
    args.insert(args.end(), {"-o", viaDocx});
    writerArgs.insert(writerArgs.end(), {"-o", viaWriter, "--engine", "libreoffice"});
    std::pair<CliRun, CliRun> runs = {RunQuillon(args), RunQuillon(writerArgs)};
    EXPECT_EQ(runs.first.status, status) << runs.first.err;
    EXPECT_EQ(runs.second.status, status) << runs.second.err;
    return runs;
  }
  // Returns each field's code, without the blanks around it (Writer writes codes trimmed),
  // and its result.
  static std::vector<std::pair<std::string, std::string>> FieldsOf(const std::string& path) {
    std::unique_ptr<docx::Document> document = docx::Document::Open(path);
    std::vector<std::pair<std::string, std::string>> fields;
    for (size_t i = 0; i < document->fieldIndex().Count(); ++i) {
      const docx::FieldRecord& field = *document->fieldIndex().At(i);
      std::string code = document->CodeText(field);
      code.erase(0, code.find_first_not_of(' '));
      code.erase(code.find_last_not_of(' ') + 1);
      fields.emplace_back(code, document->ResultText(field));
    }
    return fields;
  }
  const std::string& sample = document;
  std::string mixed = dir.File("mixed.docx");
  // Where RunBothEngines has each engine write the document.
  std::string viaDocx = dir.File("docx.docx");
  std::string viaWriter = dir.File("writer.docx");
};

// Unlinking also rebuilds a list that is there, without the entry; an insertion the .docx model
// refuses, LibreOffice refuses too and writes nothing. (What the reports count is the commands'
// own concern.)
TEST_F(EngineTest, UnlinkAndInsertLeaveTheTextTheDocxModelLeaves) {
  const std::string listed = dir.File("listed.docx");
  Succeeds({"list", sample, "--library", library, "-o", listed});
  const std::vector<std::string> fft = {"--abb", "FFT", "--text", "Fast Fourier Transform"};
  struct Case {
    std::string command, document;
    std::vector<std::string> options;
    int status = 0;
  } cases[] = {
      {"unlink", sample, fft},
      {"unlink", listed, fft},
      {"unlink", mixed, {"--abb", "WHO", "--text", "World Health Organization"}},
      {"unlink", mixed, {"--abb", "TCL", "--text", "Table Cell Link"}},
      {"unlink", mixed, {"--abb", "XYZ", "--text", "Not There"}},
      {"insert", sample, {"--at", "0"}},
      {"insert", sample, {"--at", "120"}},
      {"insert", sample, {"--after", "accelerometers"}},
      {"insert", sample, {"--replace", "Temperature"}},
      {"insert", sample, {"--at", "260"}, 1},  // inside the first field
      {"insert", sample, {"--after", "no such words"}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command + " " + c.document + " " + ::testing::PrintToString(c.options));
    std::vector<std::string> args = {c.command, c.document, "--library", library};
    if (c.command == "insert") args.insert(args.end(), fft.begin(), fft.end());
    args.insert(args.end(), c.options.begin(), c.options.end());
    auto [docxRun, writerRun] = RunBothEngines(args, c.status);
    EXPECT_EQ(writerRun, docxRun);
    if (c.status != 0) {
      EXPECT_FALSE(std::filesystem::exists(viaWriter));
      continue;
    }
    EXPECT_EQ(Shown(viaWriter), Shown(viaDocx));
    EXPECT_EQ(FieldsOf(viaWriter), FieldsOf(viaDocx));
    if (c.command == "unlink") {
      EXPECT_THAT(Shown(viaWriter), Not(HasSubstr("\r\a" + c.options[1] + "\r\a")));
    }
    std::filesystem::remove(viaDocx);
    std::filesystem::remove(viaWriter);
  }
}

// What Writer's own text export shows of the document at path.
std::string WriterText(const std::string& path) {
  std::string text = path + ".txt";
  libreoffice::ExportDocument(testing::SharedLibreOffice::Get(), path, text, "Text (encoded):UTF8");
  return testing::ReadFile(text);
}

TEST_F(EngineTest, UpdateAndListReadAsThroughTheDocxModel) {
  for (const std::string& document : {sample, mixed}) {
    SCOPED_TRACE(document);
    auto [docxRun, writerRun] = RunBothEngines({"update", document, "--library", library});
    EXPECT_EQ(writerRun, docxRun);
    EXPECT_EQ(Shown(viaWriter), Shown(viaDocx));
    EXPECT_EQ(FieldsOf(viaWriter), FieldsOf(viaDocx));
    // The list twice: built, then rebuilt over the first one.
    for (int pass = 0; pass < 2; ++pass) {
      SCOPED_TRACE(pass);
      docxRun = RunQuillon({"list", viaDocx, "--library", library});
      writerRun = RunQuillon({"list", viaWriter, "--library", library, "--engine", "libreoffice"});
      ASSERT_EQ(docxRun.status, 0) << docxRun.err;
      ASSERT_EQ(writerRun.status, 0) << writerRun.err;
      EXPECT_EQ(writerRun.err, docxRun.err);
      EXPECT_EQ(Shown(viaWriter), Shown(viaDocx));
      EXPECT_THAT(Shown(viaWriter), HasSubstr("Abbreviation\r\aMeaning\r\aPage\r\a"));
      EXPECT_EQ(WriterText(viaWriter), WriterText(viaDocx));
    }
  }
}

// Returns the grid of the document's list table (the table whose text begins with the
// list's heading), in twips; empty when there is none.
std::vector<long> ListGrid(const std::string& path) {
  pugi::xml_document xml;
  const std::string content = docx::Package::FromFile(path).Read("word/document.xml");
  if (!xml.load_buffer(content.data(), content.size())) return {};
  for (pugi::xpath_node found : xml.select_nodes("//w:tbl")) {
    pugi::xml_node table = found.node();
    pugi::xml_node first = table.select_node(".//w:t").node();
    if (std::string_view(first.child_value()) != "Abbreviation") continue;
    std::vector<long> grid;
    for (pugi::xml_node column : table.child("w:tblGrid").children("w:gridCol")) {
      grid.push_back(column.attribute("w:w").as_int());
    }
    return grid;
  }
  return {};
}

// Writer has no fitting of a table to its contents: the host fits the list as the .docx model
// does, the meanings' column the widest and the table no wider than it needs.
TEST_F(EngineTest, TheListFitsItsContentsAsThroughTheDocxModel) {
  RunBothEngines({"list", sample, "--library", library});
  const std::vector<long> viaModel = ListGrid(viaDocx);
  const std::vector<long> viaLibreOffice = ListGrid(viaWriter);
  ASSERT_EQ(viaModel.size(), 3u);
  ASSERT_EQ(viaLibreOffice.size(), 3u);
  EXPECT_GT(viaLibreOffice[1], 2 * viaLibreOffice[0]);
  EXPECT_GT(viaLibreOffice[1], 2 * viaLibreOffice[2]);
  const long total = viaLibreOffice[0] + viaLibreOffice[1] + viaLibreOffice[2];
  const long modelTotal = viaModel[0] + viaModel[1] + viaModel[2];
  // Writer's fonts and rounding differ a little from the estimate the model writes.
  EXPECT_NEAR(total, modelTotal, modelTotal / 4);
}

TEST_F(EngineTest, BadInputWritesNothing) {
  const std::string notDocx = dir.File("notes.docx"), gone = dir.File("gone.abb");
  testing::WriteFile(notDocx, "plain text, not a document");
  const std::string before = testing::ReadFile(sample);
  EXPECT_EQ(RunQuillon({"export", sample, "--library", gone, "--engine", "libreoffice"}),
            Refused("Library was removed: opened library located at " + gone + " is not found\n"));
  EXPECT_EQ(RunQuillon({"unlink", notDocx, "--library", library, "--abb", "A", "--text", "a",
                        "--engine", "libreoffice"}),
            Refused("quillon: cannot read " + notDocx +
                    ": not a .docx document (not a valid zip archive)\n"));
  CliRun unknown = RunQuillon({"export", sample, "--library", library, "--engine", "word"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_THAT(unknown.err, HasSubstr("--engine: word not in {docx,libreoffice}"));
  EXPECT_EQ(testing::ReadFile(sample), before);
}

}  // namespace
}  // namespace quillon::cli
