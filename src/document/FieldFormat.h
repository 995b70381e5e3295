// The abbreviation field: a host field whose code carries one library entry in a small tag
// markup behind the keyword "ADDIN ABBREV", and whose result shows the form of the
// abbreviation the add-in chose for that place. PlaceField is the only writer and
// ExtractFieldValues the only reader of this format.
//
// Error rule: the writers (PlaceField, PlaceFieldsOver, RewriteAbbreviationField) show a failing
// host call with the number of its step and return false, and refuse an entry whose values hold a
// markup tag the same way before writing anything; a failing library statement is not theirs to
// show and passes through as LibraryError. ReplaceQuoteKeyword throws HostError; the rest cannot
// fail.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "addin/host/Document.h"

namespace quillon::host {
class Application;
class Field;
}  // namespace quillon::host

namespace quillon::document {

// The markup of the list marker field.
inline constexpr std::string_view kListMarker = "<Abbreviation List>";

// Returns the direction tag for a library direction: "R" gives "RTL", "L" gives "LTR",
// anything else "".
std::string DirectionTag(std::string_view libraryDirection);

// Returns the code markup of an entry: "<ABB>abb</ABB><Text>text</Text><Direction>tag
// </Direction></ABBREV>" (no blanks, nothing escaped).
std::string AbbreviationMarkup(std::string_view abb, std::string_view text,
                               std::string_view directionTag);

// The displayed forms of an abbreviation.
std::string PlaceholderDisplay(std::string_view abb, std::string_view entryNumber);
std::string LongFormDisplay(std::string_view abb, std::string_view text, bool leftToRight);

// Rewrites the freshly added field's QUOTE keyword as "ADDIN ABBREV", touching nothing but the
// keyword, whatever the markup holds. Leaves the selection on the rewritten keyword.
// Throws HostError when a host call fails.
void ReplaceQuoteKeyword(host::Application& word, host::Field& field);

// The steps of a field write, numbered as the failure message shows them.
enum class PlaceFieldStep : int {
  kLookUpDirection = 0,
  kAddQuoteField = 1,
  kShowCodes = 2,
  kClearFindFormatting = 3,
  kClearReplacementFormatting = 4,
  kSetUpFind = 5,
  kReplaceKeywordAndWriteResult = 6,
  kHideCodes = 7,
  kMoveAfterField = 8,
};

// Shows the message of a field write that failed at step.
void ShowPlaceFieldFailure(PlaceFieldStep step);

// Writes an abbreviation field for (abb, text) over the selection of the active document with
// display as its result and the direction tag of the open library's direction for abb, and
// leaves the insertion point just after it. Returns false when the host failed (the steps
// done stay done) or the entry was refused; the user has been told.
bool PlaceField(host::Application& word, const std::string& abb, const std::string& text,
                const std::string& display);

// PlaceField for a batch of fields: the library's direction for abb is looked up only when
// *direction is empty, and kept there for the next field of the same entry. REQUIRES: the
// library does not change while *direction is kept.
bool PlaceField(host::Application& word, const std::string& abb, const std::string& text,
                const std::string& display, std::optional<std::string>* direction);

// Returns the code PlaceField writes for (abb, text) with directionTag, for a batch of fields
// (host::Document::AddFields), or nullopt when the entry is refused (the user has been told).
std::optional<std::string> AbbreviationFieldCode(const std::string& abb, const std::string& text,
                                                 std::string_view directionTag);

// Writes fields (codes from AbbreviationFieldCode) into the active document in one host call.
// The selection is left where it was. Returns the position just after the last field's end
// mark, or nullopt when the host failed (the user has been told).
std::optional<long> PlaceFieldsOver(host::Application& word,
                                    std::span<const host::NewField> fields);

// Brings field, whose code reads code, to show display for (abb, text) with directionTag in its
// code, as PlaceField over the selected field would. When the code already reads so, only the
// result is written (the document ends the same, with far less work). Leaves the insertion
// point after the field. Returns false when the host failed or the entry was refused (the user
// has been told).
bool RewriteAbbreviationField(host::Application& word, host::Field& field, std::string_view code,
                              const std::string& abb, const std::string& text,
                              const std::string& display, const std::string& directionTag);

// The values read back from a field.
struct FieldValues {
  std::string abbreviation;
  std::string text;
  std::string directionLetter;  // "R" or "L"
  int32_t entryNumber = -1;     // the number of a placeholder result, else -1
  // The direction tag's content as the code holds it, or "" when the tag is missing or
  // shorter than two characters.
  std::string directionTag;
};

// Parses a field's code and result. Returns false for a field that is not an abbreviation
// field (no keyword, the list marker, a missing or misplaced tag), leaving values as they
// were. The direction letter is the first character of the direction tag; a missing or too
// short tag takes the open library's direction of the abbreviation ("L" when it has none).
bool ExtractFieldValues(std::string_view code, FieldValues& values, std::string_view resultText);

// Returns the leading number of text as a whole number (blanks skipped, halves to even), 0 when
// it does not begin with one.
int32_t LeadingNumber(std::string_view text);

}  // namespace quillon::document
