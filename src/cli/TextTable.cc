#include "cli/TextTable.h"

#include <algorithm>
#include <cstdio>

#include "base/Text.h"

namespace quillon::cli {

void WriteTextTable(std::ostream& out, const std::vector<std::string>& header,
                    const std::vector<std::vector<std::string>>& rows) {
  std::vector<size_t> widths(header.size(), 0);
  auto measure = [&](const std::vector<std::string>& row) {
    for (size_t c = 0; c < row.size() && c < widths.size(); ++c) {
      widths[c] = std::max(widths[c], DisplayWidth(row[c]));
    }
  };
  measure(header);
  for (const auto& row : rows) measure(row);
  auto write = [&](const std::vector<std::string>& row) {
    for (size_t c = 0; c < row.size() && c < widths.size(); ++c) {
      out << row[c];
      if (c + 1 < row.size()) out << std::string(widths[c] - DisplayWidth(row[c]) + 2, ' ');
    }
    out << '\n';
  };
  write(header);
  for (const auto& row : rows) write(row);
}

std::string Counted(long count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

std::string JsonString(std::string_view text) {
  std::string json = "\"";
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"':
        json += "\\\"";
        break;
      case '\\':
        json += "\\\\";
        break;
      case '\n':
        json += "\\n";
        break;
      case '\r':
        json += "\\r";
        break;
      case '\t':
        json += "\\t";
        break;
      default:
        if (c < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          json += escaped;
        } else {
          json += ch;
        }
    }
  }
  return json + "\"";
}

}  // namespace quillon::cli
