// Interoperability with LibreOffice (scripts/setup.sh installs it): documents the model
// writes read in LibreOffice as `quillon show` prints them, and LibreOffice-made samples and
// the Word corpus read here as LibreOffice reads them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "support/Commands.h"
#include "support/TempDir.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/Selection.h"
#include "wordhost/docx/TextExport.h"

namespace quillon::docx {
namespace {

namespace fs = std::filesystem;

// Returns the text file at path without the byte order mark LibreOffice writes.
std::string TextFile(const fs::path& path) {
  std::string text = quillon::testing::ReadFile(path);
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  return text;
}

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
      texts.push_back(TextFile(dir_ / "txt" / f.filename().replace_extension(".txt")));
    }
    return texts;
  }
  quillon::testing::TempDir temp_;
  const fs::path& dir_ = temp_.Path();
};

// LibreOffice exports each table cell on a line of its own, where `quillon show` puts a row's
// cells on one line between tabs; the comparisons use LibreOffice's layout.
std::string CellLines(const Document& document) {
  return ShowText(document, false, true);
}

TEST_F(Interop, DocumentsWrittenByTheModelReadTheSameInLibreOffice) {
  auto doc = Document::Open("tests/data/lo-paragraphs.docx");
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
  auto table = Document::Open("tests/data/lo-table.docx");
  table->selection().SetRange(0, 0);
  table->selection().TypeText("Changed: ");
  fs::path writtenTable = dir_ / "written-table.docx";
  table->Save(writtenTable.string());

  std::vector<std::string> lo = LibreOfficeText({written, writtenTable});
  EXPECT_EQ(lo[0], ShowText(*Document::Open(written.string()), false));
  EXPECT_NE(lo[0].find("{WHO-#1}"), std::string::npos);
  EXPECT_EQ(lo[1], CellLines(*Document::Open(writtenTable.string())));
}

TEST_F(Interop, LibreOfficeSamplesReadAsLibreOfficeReadsThem) {
  std::vector<fs::path> samples = {"tests/data/lo-paragraphs.docx", "tests/data/lo-table.docx"};
  std::vector<std::string> lo = LibreOfficeText(samples);
  EXPECT_EQ(ShowText(*Document::Open(samples[0].string()), false), lo[0]);
  EXPECT_EQ(CellLines(*Document::Open(samples[1].string())), lo[1]);
}

// Numbered lists, bullets and note references print as LibreOffice prints them.
TEST_F(Interop, ListLabelsAndNoteNumbersReadAsInLibreOffice) {
  using namespace testing;
  std::string numbering =
      "<w:abstractNum w:abstractNumId=\"0\">" + Lvl(0, "decimal", "%1.") +
      Lvl(1, "lowerLetter", "%2)") + Lvl(2, "lowerRoman", "%1.%2.%3.") +
      "</w:abstractNum><w:abstractNum w:abstractNumId=\"1\">" + Lvl(0, "bullet", "\xE2\x80\xA2") +
      "</w:abstractNum><w:num w:numId=\"1\"><w:abstractNumId w:val=\"0\"/></w:num>"
      "<w:num w:numId=\"2\"><w:abstractNumId w:val=\"1\"/></w:num>";
  std::string footnotes =
      "<w:footnote w:type=\"separator\" w:id=\"-1\"><w:p><w:r><w:separator/></w:r></w:p>"
      "</w:footnote><w:footnote w:type=\"continuationSeparator\" w:id=\"0\"><w:p><w:r>"
      "<w:continuationSeparator/></w:r></w:p></w:footnote>"
      "<w:footnote w:id=\"1\"><w:p><w:r><w:footnoteRef/></w:r>" +
      R(" First note.") +
      "</w:p></w:footnote><w:footnote w:id=\"2\"><w:p><w:r><w:footnoteRef/>"
      "</w:r>" +
      R(" Second note.") + "</w:p></w:footnote>";
  auto note = [](int id) {
    return "<w:r><w:rPr><w:vertAlign w:val=\"superscript\"/></w:rPr><w:footnoteReference "
           "w:id=\"" +
           std::to_string(id) + "\"/></w:r>";
  };
  std::string body = P(R("Intro") + note(1) + R(" text.")) + ListP("one", 1) + ListP("two", 1) +
                     ListP("two a", 1, 1) + ListP("two b", 1, 1) + ListP("deep", 1, 2) +
                     ListP("three", 1) + ListP("sub", 1, 1) + P(R("Between")) + ListP("dot", 2) +
                     ListP("dot", 2) + P(R("End") + note(2));
  fs::path file = dir_ / "lists.docx";
  quillon::testing::WriteFile(file, MakeDocxWith(body, {{"numbering", "numbering", numbering},
                                                        {"footnotes", "footnotes", footnotes}}));
  std::vector<std::string> lo = LibreOfficeText({file});
  std::string shown = ShowText(*Document::Open(file.string()), false);
  EXPECT_EQ(shown, lo[0]);
  EXPECT_NE(shown.find("    2. two\n        a) two a\n"), std::string::npos) << shown;
}

TEST_F(Interop, WordCorpusReadsAsLibreOfficeReadsItAndSurvivesRewriting) {
  std::vector<fs::path> originals;
  std::vector<fs::path> rewritten;
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
    EXPECT_EQ(CellLines(*doc), lo[i]);
  }
}

}  // namespace
}  // namespace quillon::docx
