// The LibreOffice host against Quillon's own .docx model: the same document reads the same in
// story positions, and the same edits leave the same story, which Writer itself then holds.
#include "hosts/libreoffice/WriterHost.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <com/sun/star/frame/XModel.hpp>

#include <functional>

#include "addin/host/HostError.h"
#include "document/AbbreviationList.h"
#include "document/FieldFormat.h"
#include "hosts/libreoffice/SharedSession.h"
#include "hosts/libreoffice/UnoSession.h"
#include "support/TempDir.h"
#include "wordhost/docx/Application.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxBuilder.h"

namespace quillon::libreoffice {
namespace {

using docx::testing::Fld;
using docx::testing::MakeDocx;
using docx::testing::P;
using docx::testing::Placeholder;
using docx::testing::R;

// Fields in paragraphs and in table cells, a field of another add-in, an empty paragraph, a
// line break.
std::string FieldsAndTable() {
  std::string cells =
      "<w:tbl><w:tblGrid><w:gridCol w:w=\"3000\"/><w:gridCol w:w=\"3000\"/></w:tblGrid><w:tr>"
      "<w:tc>" +
      P(R("Cell ") + Placeholder("TCL", "Table Cell Link")) + "</w:tc><w:tc>" + P(R("two")) +
      P(R("paragraphs")) + "</w:tc></w:tr><w:tr><w:tc>" + P("") + "</w:tc><w:tc>" +
      P(R("last cell")) + "</w:tc></w:tr></w:tbl>";
  return MakeDocx(P(R("First ") + Placeholder("WHO", "World Health Organization") + R(" and.")) +
                  P("") + P(R("Other ") + Fld(" ADDIN OTHER ", R("shown")) + R(" done")) + cells +
                  P("<w:r><w:t>Line</w:t><w:br/><w:t xml:space=\"preserve\">break </w:t></w:r>" +
                    Placeholder("WHO", "World Health Organization")));
}

class WriterHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!SofficeInstalled()) GTEST_FAIL() << "soffice is missing: scripts/setup.sh installs it";
    testing::WriteFile(built, FieldsAndTable());
  }
  // Opens path in both hosts.
  void Open(const std::string& path) {
    docxWord = std::make_unique<docx::Application>(docx::Document::Open(path));
    writer = std::make_unique<WriterApplication>(testing::SharedLibreOffice::Get(), path);
  }
  // Returns what a host reads of its document, position for position: the story, its text and
  // paragraphs, each field, and each table with its cells row by row.
  static std::vector<std::string> Reading(host::Application& word) {
    host::Document& document = word.ActiveDocument();
    std::vector<std::string> read = {document.Range()->StoryText(), document.Range()->Text(),
                                     std::to_string(document.Paragraphs().Count())};
    for (long i = 1; i <= document.Fields().Count(); ++i) {
      auto field = document.Fields().Item(i);
      read.push_back(std::to_string(field->Code()->Start()) + field->Code()->Text() + "|" +
                     std::to_string(field->Result()->Start()) + "-" +
                     std::to_string(field->Result()->End()) + field->Result()->Text());
    }
    for (long t = 1; t <= document.Tables().Count(); ++t) {
      auto table = document.Tables().Item(t);
      std::string cells =
          std::to_string(table->Range()->Start()) + "-" + std::to_string(table->Range()->End());
      for (long row = 1; row <= table->RowCount(); ++row) {
        cells += "\n";
        for (const auto& cell : table->RowCells(row)) cells += cell->Text() + "|";
      }
      read.push_back(cells);
    }
    return read;
  }

  testing::TempDir dir;
  std::string built = dir.File("built.docx");
  std::unique_ptr<docx::Application> docxWord;
  std::unique_ptr<WriterApplication> writer;
};

// Both ways of reading Writer read as the .docx model does.
TEST_F(WriterHostTest, ADocumentReadsAsTheDocxModelReadsIt) {
  for (const std::string& source :
       {built, std::string(QUILLON_SOURCE_DIR "/tests/data/lo-table.docx")}) {
    SCOPED_TRACE(source);
    const std::string path = dir.File("reading.docx");  // ours, which soffice may read and lock
    testing::WriteFile(path, testing::ReadFile(source));
    Open(path);
    EXPECT_EQ(Reading(*writer), Reading(*docxWord));
    WriterApplication overUno(testing::SharedLibreOffice::Get(), path, WriterWalk::kOverUno);
    EXPECT_EQ(Reading(overUno), Reading(*docxWord));
  }
}

// Writer keeps a page break as a property of the paragraph after it, where Word has a
// character: the break takes no position here, whichever way Writer is read. Tracked deletions
// count none either way.
TEST_F(WriterHostTest, PageBreaksTakeNoPosition) {
  for (const char* source : {QUILLON_SOURCE_DIR "/samples/sample-thesis.docx",
                             QUILLON_SOURCE_DIR "/tests/data/plain-chapter.docx"}) {
    SCOPED_TRACE(source);
    const std::string path = dir.File("reading.docx");  // ours, which soffice may read and lock
    testing::WriteFile(path, testing::ReadFile(source));
    Open(path);
    std::string expected = docxWord->ActiveDocument().Range()->StoryText();
    ASSERT_NE(expected.find('\f'), std::string::npos);
    std::erase(expected, '\f');
    EXPECT_EQ(writer->ActiveDocument().Range()->StoryText(), expected);
    host::Fields& docxFields = docxWord->ActiveDocument().Fields();
    ASSERT_EQ(writer->ActiveDocument().Fields().Count(), docxFields.Count());
    for (long i = 1; i <= docxFields.Count(); ++i) {
      EXPECT_EQ(writer->ActiveDocument().Fields().Item(i)->Code()->Text(),
                docxFields.Item(i)->Code()->Text());
    }
    WriterApplication overUno(testing::SharedLibreOffice::Get(), path, WriterWalk::kOverUno);
    EXPECT_EQ(Reading(overUno), Reading(*writer));
  }
}

// The steps of an edit run on a host.
using Step = std::function<void(host::Application&)>;

TEST_F(WriterHostTest, EditsLeaveTheStoryTheDocxModelLeaves) {
  const std::vector<std::pair<std::string, Step>> steps = {
      {"a result rewritten",
       [](host::Application& w) {
         w.ActiveDocument().Fields().Item(1)->Result()->SetText("World Health Organization (WHO)");
       }},
      {"text typed at a position",
       [](host::Application& w) {
         w.Selection().SetRange(3, 3);
         w.Selection().TypeText("-typed-");
       }},
      {"a field written over a selected word",
       [](host::Application& w) {
         w.Selection().SetRange(0, 5);
         host::Selection& s = w.Selection();
         auto field = s.Fields().Add(*s.Range(), host::wdFieldQuote, "<ABB>NEW</ABB>", false);
         field->SetShowCodes(true);
         document::ReplaceQuoteKeyword(w, *field);
         field->SetShowCodes(false);
         field->Result()->SetText("new result");
       }},
      {"a field deleted",
       [](host::Application& w) { w.ActiveDocument().Fields().Item(2)->Delete(); }},
      {"a paragraph typed after a field",
       [](host::Application& w) {
         w.ActiveDocument().Fields().Item(1)->Select();
         w.Selection().MoveRight(host::wdCharacter, 1);
         w.Selection().TypeParagraph();
       }},
      {"a code found and replaced",
       [](host::Application& w) {
         w.ActiveDocument().Fields().Item(1)->SetShowCodes(true);
         w.Selection().SetRange(0, 0);
         host::FindExecuteArgs args;
         args.findText = "NEW";
         args.replaceWith = "NEWER";
         args.replace = host::wdReplaceOne;
         args.matchCase = true;
         EXPECT_TRUE(w.Selection().Find().Execute(args));
         w.ActiveDocument().Fields().Item(1)->SetShowCodes(false);
       }},
      {"a list table built at the end",
       [](host::Application& w) {
         host::Paragraphs& paragraphs = w.ActiveDocument().Paragraphs();
         long end = paragraphs.Item(paragraphs.Count())->Range()->End() - 1;
         w.Selection().SetRange(end, end);
         w.Selection().TypeParagraph();
         document::CreateListTable(w);
         w.Selection().MoveRight(host::wdCell);
         w.Selection().TypeText("ABC");
         w.Selection().MoveRight(host::wdCell);
         w.Selection().TypeText("A Bee Sea");
       }},
      {"the first table deleted",
       [](host::Application& w) { w.ActiveDocument().Tables().Item(1)->Delete(); }}};
  Open(built);
  std::string saved = dir.File("saved.docx");
  for (const auto& [name, step] : steps) {
    SCOPED_TRACE(name);
    step(*docxWord);
    step(*writer);
    EXPECT_EQ(std::pair(writer->Selection().Start(), writer->Selection().End()),
              std::pair(docxWord->Selection().Start(), docxWord->Selection().End()));
    EXPECT_EQ(Reading(*writer), Reading(*docxWord));
    // What the host believes is what Writer holds: Writer's own file reads the same.
    writer->SaveAs(saved);
    WriterApplication reread(testing::SharedLibreOffice::Get(), saved);
    EXPECT_EQ(reread.ActiveDocument().Range()->StoryText(),
              writer->ActiveDocument().Range()->StoryText());
  }
  EXPECT_TRUE(writer->Modified());
}

TEST_F(WriterHostTest, EditsThatWouldCutAFieldOrATableAreRefused) {
  Open(built);
  host::Document& document = writer->ActiveDocument();
  auto field = document.Fields().Item(1);
  const long begin = field->Code()->Start() - 1;
  const long tableStart = document.Tables().Item(1)->Range()->Start();
  const std::string before = document.Range()->StoryText();
  const std::vector<std::pair<long, long>> cuts = {
      {begin - 2, begin + 1},                                      // into the begin mark
      {field->Result()->Start() + 1, field->Result()->End() + 1},  // past the end mark
      {tableStart - 2, tableStart + 2},                            // into the table
  };
  for (auto [start, end] : cuts) {
    SCOPED_TRACE(std::to_string(start) + ".." + std::to_string(end));
    EXPECT_THAT([&] { document.Range(start, end)->SetText("x"); },
                ::testing::Throws<host::HostError>(
                    ::testing::Property(&host::HostError::Number, host::kErrBadParameter)));
  }
  EXPECT_EQ(document.Range()->StoryText(), before);
  EXPECT_FALSE(writer->Modified());
  field->Delete();
  EXPECT_THROW(field->Result(), host::HostError);
}

// A document the user has open (the extension's case): the selection starts where Writer's
// cursor stands and goes back there afterwards, in the body and in table cells, after fields.
TEST_F(WriterHostTest, AnOpenDocumentsSelectionFollowsWritersCursor) {
  docx::Application word(docx::Document::Open(built));
  css::uno::Reference<css::lang::XComponent> component =
      LoadHidden(testing::SharedLibreOffice::Get(), built);
  const OpenWriterDocument open{
      css::uno::Reference<css::frame::XModel>(component, css::uno::UNO_QUERY_THROW)};
  {
    WriterApplication fresh(open);
    EXPECT_EQ(std::pair(fresh.Selection().Start(), fresh.Selection().End()), std::pair(0L, 0L));
  }
  for (const char* text : {"and.", "two", "last cell", "break"}) {
    SCOPED_TRACE(text);
    host::FindExecuteArgs args;
    args.findText = std::string(text);
    word.Selection().SetRange(0, 0);
    ASSERT_TRUE(word.Selection().Find().Execute(args));
    const long start = word.Selection().Start();
    const long end = word.Selection().End();
    for (const auto& [from, to] : {std::pair(start, end), std::pair(end, end)}) {
      {
        WriterApplication writer(open);
        writer.Selection().SetRange(from, to);
      }
      WriterApplication again(open);
      EXPECT_EQ(std::pair(again.Selection().Start(), again.Selection().End()), std::pair(from, to));
      EXPECT_FALSE(again.Modified());
    }
  }
  CloseDocument(component);
}

}  // namespace
}  // namespace quillon::libreoffice
