#include "document/Convert.h"

#include <algorithm>
#include <memory>

#include "addin/host/Application.h"
#include "document/AbbreviationList.h"
#include "document/AbbreviationTable.h"
#include "document/Insertion.h"

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
  options.pages = false;
  ScanReport report = ScanDocument(word, entries, options);
  auto wanted = [&only](const std::string& abb) {
    return only.empty() || std::find(only.begin(), only.end(), abb) != only.end();
  };
  summary.kept = static_cast<long>(report.kept.size());
  host::Selection& selection = word.Selection();
  for (auto use = report.uses.rbegin(); use != report.uses.rend(); ++use) {
    const library::AbbreviationEntry& entry = entries[use->entry];
    if (!wanted(entry.abb)) continue;
    selection.SetRange(use->start, use->end);
    if (!InsertPlaceholder(word, entry.abb, entry.abbtext)) {
      summary.failed = true;
      return summary;
    }
    ++summary.converted;
  }
  if (!IsAbbreviationListPresent(word)) {
    long table = FindAbbreviationTable(word.ActiveDocument());
    if (table != 0) summary.markerPlaced = PlaceMarkerBeforeTable(word, table);
  }
  return summary;
}

}  // namespace quillon::document
