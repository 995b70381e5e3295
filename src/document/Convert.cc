#include "document/Convert.h"

#include <algorithm>
#include <memory>
#include <optional>

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
  // Front to back, so each new field joins the end of the host's field list; every field
  // moves the text after it by the difference between its length and the text it replaced.
  // The placeholder insertion's entry number and the library's direction are looked up once
  // per entry, not once per use.
  host::Selection& selection = word.Selection();
  std::vector<std::optional<std::string>> placeholders(entries.size());
  std::vector<std::optional<std::string>> directions(entries.size());
  long shift = 0;
  for (const PlainUse& use : report.uses) {
    const library::AbbreviationEntry& entry = entries[use.entry];
    if (!wanted(entry.abb)) continue;
    std::optional<std::string>& placeholder = placeholders[use.entry];
    if (!placeholder) {
      placeholder = PlaceholderDisplay(entry.abb, library::EntryIdOf(entry.abb, entry.abbtext));
    }
    selection.SetRange(use.start + shift, use.end + shift);
    if (!PlaceField(word, entry.abb, entry.abbtext, *placeholder, &directions[use.entry])) {
      summary.failed = true;
      return summary;
    }
    shift = selection.End() - use.end;  // the insertion point stands just after the new field
    ++summary.converted;
  }
  if (!IsAbbreviationListPresent(word)) {
    long table = FindAbbreviationTable(word.ActiveDocument());
    if (table != 0) summary.markerPlaced = PlaceMarkerBeforeTable(word, table);
  }
  return summary;
}

}  // namespace quillon::document
