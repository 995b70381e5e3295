#include "library/EntryTransfer.h"

#include <string_view>

#include "base/Text.h"

namespace quillon::library {

std::optional<std::vector<AbbreviationEntry>> ReadAllEntries(const std::string& path) {
  std::shared_ptr<const LibraryTable> table =
      QueryTable(path,
                 "SELECT entry, direction, abb, abbtext FROM abbreviations "
                 "order by upper(abb) ASC, rowid ASC");
  if (table->failed) return std::nullopt;
  std::vector<AbbreviationEntry> entries;
  entries.reserve(static_cast<size_t>(table->rowCount));
  for (int32_t row = 0; row < table->rowCount; ++row) {
    entries.push_back(
        {table->Value(row, 0), table->Value(row, 1), table->Value(row, 2), table->Value(row, 3)});
  }
  return entries;
}

std::string NormalDirection(const std::string& direction) {
  std::string trimmed = TrimSpaces(direction);
  if (trimmed.empty() || trimmed == "l") return "L";
  if (trimmed == "r") return "R";
  return trimmed;
}

std::string EntryRefusal(const std::string& abb, const std::string& text,
                         const std::string& direction) {
  if (TrimSpaces(abb).empty()) return "the abbreviation is empty";
  if (TrimSpaces(text).empty()) return "the meaning is empty";
  for (const std::string* value : {&abb, &text}) {
    std::string tag = MarkupTagIn(*value);
    if (!tag.empty()) {
      return std::string(value == &abb ? "the abbreviation" : "the meaning") +
             " holds the field markup's tag " + tag;
    }
  }
  std::string normal = NormalDirection(direction);
  if (normal != "L" && normal != "R") return "the direction \"" + direction + "\" is not L or R";
  return {};
}

ImportReport ImportEntries(const std::string& path, const std::vector<OfferedEntry>& offered) {
  ImportReport report;
  std::vector<const OfferedEntry*> added;
  for (const OfferedEntry& entry : offered) {
    EntryOutcome outcome{entry.source, TrimSpaces(entry.abb), TrimSpaces(entry.text),
                         EntryOutcome::Kind::kRefused, entry.refusal};
    if (outcome.reason.empty())
      outcome.reason = EntryRefusal(entry.abb, entry.text, entry.direction);
    if (!outcome.reason.empty()) {
      ++report.refused;
      report.outcomes.push_back(std::move(outcome));
      continue;
    }
    std::string abb = entry.abb, text = entry.text;
    switch (
        CheckAbbrevExistance_Add_todB(path, abb, text, NormalDirection(entry.direction), false)) {
      case AddOutcome::kAdded:
        outcome.kind = EntryOutcome::Kind::kAdded;
        ++report.added;
        added.push_back(&entry);
        break;
      case AddOutcome::kDuplicate:
        outcome.kind = EntryOutcome::Kind::kPresent;
        ++report.present;
        break;
      case AddOutcome::kRefused:  // the checks above already refuse what add refuses
        outcome.reason = "the library refuses the entry";
        ++report.refused;
        break;
      case AddOutcome::kFailed:
        // All or nothing: take out what this import put in.
        for (const OfferedEntry* done : added)
          DeleteAbbreviation(path, done->abb, TrimSpaces(done->text));
        report.failed = true;
        report.added = 0;
        return report;
    }
    report.outcomes.push_back(std::move(outcome));
  }
  return report;
}

}  // namespace quillon::library
