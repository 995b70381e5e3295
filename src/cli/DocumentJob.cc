#include "cli/DocumentJob.h"

#include <chrono>
#include <map>

#include "document/FieldFormat.h"
#include "library/AddinState.h"
#include "library/SQLlite.h"
#include "wordhost/docx/DocxError.h"
#include "wordhost/docx/OtherStories.h"

namespace quillon::cli {

using library::State;

bool DocumentJob::Open(bool saves) {
  library::ResetState();
  State().AddinTitle = library::kAddinTitle;
  State().LibraryPath = target_.library;
  // The table has to be there with its columns: every document routine reads them.
  if (!library::CheckAbbreviationsTable(target_.library)) return false;
  try {
    if (saves && target_.writesInPlace()) {
      auto wait = std::chrono::milliseconds(static_cast<long>(target_.waitSeconds * 1000));
      guard_ = std::make_unique<FileGuard>(target_.document, wait);
    }
    // A document that cannot be written is refused before any work is done.
    if (saves) CheckReplaceable(target_.writesInPlace() ? target_.document : target_.output);
  } catch (const FileError& e) {
    context_.err << "quillon: " << e.what() << '\n';
    return false;
  }
  try {
    word_.SetDocument(docx::Document::Open(target_.document));
  } catch (const docx::DocxError& e) {
    context_.err << "quillon: cannot read " << target_.document << ": " << e.what() << '\n';
    return false;
  }
  return true;
}

bool DocumentJob::Save() {
  docx::Document* document = word_.document();
  if (target_.writesInPlace() && !document->Modified()) return true;
  try {
    if (guard_) guard_->CheckUnchanged();
    document->Save(target_.output);
    return true;
  } catch (const std::exception& e) {
    context_.err << "quillon: " << e.what() << '\n';
    return false;
  }
}

void ReportFieldsOutsideMainText(docx::Document& document, CommandContext& context) {
  std::map<std::string, long> byStory;
  long count = 0;
  for (const docx::OtherStoryField& field : docx::OtherStoryFields(document)) {
    document::FieldValues values;
    if (!document::ExtractFieldValues(field.code, values, field.result)) continue;
    ++byStory[field.story];
    ++count;
  }
  if (count == 0) return;
  context.err << "quillon: note: " << count << " abbreviation field" << (count == 1 ? "" : "s")
              << " outside the main text left as " << (count == 1 ? "it is" : "they are") << " (";
  const char* separator = "";
  for (const auto& [story, n] : byStory) {
    context.err << separator << story << ": " << n;
    separator = ", ";
  }
  context.err << "); only fields in the main text are updated and listed\n";
}

}  // namespace quillon::cli
