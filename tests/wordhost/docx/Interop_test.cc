// Interoperability with LibreOffice (scripts/setup.sh installs it): documents the model
// writes read in LibreOffice as `quillon show` prints them, and LibreOffice-made samples and
// the Word corpus read here as LibreOffice reads them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "support/Commands.h"
#include "support/TempDir.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/Selection.h"
#include "wordhost/docx/TextExport.h"

namespace quillon::docx {
namespace {

namespace fs = std::filesystem;

class Interop : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!quillon::testing::Installed({"soffice"}))
      GTEST_FAIL() << "soffice is missing: scripts/setup.sh installs it";
  }
  // Converts files with LibreOffice in one run and returns each one's text export.
  std::vector<std::string> LibreOfficeText(const std::vector<fs::path>& files) {
    std::string command = "soffice -env:UserInstallation=file://" + (dir_ / "profile").string() +
                          " --headless --convert-to txt:Text --outdir " + (dir_ / "txt").string();
    for (const fs::path& f : files) command += " '" + f.string() + "'";
    command += " >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    std::vector<std::string> texts;
    for (const fs::path& f : files) {
      std::string text =
          quillon::testing::ReadFile(dir_ / "txt" / f.filename().replace_extension(".txt"));
      if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);  // LibreOffice's byte order mark
      texts.push_back(text);
    }
    return texts;
  }
  quillon::testing::TempDir temp_;
  const fs::path& dir_ = temp_.Path();
};

// LibreOffice exports each table cell on a line of its own, where `quillon show` puts a row's
// cells on one line between tabs; the comparisons with tables use LibreOffice's layout
// (ShowText's third argument).

// The samples read here as in LibreOffice, and so do the documents the model writes from them.
TEST_F(Interop, SamplesAndDocumentsWrittenFromThemReadTheSameInLibreOffice) {
  const fs::path paragraphs = "tests/data/lo-paragraphs.docx", table = "tests/data/lo-table.docx";
  auto doc = Document::Open(paragraphs.string());
  // Put an abbreviation field over "WHO" and type a paragraph, as the add-in would.
  std::string text = doc->Range()->Text();
  long who = static_cast<long>(text.find("WHO"));
  doc->selection().SetRange(who, who + 3);
  auto field = doc->selection().Fields().Add(*doc->selection().Range(), host::wdFieldQuote,
                                             "<ABB>WHO</ABB>", false);
  field->Result()->SetText("{WHO-#1}");
  doc->selection().SetRange(0, 0);
  doc->selection().TypeText("Typed first. ");
  doc->selection().TypeParagraph();
  fs::path written = dir_ / "written.docx";
  doc->Save(written.string());
  auto tableDoc = Document::Open(table.string());
  tableDoc->selection().SetRange(0, 0);
  tableDoc->selection().TypeText("Changed: ");
  fs::path writtenTable = dir_ / "written-table.docx";
  tableDoc->Save(writtenTable.string());

  std::vector<std::string> lo = LibreOfficeText({written, writtenTable, paragraphs, table});
  EXPECT_EQ(lo[0], ShowText(*Document::Open(written.string()), false));
  EXPECT_NE(lo[0].find("{WHO-#1}"), std::string::npos);
  EXPECT_EQ(lo[1], ShowText(*Document::Open(writtenTable.string()), false, true));
  EXPECT_EQ(lo[2], ShowText(*Document::Open(paragraphs.string()), false));
  EXPECT_EQ(lo[3], ShowText(*Document::Open(table.string()), false, true));
}

TEST_F(Interop, WordCorpusReadsAsLibreOfficeReadsItAndSurvivesRewriting) {
  std::vector<fs::path> originals, rewritten;
  for (const auto& entry : fs::directory_iterator(QUILLON_SOURCE_DIR "/tests/data/word")) {
    if (entry.path().extension() != ".docx") continue;
    originals.push_back(entry.path());
    auto doc = Document::Open(entry.path().string());
    doc->MarkModified();  // the main part is serialized anew
    fs::path copy = dir_ / ("rewritten-" + entry.path().filename().string());
    doc->Save(copy.string());
    rewritten.push_back(copy);
  }
  std::vector<fs::path> all = originals;
  all.insert(all.end(), rewritten.begin(), rewritten.end());
  std::vector<std::string> lo = LibreOfficeText(all);
  for (size_t i = 0; i < originals.size(); ++i) {
    SCOPED_TRACE(originals[i].filename().string());
    // LibreOffice reads the rewritten document as it reads Word's.
    EXPECT_EQ(lo[originals.size() + i], lo[i]);
    auto doc = Document::Open(originals[i].string());
    // LibreOffice makes empty cells of the grid positions a row skips (w:gridBefore,
    // w:gridAfter), which are no cells to Word.
    std::string xml = Package::FromFile(originals[i].string()).Read("word/document.xml");
    if (xml.find("w:gridBefore") != std::string::npos ||
        xml.find("w:gridAfter") != std::string::npos) {
      continue;
    }
    EXPECT_EQ(ShowText(*doc, false, true), lo[i]);
  }
}

}  // namespace
}  // namespace quillon::docx
