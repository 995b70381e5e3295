#include "document/AbbreviationList.h"

#include "addin/host/Application.h"
#include "addin/host/Platform.h"
#include "document/DocumentUpdate.h"
#include "document/FieldFormat.h"
#include "document/ListHeader.h"
#include "library/AddinState.h"
#include "library/QueryLibrary.h"
#include "library/SQLlite.h"

namespace quillon::document {
namespace {

using library::State;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Returns whether code is the keyword followed by the list marker: "ADDIN ABBREV" (or the
// never-written "QUOTE ABBREV"), in any spacing, then the marker. Other word processors may
// drop the blank before the keyword; the marker's original place, character 15, counts too.
bool IsListMarkerCode(std::string_view code) {
  if (code.size() >= 14 + kListMarker.size() &&
      code.substr(14, kListMarker.size()) == kListMarker) {
    return true;
  }
  size_t i = 0;
  auto skipBlanks = [&] {
    size_t from = i;
    while (i < code.size() && IsBlank(code[i])) ++i;
    return i > from;
  };
  auto word = [&](std::string_view expected) {
    if (code.substr(i, expected.size()) != expected) return false;
    i += expected.size();
    return true;
  };
  skipBlanks();
  if (!word("ADDIN") && !word("QUOTE")) return false;
  if (!skipBlanks() || !word("ABBREV")) return false;
  skipBlanks();
  return word(kListMarker);
}

// Returns the first table that starts at or after pos, or null; between gets the text from
// pos to its start.
std::unique_ptr<host::Table> TableAfter(host::Document& document, long pos, std::string& between) {
  host::Tables& tables = document.Tables();
  for (long t = 1, count = tables.Count(); t <= count; ++t) {
    std::unique_ptr<host::Table> table = tables.Item(t);
    long start = table->Range()->Start();
    if (start < pos) continue;
    between = start > pos ? document.Range(pos, start)->Text() : "";
    return table;
  }
  return nullptr;
}

// Removes the list that directly follows the marker field (only paragraph marks between), so
// a rebuild replaces the earlier list instead of stacking a new one on it. A table there that
// does not read as a list of abbreviations is the author's own and stays. Returns whether a
// table now follows the marker's paragraph with no paragraph between.
bool RemoveListAfterMarker(host::Application& word, long markerIndex) {
  host::Document& document = word.ActiveDocument();
  long markerEnd = document.Fields().Item(markerIndex)->Result()->End() + 1;
  std::string between;
  std::unique_ptr<host::Table> table = TableAfter(document, markerEnd, between);
  if (table == nullptr || between.find_first_not_of('\r') != std::string::npos) return false;
  if (TableReadsAsList(table->Range()->Text())) {
    table->Delete();
    table = TableAfter(document, markerEnd, between);
  }
  return table != nullptr && between == "\r";
}

}  // namespace

long FindAbbreviationList(host::Application& word) {
  host::Fields& fields = word.ActiveDocument().Fields();
  for (long i = 1, count = fields.Count(); i <= count; ++i) {
    std::unique_ptr<host::Field> field = fields.Item(i);
    if (IsListMarkerCode(field->Code()->Text())) {
      field->Select();
      return i;
    }
  }
  return 0;
}

bool IsAbbreviationListPresent(host::Application& word) {
  host::Fields& fields = word.ActiveDocument().Fields();
  for (long i = 1, count = fields.Count(); i <= count; ++i) {
    if (fields.Item(i)->Code()->Text().find(kListMarker) != std::string::npos) return true;
  }
  return false;
}

std::unique_ptr<host::Field> PlaceListMarker(host::Application& word, host::Fields& fields,
                                             const host::Range& range) {
  std::unique_ptr<host::Field> marker =
      fields.Add(range, host::wdFieldQuote, std::string(kListMarker), false);
  marker->Result()->SetText("  ");
  word.Selection().MoveLeft(host::wdCharacter, 1, host::wdExtend);
  marker->SetShowCodes(true);
  ReplaceQuoteKeyword(word, *marker);
  marker->SetShowCodes(false);
  return marker;
}

void BuildListMarkerAndTable(host::Application& word, bool replace, long index) {
  host::Document& document = word.ActiveDocument();
  std::unique_ptr<host::Field> marker;
  bool tableFollows = false;
  if (replace) {
    tableFollows = RemoveListAfterMarker(word, index);
    document.Fields().Item(index)->Select();
    host::Selection& selection = word.Selection();
    marker = PlaceListMarker(word, selection.Fields(), *selection.Range());
  } else {
    host::Paragraphs& paragraphs = document.Paragraphs();
    long end = paragraphs.Item(paragraphs.Count())->Range()->End() - 1;
    marker = PlaceListMarker(word, document.Fields(), *document.Range(end, end));
  }
  // Collapse after the marker and open a paragraph after it for the table to take. An
  // author's table right after the marker keeps an empty paragraph between it and the list,
  // or the two would run together. A rebuild thus leaves the same paragraphs as the build
  // before it.
  marker->Select();
  host::Selection& selection = word.Selection();
  selection.MoveRight(host::wdCharacter, 1);
  selection.TypeParagraph();
  if (tableFollows) {
    selection.TypeParagraph();
    selection.MoveUp(host::wdLine, 1);
  }
  CreateListTable(word);
}

void CreateListTable(host::Application& word) {
  host::Selection& selection = word.Selection();
  word.ActiveDocument().Tables().Add(*selection.Range(), 1, 3, host::wdWord9TableBehavior,
                                     host::wdAutoFitContent);
  std::unique_ptr<host::Table> table = selection.Tables().Item(1);
  if (table->Style() != "Table Grid") table->SetStyle("Table Grid");
  table->SetApplyStyleHeadingRows(true);
  table->SetApplyStyleLastRow(true);
  table->SetApplyStyleFirstColumn(true);
  table->SetApplyStyleLastColumn(true);
  selection.MoveRight(host::wdCharacter, 3, host::wdExtend);
  for (int border :
       {host::wdBorderTop, host::wdBorderLeft, host::wdBorderBottom, host::wdBorderRight,
        host::wdBorderVertical, host::wdBorderDiagonalDown, host::wdBorderDiagonalUp}) {
    selection.Borders().Item(border)->SetLineStyle(host::wdLineStyleNone);
  }
  selection.MoveLeft(host::wdCharacter, 1);
  selection.TypeText("Abbreviation");
  selection.MoveRight(host::wdCell);
  selection.TypeText("Meaning");
  selection.MoveRight(host::wdCell);
  selection.TypeText("Page");
}

long TypeListRows(host::Application& word) {
  std::vector<library::WorkingRow> rows = library::WorkingTableRows();
  if (rows.empty()) return 0;
  host::Selection& selection = word.Selection();
  selection.MoveRight(host::wdCell);
  for (size_t i = 0; i < rows.size(); ++i) {
    selection.TypeText(rows[i].abb);
    selection.MoveRight(host::wdCell);
    selection.TypeText(rows[i].text);  // the real meaning, also for an entry "text"
    selection.MoveRight(host::wdCell);
    selection.TypeText(rows[i].page);
    if (i + 1 == rows.size()) break;
    selection.MoveRight(host::wdCell);
  }
  return static_cast<long>(rows.size());
}

bool InsertAbbreviationList(host::Application& word) {
  long index = FindAbbreviationList(word);
  if (State().LibraryPath.empty()) {
    host::MsgBox("Please open a library first", host::MsgBoxButtons::kOkOnly,
                 host::MsgBoxIcon::kNone, State().AddinTitle);
    return false;
  }
  if (index != 0 && word.Selection().Tables().Count() > 0) {
    host::MsgBox(
        "The abbreviation list marker stands in a table; move it out of the table, then insert "
        "the list again",
        host::MsgBoxButtons::kOkOnly, host::MsgBoxIcon::kNone, State().AddinTitle);
    return false;
  }
  library::LibrarySession session;  // the working table lives on its connection
  UpdateDocument(word, kUpdateCollect);
  if (index != 0) {
    // Twice: the second build takes its pages from the document as the first left it.
    for (int pass = 0; pass < 2; ++pass) {
      if (pass == 1) {
        UpdateDocument(word, kUpdateCollect);
        index = FindAbbreviationList(word);
      }
      word.ActiveDocument().Fields().Item(index)->Select();
      BuildListMarkerAndTable(word, true, index);
      TypeListRows(word);
      library::DropWorkingTable();
    }
  } else {
    BuildListMarkerAndTable(word, false, 0);
    TypeListRows(word);
    library::DropWorkingTable();
  }
  host::MsgBox("Abbreviation list is updated", host::MsgBoxButtons::kOkOnly,
               host::MsgBoxIcon::kNone, library::kAddinTitle);
  return true;
}

bool ButtonInsertList_Click(host::Application& word) {
  return InsertAbbreviationList(word);
}

}  // namespace quillon::document
