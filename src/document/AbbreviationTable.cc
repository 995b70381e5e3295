#include "document/AbbreviationTable.h"

#include <algorithm>
#include <array>
#include <memory>

#include "addin/host/Document.h"
#include "base/Text.h"

namespace quillon::document {
namespace {

// Returns a cell's text on one line: paragraph marks, line breaks and tabs as blanks, other
// marks left out, surrounding blanks trimmed.
std::string CellText(const host::Range& cell) {
  std::string text = cell.Text();
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\r' || c == '\v' || c == '\t' || c == '\n') {
      out += ' ';
    } else if (static_cast<unsigned char>(c) >= 0x20) {
      out += c;
    }
  }
  return TrimSpaces(out);
}

// Returns the cell's name as a header word: small letters, without a closing colon or blanks.
std::string HeaderWord(std::string_view cell) {
  std::string word = LowerCase(TrimSpaces(cell));
  if (!word.empty() && word.back() == ':') word.pop_back();
  return TrimSpaces(word);
}

bool OneOf(const std::string& word, std::initializer_list<std::string_view> names) {
  return std::find(names.begin(), names.end(), word) != names.end();
}

std::vector<std::string> HeaderCells(host::Table& table) {
  std::vector<std::string> cells;
  if (table.RowCount() < 1) return cells;
  for (const auto& cell : table.RowCells(1)) cells.push_back(CellText(*cell));
  return cells;
}

bool RightToLeft(int32_t c) {
  return (c >= 0x0590 && c <= 0x08FF) || (c >= 0xFB1D && c <= 0xFDFF) ||
         (c >= 0xFE70 && c <= 0xFEFF) || (c >= 0x10800 && c <= 0x10FFF) ||
         (c >= 0x1E800 && c <= 0x1EFFF);
}

}  // namespace

bool IsAbbreviationTableHeader(const std::vector<std::string>& cells) {
  if (cells.size() < 2) return false;
  return OneOf(HeaderWord(cells[0]), {"abbreviation", "abbreviations", "acronym", "acronyms",
                                      "abbrev.", "abbrev", "abbrevs.", "term", "terms"}) &&
         OneOf(HeaderWord(cells[1]), {"meaning", "meanings", "definition", "definitions",
                                      "description", "descriptions", "text", "texts"});
}

long FindAbbreviationTable(host::Document& document) {
  host::Tables& tables = document.Tables();
  for (long t = 1, count = tables.Count(); t <= count; ++t) {
    if (IsAbbreviationTableHeader(HeaderCells(*tables.Item(t)))) return t;
  }
  return 0;
}

std::vector<std::pair<long, long>> AbbreviationTableRanges(host::Document& document) {
  std::vector<std::pair<long, long>> ranges;
  host::Tables& tables = document.Tables();
  for (long t = 1, count = tables.Count(); t <= count; ++t) {
    std::unique_ptr<host::Table> table = tables.Item(t);
    if (!IsAbbreviationTableHeader(HeaderCells(*table))) continue;
    std::unique_ptr<host::Range> range = table->Range();
    ranges.emplace_back(range->Start(), range->End());
  }
  return ranges;
}

std::vector<library::OfferedEntry> ReadAbbreviationTable(host::Document& document, long index) {
  std::unique_ptr<host::Table> table = document.Tables().Item(index);
  std::vector<library::OfferedEntry> entries;
  for (long row = 2, rows = table->RowCount(); row <= rows; ++row) {
    std::vector<std::unique_ptr<host::Range>> cells = table->RowCells(row);
    library::OfferedEntry entry;
    entry.source = row;
    if (cells.size() < 2) {
      entry.abb = cells.empty() ? "" : CellText(*cells[0]);
      entry.refusal = "the row has one cell";
    } else {
      entry.abb = CellText(*cells[0]);
      entry.text = CellText(*cells[1]);
      entry.direction = DirectionOfText(entry.text);
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::string DirectionOfText(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    int32_t c = DecodeCodePoint(text, i);
    const bool digit =
        (c >= '0' && c <= '9') || (c >= 0x0660 && c <= 0x0669) || (c >= 0x06F0 && c <= 0x06F9);
    if (c < 0 || digit) continue;
    if (RightToLeft(c)) return "R";
    if (IsLetterOrDigit(c)) return "L";
  }
  return "L";
}

}  // namespace quillon::document
