#include "cli/DocumentJob.h"

#include "library/AddinState.h"
#include "wordhost/docx/DocxError.h"

namespace quillon::cli {

using library::State;

bool DocumentJob::Open() {
  library::ResetState();
  State().AddinTitle = library::kAddinTitle;
  State().LibraryPath = library_;
  // The table has to be there: every document routine reads it.
  if (library::QueryLibrary(library_, "select count(*) from abbreviations").Failed) {
    return false;
  }
  try {
    word_.SetDocument(docx::Document::Open(document_));
  } catch (const docx::DocxError& e) {
    context_.err << "quillon: cannot read " << document_ << ": " << e.what() << '\n';
    return false;
  }
  return true;
}

bool DocumentJob::Save() {
  docx::Document* document = word_.document();
  if (output_.empty() && !document->Modified()) return true;
  try {
    document->Save(output_);
    return true;
  } catch (const std::exception& e) {
    const std::string& target = output_.empty() ? document_ : output_;
    context_.err << "quillon: cannot write " << target << ": " << e.what() << '\n';
    return false;
  }
}

}  // namespace quillon::cli
