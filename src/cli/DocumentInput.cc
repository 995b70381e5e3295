#include "cli/DocumentInput.h"

#include <memory>
#include <vector>

#include "base/Utf8.h"
#include "cli/TextTable.h"

namespace quillon::cli {
namespace {

// The stretch a field takes: from its begin mark to its end mark, both included.
struct FieldSpan {
  long begin;
  long end;
};

std::vector<FieldSpan> FieldSpans(host::Document& document) {
  std::vector<FieldSpan> spans;
  for (const std::unique_ptr<host::Field>& field : document.Fields().Enumerate()) {
    spans.push_back({field->Code()->Start() - 1, field->Result()->End()});
  }
  return spans;
}

// Returns the outermost field in which an insertion at pos would land, or nullptr.
const FieldSpan* FieldHolding(const std::vector<FieldSpan>& spans, long pos) {
  for (const FieldSpan& span : spans) {
    if (span.begin < pos && pos <= span.end) return &span;
  }
  return nullptr;
}

}  // namespace

std::string SelectInsertionPlace(host::Application& word, const InsertionPlace& place,
                                 const std::string& documentName) {
  host::Document& document = word.ActiveDocument();
  host::Selection& selection = word.Selection();
  const std::vector<FieldSpan> spans = FieldSpans(document);
  if (place.at) {
    long pos = *place.at;
    // The last place an insertion point can take is before the final paragraph mark.
    long last = document.Range()->End() - 1;
    if (pos < 0 || pos > last) {
      return "position " + std::to_string(pos) + " is outside the document (0 to " +
             std::to_string(last) + ")";
    }
    if (FieldHolding(spans, pos) != nullptr) {
      return "position " + std::to_string(pos) + " lies inside a field";
    }
    selection.SetRange(pos, pos);
    return {};
  }
  const std::string& wanted = place.after ? *place.after : *place.replace;
  selection.SetRange(0, 0);
  host::Find& find = selection.Find();
  find.ClearFormatting();
  find.SetText(wanted);
  find.SetForward(true);
  find.SetWrap(host::wdFindStop);
  find.SetMatchCase(true);
  find.SetMatchWholeWord(false);
  bool insideOnly = false;
  while (find.Execute()) {
    const FieldSpan* field = FieldHolding(spans, selection.Start());
    if (field == nullptr) {
      if (place.after) selection.SetRange(selection.End(), selection.End());
      return {};
    }
    insideOnly = true;
    selection.SetRange(field->end + 1, field->end + 1);
  }
  selection.SetRange(0, 0);
  if (insideOnly) return JsonString(wanted) + " occurs in " + documentName + " only inside fields";
  return JsonString(wanted) + " not found in " + documentName;
}

std::string CheckUtf8Argument(const std::string& what, const std::string& value) {
  size_t invalid = FindInvalidUtf8(value);
  if (invalid == std::string::npos) return {};
  return what + " is not valid UTF-8 (byte " + std::to_string(invalid) + ")";
}

}  // namespace quillon::cli
