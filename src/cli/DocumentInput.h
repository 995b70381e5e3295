// What the document commands take from the user, checked before the document changes: where
// `quillon insert` puts its field, and text that goes into the document.
#pragma once

#include <optional>
#include <string>

#include "addin/host/Application.h"

namespace quillon::cli {

// Where a field goes: a story position, after the first occurrence of a text, or in place of
// it (exactly one of the three).
struct InsertionPlace {
  std::optional<long> at;
  std::optional<std::string> after;
  std::optional<std::string> replace;
};

// Selects in the active document of word the place a new field goes: an insertion point at
// place.at, after the first occurrence of place.after, or the first occurrence of
// place.replace. Occurrences inside fields are passed over and a position inside a field is
// refused, since a field written into another's code or result breaks both. Returns "" when
// the place is selected, else the message saying why there is none (documentName names the
// document in it); the document is unchanged either way.
std::string SelectInsertionPlace(host::Application& word, const InsertionPlace& place,
                                 const std::string& documentName);

// Returns "" when value, given for what (a name the message uses), is valid UTF-8, else the
// message saying where it is not.
std::string CheckUtf8Argument(const std::string& what, const std::string& value);

}  // namespace quillon::cli
