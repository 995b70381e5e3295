#include "document/FieldFormat.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "addin/host/Application.h"
#include "addin/host/HostError.h"
#include "addin/host/Platform.h"
#include "base/Text.h"
#include "base/Utf8.h"
#include "library/AddinState.h"
#include "library/LibraryError.h"
#include "library/SQLlite.h"

namespace quillon::document {
namespace {

// Cuts the value between the first open tag and the first close tag; false when either is
// missing or the close tag comes before the value starts.
bool CutTag(std::string_view code, std::string_view open, std::string_view close,
            std::string& value) {
  size_t start = FindIgnoringAsciiCase(code, open);
  size_t end = FindIgnoringAsciiCase(code, close);
  if (start == std::string_view::npos || end == std::string_view::npos) return false;
  start += open.size();
  if (end < start) return false;
  value.assign(code.substr(start, end - start));
  return true;
}

// The first character of text (a whole UTF-8 sequence).
std::string FirstCharacter(std::string_view text) {
  return std::string(text.substr(0, ByteOffsetOf(text, 1)));
}

constexpr const char* kPlaceFieldFailure =
    "An error occured with error ID= {step}.\rWe are sorry for this error, if Winword crashes "
    "continuously,\rDelete normal.dot file located in \\Application Data\\microsoft\\templates";

}  // namespace

std::string DirectionTag(std::string_view libraryDirection) {
  if (libraryDirection == "R") return "RTL";
  if (libraryDirection == "L") return "LTR";
  return {};
}

std::string AbbreviationMarkup(std::string_view abb, std::string_view text,
                               std::string_view directionTag) {
  std::string markup;
  markup.reserve(abb.size() + text.size() + directionTag.size() + 50);
  markup.append("<ABB>").append(abb).append("</ABB><Text>").append(text);
  markup.append("</Text><Direction>").append(directionTag).append("</Direction></ABBREV>");
  return markup;
}

std::string PlaceholderDisplay(std::string_view abb, std::string_view entryNumber) {
  return "{" + std::string(abb) + "-#" + std::string(entryNumber) + "}";
}

std::string LongFormDisplay(std::string_view abb, std::string_view text, bool leftToRight) {
  if (leftToRight) return std::string(text) + " (" + std::string(abb) + ")";
  return "(" + std::string(abb) + ") " + std::string(text);
}

void ReplaceQuoteKeyword(host::Application& word, host::Field& field) {
  // Select the keyword alone, so the replace cannot reach a "quote" inside the markup.
  std::unique_ptr<host::Range> code = field.Code();
  const std::string codeText = code->Text();
  size_t keyword = codeText.find("QUOTE");
  if (keyword == std::string::npos) {
    throw host::HostError(host::kErrCommandFailed, "the new field has no QUOTE keyword");
  }
  long start = code->Start() + static_cast<long>(keyword);
  word.ActiveDocument().Range(start, start + 5)->Select();

  host::Find& find = word.Selection().Find();
  find.ClearFormatting();
  find.Replacement().ClearFormatting();
  find.SetText("QUOTE");
  find.Replacement().SetText("Addin ABBREV");
  find.SetForward(false);
  find.SetWrap(host::wdFindContinue);
  find.SetFormat(false);
  find.SetMatchCase(false);
  find.SetMatchWholeWord(false);
  find.SetMatchKashida(false);
  find.SetMatchDiacritics(false);
  find.SetMatchAlefHamza(false);
  find.SetMatchControl(false);
  find.SetMatchWildcards(false);
  find.SetMatchSoundsLike(false);
  find.SetMatchAllWordForms(false);
  host::FindExecuteArgs args;
  args.replace = host::wdReplaceOne;
  find.Execute(args);
}

void ShowPlaceFieldFailure(PlaceFieldStep step) {
  std::string message = kPlaceFieldFailure;
  message.replace(message.find("{step}"), 6, std::to_string(static_cast<int>(step)));
  host::MsgBox(message);
}

namespace {

// Returns whether (abb, text) can be carried by a field code, having told the user why not:
// a value holding a tag of the markup would end its own tag early.
bool WritableEntry(const std::string& abb, const std::string& text) {
  std::string tag = library::MarkupTagIn(abb);
  if (tag.empty()) tag = library::MarkupTagIn(text);
  if (tag.empty()) return true;
  host::MsgBox("Skipped the entry \"" + abb + "\" meaning \"" + text + "\": it holds \"" + tag +
                   "\", a tag of the abbreviation field's markup",
               host::MsgBoxButtons::kOkOnly, host::MsgBoxIcon::kNone, library::State().AddinTitle);
  return false;
}

// Writes the field over the selection: PlaceField's steps 1 to 8 with markup ready.
bool WriteField(host::Application& word, const std::string& markup, const std::string& display) {
  PlaceFieldStep step = PlaceFieldStep::kAddQuoteField;
  try {
    host::Selection& selection = word.Selection();
    std::unique_ptr<host::Field> field =
        selection.Fields().Add(*selection.Range(), host::wdFieldQuote, markup, false);
    step = PlaceFieldStep::kShowCodes;
    field->Select();
    field->SetShowCodes(true);
    // Steps 3 to 6: the keyword rewrite, then the result.
    step = PlaceFieldStep::kClearFindFormatting;
    ReplaceQuoteKeyword(word, *field);
    step = PlaceFieldStep::kReplaceKeywordAndWriteResult;
    field->Result()->SetText(display);
    step = PlaceFieldStep::kHideCodes;
    field->SetShowCodes(false);
    step = PlaceFieldStep::kMoveAfterField;
    field->Select();
    word.Selection().MoveRight(host::wdCharacter, 1);
    return true;
  } catch (const library::LibraryError&) {
    throw;
  } catch (const std::exception&) {
    ShowPlaceFieldFailure(step);
    return false;
  }
}

}  // namespace

std::optional<std::string> AbbreviationFieldCode(const std::string& abb, const std::string& text,
                                                 std::string_view directionTag) {
  if (!WritableEntry(abb, text)) return std::nullopt;
  // The code the keyword rewrite leaves, less the blanks around it: "ADDIN ABBREV " + markup.
  return "ADDIN ABBREV " + AbbreviationMarkup(abb, text, directionTag);
}

std::optional<long> PlaceFieldsOver(host::Application& word,
                                    std::span<const host::NewField> fields) {
  try {
    return word.ActiveDocument().AddFields(fields);
  } catch (const std::exception&) {
    ShowPlaceFieldFailure(PlaceFieldStep::kAddQuoteField);
    return std::nullopt;
  }
}

bool RewriteAbbreviationField(host::Application& word, host::Field& field, std::string_view code,
                              const std::string& abb, const std::string& text,
                              const std::string& display, const std::string& directionTag) {
  if (!WritableEntry(abb, text)) return false;
  std::string markup = AbbreviationMarkup(abb, text, directionTag);
  // The code PlaceField writes: " ADDIN ABBREV " + markup + " ".
  constexpr std::string_view kKeyword = " ADDIN ABBREV ";
  const bool codeIsRight = code.size() == kKeyword.size() + markup.size() + 1 &&
                           code.starts_with(kKeyword) && code.ends_with(' ') &&
                           code.substr(kKeyword.size(), markup.size()) == markup;
  if (!codeIsRight) {
    field.Select();
    return WriteField(word, markup, display);
  }
  PlaceFieldStep step = PlaceFieldStep::kReplaceKeywordAndWriteResult;
  try {
    field.Result()->SetText(display);
    step = PlaceFieldStep::kMoveAfterField;
    field.Select();
    word.Selection().MoveRight(host::wdCharacter, 1);
    return true;
  } catch (const std::exception&) {
    ShowPlaceFieldFailure(step);
    return false;
  }
}

bool PlaceField(host::Application& word, const std::string& abb, const std::string& text,
                const std::string& display) {
  std::optional<std::string> direction;
  return PlaceField(word, abb, text, display, &direction);
}

bool PlaceField(host::Application& word, const std::string& abb, const std::string& text,
                const std::string& display, std::optional<std::string>* direction) {
  if (!WritableEntry(abb, text)) return false;
  std::string markup;
  try {
    if (!*direction) *direction = library::DirectionOf(abb);
    markup = AbbreviationMarkup(abb, text, DirectionTag(**direction));
  } catch (const library::LibraryError&) {
    throw;
  } catch (const std::exception&) {
    ShowPlaceFieldFailure(PlaceFieldStep::kLookUpDirection);
    return false;
  }
  return WriteField(word, markup, display);
}

int32_t LeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  }
  std::string number(text.substr(start, i - start));
  double value = std::strtod(number.c_str(), nullptr);
  value = std::nearbyint(value);
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

bool ExtractFieldValues(std::string_view code, FieldValues& values, std::string_view resultText) {
  if (code.find(kListMarker) != std::string_view::npos) return false;
  if (code.find("ADDIN ABBREV") == std::string_view::npos &&
      code.find("QUOTE ABBREV") == std::string_view::npos) {
    return false;
  }
  std::string abbreviation, text;
  if (!CutTag(code, "<ABB>", "</ABB>", abbreviation) || !CutTag(code, "<TEXT>", "</TEXT>", text)) {
    return false;  // a damaged markup is not an abbreviation field
  }
  values.abbreviation = std::move(abbreviation);
  values.text = std::move(text);

  std::string tag;
  if (CutTag(code, "<DIRECTION>", "</DIRECTION>", tag) && CodePointCount(tag) >= 2) {
    values.directionLetter = FirstCharacter(tag);
    values.directionTag = std::move(tag);
  } else {
    values.directionTag.clear();
    std::string library = library::DirectionOf(values.abbreviation);
    values.directionLetter = library.empty() ? "L" : FirstCharacter(library);
  }

  size_t hash = resultText.find("-#");
  size_t brace = resultText.find('}');
  // As 1-based positions: the number starts after "-#" (at 2 when it is missing) and ends
  // before "}"; an empty stretch reads as 0.
  long start = (hash == std::string_view::npos ? 0 : static_cast<long>(hash) + 1) + 2;
  long end = brace == std::string_view::npos ? -1 : static_cast<long>(brace);
  if (start <= end + 1) {
    values.entryNumber = LeadingNumber(
        resultText.substr(static_cast<size_t>(start - 1), static_cast<size_t>(end - start + 1)));
  } else {
    values.entryNumber = -1;
  }
  return true;
}

}  // namespace quillon::document
