#include "document/Convert.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "addin/host/Application.h"
#include "document/AbbreviationList.h"
#include "document/AbbreviationTable.h"
#include "document/FieldFormat.h"

namespace quillon::document {
namespace {

// Places the list marker at the end of the paragraph right before the hand-made table.
// Returns false when a paragraph does not stand right before it (the table opens the document
// or follows another table).
bool PlaceMarkerBeforeTable(host::Application& word, long table) {
  host::Document& document = word.ActiveDocument();
  long start = document.Tables().Item(table)->Range()->Start();
  if (start == 0 || document.Range(start - 1, start)->StoryText() != "\r") return false;
  PlaceListMarker(word, document.Fields(), *document.Range(start - 1, start - 1));
  return true;
}

}  // namespace

ConvertSummary ConvertDocument(host::Application& word,
                               const std::vector<library::AbbreviationEntry>& entries,
                               const std::vector<std::string>& only) {
  ConvertSummary summary;
  ScanOptions options;
  options.details = false;
  ScanReport report = ScanDocument(word, entries, options);
  auto wanted = [&only](const std::string& abb) {
    return only.empty() || std::find(only.begin(), only.end(), abb) != only.end();
  };
  summary.kept = static_cast<long>(report.kept.size());
  // Asked before the new fields are in: none of them is a list marker, and the look walks
  // every field.
  const bool listPresent = IsAbbreviationListPresent(word);
  // An entry's number and direction come from the entries read already, as the library's
  // look-ups would give them: the first row with that abbreviation and meaning, and the first
  // row with that abbreviation. Its code and placeholder are made once, for all its uses.
  struct EntryField {
    std::optional<std::string> code;
    std::string display;
  };
  std::vector<std::optional<EntryField>> entryFields(entries.size());
  std::unordered_map<std::string_view, size_t> firstWithAbb;
  std::map<std::pair<std::string_view, std::string_view>, size_t> firstWithEntry;
  for (size_t i = 0; i < entries.size(); ++i) {
    firstWithAbb.try_emplace(entries[i].abb, i);
    firstWithEntry.try_emplace(
        std::pair<std::string_view, std::string_view>(entries[i].abb, entries[i].abbtext), i);
  }
  std::vector<host::NewField> fields;
  fields.reserve(report.uses.size());
  for (const PlainUse& use : report.uses) {
    const library::AbbreviationEntry& entry = entries[use.entry];
    if (!wanted(entry.abb)) continue;
    std::optional<EntryField>& made = entryFields[use.entry];
    if (!made) {
      const library::AbbreviationEntry& numbered =
          entries[firstWithEntry.at({entry.abb, entry.abbtext})];
      const library::AbbreviationEntry& directed = entries[firstWithAbb.at(entry.abb)];
      made = EntryField{
          AbbreviationFieldCode(entry.abb, entry.abbtext, DirectionTag(directed.direction)),
          PlaceholderDisplay(entry.abb, numbered.entry)};
    }
    if (!made->code) {
      summary.failed = true;
      return summary;
    }
    fields.push_back(host::NewField{use.start, use.end, *made->code, made->display});
  }
  // One call for all: a host may write a batch far faster than field by field.
  std::optional<long> after = -1;
  if (!fields.empty()) after = PlaceFieldsOver(word, fields);
  if (!after) {
    summary.failed = true;
    return summary;
  }
  summary.converted = static_cast<long>(fields.size());
  // The insertion point stands just after the last new field, as after the insertion.
  if (*after >= 0) word.Selection().SetRange(*after, *after);
  if (!listPresent) {
    // The new fields added no table: the scan's first abbreviation table is the hand-made one.
    if (!report.tables.empty()) {
      summary.markerPlaced = PlaceMarkerBeforeTable(word, report.tables.front().index);
    }
  }
  return summary;
}

}  // namespace quillon::document
