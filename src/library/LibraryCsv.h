// Libraries as CSV text (RFC 4180, UTF-8), for spreadsheets: a header naming the columns
// direction, abbreviation and meaning, then one record per entry.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "library/EntryTransfer.h"
#include "library/SQLlite.h"

namespace quillon::library {

inline constexpr std::string_view kLibraryCsvHeader = "direction,abbreviation,meaning";

// Returns entries as CSV: the header, then one record per entry in the given order, each value
// quoted (quotes doubled), every line ended by CR LF.
std::string WriteLibraryCsv(const std::vector<AbbreviationEntry>& entries);

// What ReadLibraryCsv found: the records as entries, each with the line it starts on, or the
// error that keeps the whole text from being read.
struct LibraryCsvRecords {
  std::vector<OfferedEntry> entries;
  long errorLine = 0;  // 1-based line of the error; 0 when there is none
  std::string error;   // "" when the text was read
};

// Reads CSV text: its header names the three columns (in any order and case; a UTF-8 byte
// order mark is skipped) and every record has exactly three fields; empty lines are skipped
// and values come as written (unquoted ones without surrounding blanks). A wrong or missing
// header, a record of another field count, bad quoting or bytes that are not UTF-8 give no
// entries and the error with its line.
LibraryCsvRecords ReadLibraryCsv(std::string_view text);

}  // namespace quillon::library
