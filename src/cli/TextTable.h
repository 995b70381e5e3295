// Plain-text and JSON rendering of tabular command output.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::cli {

// Writes rows under header as columns padded to their widest cell (in terminal columns, so
// wide characters line up), two blanks apart; the last column is not padded.
void WriteTextTable(std::ostream& out, const std::vector<std::string>& header,
                    const std::vector<std::vector<std::string>>& rows);

// Returns the count followed by one (for a count of 1) or many: "1 entry", "3 entries".
std::string Counted(long count, std::string_view one, std::string_view many);

// Returns text as a JSON string literal, quotes included.
std::string JsonString(std::string_view text);

}  // namespace quillon::cli
