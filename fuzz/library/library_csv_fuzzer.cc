// Feeds arbitrary bytes to the library CSV reader: it either reads records or names the line
// of an error, never crashes; what it reads, written out again, reads back as the same
// records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "library/LibraryCsv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quillon::library;
  std::string text(reinterpret_cast<const char*>(data), size);
  LibraryCsvRecords records = ReadLibraryCsv(text);
  if (!records.error.empty()) {
    if (records.errorLine < 1 || !records.entries.empty()) std::abort();
    return 0;
  }
  std::vector<AbbreviationEntry> entries;
  for (const OfferedEntry& e : records.entries) {
    if (e.source < 2) std::abort();  // the header holds line 1
    entries.push_back({"", e.direction, e.abb, e.text});
  }
  LibraryCsvRecords again = ReadLibraryCsv(WriteLibraryCsv(entries));
  if (!again.error.empty() || again.entries.size() != entries.size()) std::abort();
  for (size_t i = 0; i < entries.size(); ++i) {
    if (again.entries[i].direction != entries[i].direction ||
        again.entries[i].abb != entries[i].abb || again.entries[i].text != entries[i].abbtext) {
      std::abort();
    }
  }
  return 0;
}
