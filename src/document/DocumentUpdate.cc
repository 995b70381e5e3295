#include "document/DocumentUpdate.h"

#include <optional>

#include "addin/host/Application.h"
#include "addin/host/Platform.h"
#include "document/AbbreviationList.h"
#include "document/FieldFormat.h"
#include "document/Insertion.h"
#include "library/AddinState.h"
#include "library/QueryLibrary.h"
#include "library/SQLlite.h"

namespace quillon::document {
namespace {

using library::State;

// Reads field index and parses it; false for a field that is not an abbreviation field.
bool ReadField(host::Application& word, long index, FieldValues& values, std::string& result) {
  std::unique_ptr<host::Field> field = word.ActiveDocument().Fields().Item(index);
  result = field->Result()->Text();
  values = FieldValues();
  return ExtractFieldValues(field->Code()->Text(), values, result);
}

// The direction a field is written with: the library's for an abbreviation it holds, else
// the one the field's own code holds (so a field from another library keeps its direction).
struct FieldDirection {
  std::string letter;  // "L", "R", anything else or "" (no direction)
  std::string tag;     // what the code's direction tag is to read
  bool fromLibrary;
};

FieldDirection DirectionFor(const FieldValues& values) {
  std::optional<std::string> library = library::LibraryDirectionOf(values.abbreviation);
  if (library) return {*library, DirectionTag(*library), true};
  if (values.directionTag.empty()) return {"", "", false};
  return {values.directionLetter, values.directionTag, false};
}

// FormatFieldByPosition on a field already read and parsed.
int FormatParsedField(host::Application& word, bool first, host::Field& field,
                      const std::string& code, const std::string& result, const FieldValues& values,
                      const FieldDirection& direction) {
  const std::string& abb = values.abbreviation;

  std::string display;
  const bool unformatted = result.find_first_of("}#") != std::string::npos;
  if (!first) {
    if (!unformatted && result == abb) return 0;
    display = abb;
  } else if (unformatted || result == abb) {
    display = LongFormDisplay(abb, values.text, direction.letter == "L");
  } else {
    // A long form is shown: leave it while its direction matches.
    if (direction.letter == values.directionLetter) return 0;
    display = LongFormDisplay(abb, values.text, direction.letter == "L");
  }
  return RewriteAbbreviationField(word, field, code, abb, values.text, display, direction.tag) ? 1
                                                                                               : -1;
}

}  // namespace

int FormatFieldByPosition(host::Application& word, bool first, long index) {
  std::unique_ptr<host::Field> field = word.ActiveDocument().Fields().Item(index);
  const std::string code = field->Code()->Text();
  const std::string result = field->Result()->Text();
  FieldValues values;
  if (!ExtractFieldValues(code, values, result)) return 0;
  return FormatParsedField(word, first, *field, code, result, values, DirectionFor(values));
}

UpdateSummary UpdateDocument(host::Application& word, UpdateMode mode,
                             const WalkProgress& progress) {
  UpdateSummary summary;
  if (State().LibraryPath.empty()) {
    host::MsgBox("Open a database first", host::MsgBoxButtons::kOkOnly, host::MsgBoxIcon::kNone,
                 State().AddinTitle);
    return summary;
  }
  summary.ran = true;
  // The working table lives on the session's connection.
  library::LibrarySession session;
  library::DropWorkingTable();
  library::CreateWorkingTable();

  host::Fields& fields = word.ActiveDocument().Fields();
  const long count = fields.Count();
  summary.fields = count;
  FieldValues values;
  std::string code, result;
  for (long i = 1; i <= count; ++i) {
    std::unique_ptr<host::Field> field = fields.Item(i);
    code = field->Code()->Text();
    result = field->Result()->Text();
    values = FieldValues();
    if (ExtractFieldValues(code, values, result) && !values.abbreviation.empty()) {
      ++summary.abbreviationFields;
      const FieldDirection direction = DirectionFor(values);
      if (!direction.fromLibrary) ++summary.withoutLibraryEntry;
      int outcome = 0;
      if (!library::ListHas(values.abbreviation, values.text)) {
        if (mode == kUpdateFormat) {
          outcome = FormatParsedField(word, true, *field, code, result, values, direction);
          // A rewrite may have put a new field in the old one's place.
          if (outcome != 0) field = fields.Item(i);
        }
        field->Select();
        long page = word.Selection().Information(host::wdActiveEndPageNumber);
        library::AddToList(values.abbreviation, values.text, static_cast<int32_t>(page));
      } else if (mode == kUpdateFormat) {
        outcome = FormatParsedField(word, false, *field, code, result, values, direction);
      }
      if (outcome > 0) ++summary.rewritten;
      if (outcome < 0) ++summary.failures;
    }
    if (progress) progress(i, count);
  }
  return summary;
}

UpdateSummary ButtonUpdate_Click(host::Application& word, const WalkProgress& progress) {
  library::LibrarySession session;
  UpdateSummary summary = UpdateDocument(word, kUpdateFormat, progress);
  if (!State().LibraryPath.empty()) {
    library::DropWorkingTable();
    host::MsgBox("Abbrevations' formattings are updated according to their position in text",
                 host::MsgBoxButtons::kOkOnly, host::MsgBoxIcon::kNone, State().AddinTitle);
  }
  return summary;
}

long RenameEntryFields(host::Application& word, RenameMode mode, const std::string& oldAbb,
                       const std::string& oldText, const std::string& newAbb,
                       const std::string& newText) {
  long renamed = 0;
  if (mode == kRenameFields) {
    FieldValues values;
    std::string result;
    // The count is read again at every step: nothing here changes it, but the host decides.
    for (long i = 1; i <= word.ActiveDocument().Fields().Count(); ++i) {
      if (!ReadField(word, i, values, result)) continue;
      if (values.abbreviation == oldAbb && values.text == oldText) {
        word.ActiveDocument().Fields().Item(i)->Select();
        if (InsertPlaceholder(word, newAbb, newText)) ++renamed;
      }
    }
  }
  if (IsAbbreviationListPresent(word)) InsertAbbreviationList(word);
  return renamed;
}

long DeleteRemovedFields(host::Application& word, const std::string& abb, const std::string& text) {
  long removed = 0;
  FieldValues values;
  std::string result;
  // A deleted field moves the later ones down one index: stay on the same index then, so two
  // fields side by side are both turned into text.
  for (long i = 1; i <= word.ActiveDocument().Fields().Count();) {
    if (ReadField(word, i, values, result) && values.abbreviation == abb && values.text == text) {
      std::unique_ptr<host::Field> field = word.ActiveDocument().Fields().Item(i);
      field->Select();
      field->Delete();
      word.Selection().SetText(text);
      ++removed;
    } else {
      ++i;
    }
  }
  if (IsAbbreviationListPresent(word)) InsertAbbreviationList(word);
  return removed;
}

}  // namespace quillon::document
