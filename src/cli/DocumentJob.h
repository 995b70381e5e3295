// One document command's surroundings: the library opened as the manager opens it (checked
// before anything is read), the document loaded, the command run inside one library session,
// and the save at the end.
#pragma once

#include <string>

#include "addin/host/HostError.h"
#include "cli/CommandContext.h"
#include "library/QueryLibrary.h"
#include "wordhost/docx/Application.h"

namespace quillon::cli {

class DocumentJob {
 public:
  // output: where Save writes ("" for the document itself). The strings and context must
  // outlive the job.
  DocumentJob(const std::string& document, const std::string& library, const std::string& output,
              CommandContext& context)
      : document_(document), library_(library), output_(output), context_(context) {}

  // Opens the library and the document. Returns false (having said why) when either cannot
  // be used; nothing is written then.
  bool Open();

  host::Application& word() { return word_; }

  // Writes the document to the output, or in place when it changed. Returns false (having said
  // why) when the write failed; the original is untouched then.
  bool Save();

 private:
  const std::string& document_;
  const std::string& library_;
  const std::string& output_;
  CommandContext& context_;
  docx::Application word_;
};

// Runs body on the opened job of options (its document, library and output) inside one
// library session, then saves when save is set. body returns whether the command did what was
// asked; when it did not, or a host call failed, nothing is written. Returns the exit status.
template <typename Options, typename Body>
int RunDocumentJob(const Options& options, CommandContext& context, bool save, Body body) {
  DocumentJob job(options.document, options.library, options.output, context);
  if (!job.Open()) return kExitFailure;
  bool ok;
  try {
    library::LibrarySession session;
    ok = body(job.word());
  } catch (const host::HostError& e) {
    context.err << "quillon: " << options.document << ": " << e.what() << '\n';
    return kExitFailure;  // a host failure ends the command; nothing is written
  }
  // A command that failed somewhere leaves the file as it was: its messages said why, and
  // running it again after the cause is mended starts from the same document.
  if (!ok) return kExitFailure;
  if (save && !job.Save()) return kExitFailure;
  return kExitSuccess;
}

}  // namespace quillon::cli
