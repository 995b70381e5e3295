// The abbreviation field: a host field whose code carries one library entry in a small tag
// markup behind the keyword "ADDIN ABBREV", and whose result shows the form of the
// abbreviation the add-in chose for that place. PlaceField is the only writer and
// ExtractFieldValues the only reader of this format.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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

// Shows the message of a field write that failed at step (0 to 8).
void ShowPlaceFieldFailure(int step);

// Writes an abbreviation field for (abb, text) over the selection of the active document with
// display as its result, and leaves the insertion point just after it. A failing host call
// is shown to the user with the number of the step that failed; the steps done stay done.
// Returns false in that case.
bool PlaceField(host::Application& word, const std::string& abb, const std::string& text,
                const std::string& display);

// Brings field, whose code reads code, to show display for (abb, text), as PlaceField over the
// selected field would. When the code already reads as PlaceField would write it, only the
// result is written (the document ends the same, with far less work). Leaves the insertion
// point after the field. Returns false when the host failed (the user has been told).
bool RewriteAbbreviationField(host::Application& word, host::Field& field, std::string_view code,
                              const std::string& abb, const std::string& text,
                              const std::string& display);

// The values read back from a field.
struct FieldValues {
  std::string abbreviation;
  std::string text;
  std::string directionLetter;  // "R" or "L"
  int32_t entryNumber = -1;     // the number of a placeholder result, else -1
};

// Parses a field's code and result. Returns false for a field that is not an abbreviation
// field (no keyword, the list marker, a missing or misplaced tag), leaving values as they
// were. A missing or too short direction tag takes the open library's direction of the
// abbreviation ("L" when it has none).
bool ExtractFieldValues(std::string_view code, FieldValues& values, std::string_view resultText);

// Returns the leading number of text as a whole number (blanks skipped, halves to even), 0 when
// it does not begin with one.
int32_t LeadingNumber(std::string_view text);

}  // namespace quillon::document
