// Entries moved into and out of a library in bulk: all of them read at once, and many added
// with the duplicate rule of a single add, each one refused with its reason.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "library/SQLlite.h"

namespace quillon::library {

// Returns every entry of the library at path in the order of the capitalised abbreviation, rows
// of one abbreviation in the order they were stored (so the first of them is the one a look-up
// by abbreviation finds), or nullopt when the library cannot be read (the user has been told
// why).
std::optional<std::vector<AbbreviationEntry>> ReadAllEntries(const std::string& path);

// Returns the direction stored for a direction as people write it: "L" for "l", "L" or
// nothing, "R" for "r" or "R" (surrounding blanks ignored); any other text as it stands.
std::string NormalDirection(const std::string& direction);

// Returns why an entry cannot go into a library, or "" when it can: an abbreviation or meaning
// that is empty without its surrounding blanks, a value holding one of the field markup's tags
// (in any case), a direction other than "L" or "R" (after NormalDirection).
std::string EntryRefusal(const std::string& abb, const std::string& text,
                         const std::string& direction);

// One entry offered for import, named by where it came from (a line or row number). A
// refusal set by the caller (a row that could not be read) refuses it with that reason.
struct OfferedEntry {
  long source = 0;
  std::string direction;
  std::string abb;
  std::string text;
  std::string refusal;
};

struct EntryOutcome {
  enum class Kind { kAdded, kPresent, kRefused };
  long source = 0;
  std::string abb;
  std::string text;
  Kind kind = Kind::kRefused;
  std::string reason;  // kRefused: why
};

struct ImportReport {
  std::vector<EntryOutcome> outcomes;  // one per offered entry, in order
  long added = 0;
  long present = 0;
  long refused = 0;
  // True when the library did not take an entry (the user has been told why): the import
  // stopped there and the entries it had added were taken out again.
  bool failed = false;
};

// Adds the offered entries to the library at path in order: refused ones (see EntryRefusal)
// are skipped with their reasons, those already present by the duplicate rule of add
// (trimmed, case-insensitive, earlier offered ones included) are counted as present, the
// others are added with their normal direction.
ImportReport ImportEntries(const std::string& path, const std::vector<OfferedEntry>& offered);

}  // namespace quillon::library
