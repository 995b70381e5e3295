#include "document/AbbreviationTable.h"

#include <memory>

#include "addin/host/Document.h"
#include "base/Text.h"
#include "base/Utf8.h"
#include "document/ListHeader.h"

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

bool ReadsAsAbbreviationTable(host::Table& table) {
  return TableReadsAsList(table.Range()->Text());
}

bool RightToLeft(int32_t c) {
  return (c >= 0x0590 && c <= 0x08FF) || (c >= 0xFB1D && c <= 0xFDFF) ||
         (c >= 0xFE70 && c <= 0xFEFF) || (c >= 0x10800 && c <= 0x10FFF) ||
         (c >= 0x1E800 && c <= 0x1EFFF);
}

}  // namespace

long FindAbbreviationTable(host::Document& document) {
  host::Tables& tables = document.Tables();
  for (long t = 1, count = tables.Count(); t <= count; ++t) {
    if (ReadsAsAbbreviationTable(*tables.Item(t))) return t;
  }
  return 0;
}

std::vector<AbbreviationTableAt> AbbreviationTables(host::Document& document) {
  std::vector<AbbreviationTableAt> found;
  host::Tables& tables = document.Tables();
  for (long t = 1, count = tables.Count(); t <= count; ++t) {
    std::unique_ptr<host::Table> table = tables.Item(t);
    if (!ReadsAsAbbreviationTable(*table)) continue;
    std::unique_ptr<host::Range> range = table->Range();
    found.push_back({t, range->Start(), range->End()});
  }
  return found;
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
    int32_t c = DecodeUtf8At(text, i);
    const bool digit =
        (c >= '0' && c <= '9') || (c >= 0x0660 && c <= 0x0669) || (c >= 0x06F0 && c <= 0x06F9);
    if (c < 0 || digit) continue;
    if (RightToLeft(c)) return "R";
    if (IsLetterOrDigit(c)) return "L";
  }
  return "L";
}

}  // namespace quillon::document
