#include "document/Export.h"

#include <set>
#include <utility>

#include "addin/host/Application.h"
#include "addin/host/Platform.h"
#include "document/FieldFormat.h"
#include "library/AddinState.h"
#include "library/QueryLibrary.h"
#include "library/SQLlite.h"

namespace quillon::document {

using library::State;

ExportSummary ButtonExport_click(host::Application& word) {
  ExportSummary summary;
  if (State().LibraryPath.empty()) {
    host::MsgBox("Open or create a library first", host::MsgBoxButtons::kOkOnly,
                 host::MsgBoxIcon::kNone, State().AddinTitle);
    return summary;
  }
  summary.ran = true;
  // The entries met so far, as the duplicate check compares them.
  std::set<std::pair<std::string, std::string>> seen;
  host::Fields& fields = word.ActiveDocument().Fields();
  for (long i = 1, count = fields.Count(); i <= count; ++i) {
    std::unique_ptr<host::Field> field = fields.Item(i);
    FieldValues values;
    if (!ExtractFieldValues(field->Code()->Text(), values, field->Result()->Text())) continue;
    if (values.abbreviation.empty() || values.text.empty() || values.directionLetter.empty()) {
      continue;
    }
    if (!seen.emplace(library::Fold(values.abbreviation), library::Fold(values.text)).second) {
      continue;
    }
    switch (library::CheckAbbrevExistance_Add_todB(State().LibraryPath, values.abbreviation,
                                                   values.text, values.directionLetter, false)) {
      case library::AddOutcome::kAdded:
        ++summary.added;
        break;
      case library::AddOutcome::kDuplicate:
        ++summary.skipped;
        break;
      case library::AddOutcome::kRefused:
      case library::AddOutcome::kFailed:
        ++summary.failed;
        break;
    }
    // A library that stopped taking entries takes none of the rest either; saying that the
    // export went well would be wrong then.
    if (summary.failed > 0) return summary;
  }
  host::MsgBox("Abbreviations exported correctly to the open library", host::MsgBoxButtons::kOkOnly,
               host::MsgBoxIcon::kNone, State().AddinTitle);
  return summary;
}

}  // namespace quillon::document
