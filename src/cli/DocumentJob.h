// One document command's surroundings: the library opened as the manager opens it (checked
// before anything is read), the document locked and loaded, the command run inside one library
// session, and the save at the end, after which the command's report is printed.
#pragma once

#include <memory>
#include <sstream>
#include <string>

#include "addin/host/HostError.h"
#include "base/FileGuard.h"
#include "cli/CommandContext.h"
#include "library/QueryLibrary.h"
#include "wordhost/docx/Application.h"
#include "wordhost/docx/DocxError.h"

namespace quillon::cli {

// The files a document command reads and writes.
struct DocumentTarget {
  bool writesInPlace() const { return output.empty(); }

  std::string document;
  std::string library;
  std::string output;
  double waitSeconds = 10;  // for another quillon command that is changing the document
};

class DocumentJob {
 public:
  // target and context must outlive the job.
  DocumentJob(const DocumentTarget& target, CommandContext& context)
      : target_(target), context_(context) {}

  // Opens the library and the document; a command that saves in place first locks the
  // document, so that two commands never change it at once. Returns false (having said why)
  // when either cannot be used; nothing is written then.
  bool Open(bool saves);

  host::Application& word() { return word_; }
  docx::Document& document() { return *word_.document(); }

  // Writes the document to -o, or in place when it changed. Returns false (having said why)
  // when the write failed; the original is untouched then.
  bool Save();

 private:
  const DocumentTarget& target_;
  CommandContext& context_;
  docx::Application word_;
  std::unique_ptr<FileGuard> guard_;
};

// Says how many abbreviation fields lie outside the main text, which the document routines
// leave as they are (they cover the main text, as the host's field collection does). Throws
// DocxError when a part cannot be read.
void ReportFieldsOutsideMainText(docx::Document& document, CommandContext& context);

// What a document command does besides running its routine.
struct JobKind {
  bool saves;
  bool walksFields;  // reports the abbreviation fields outside the main text
};

// Runs body on the opened job inside one library session, then saves. body returns whether
// the command did what was asked, and writes its report to the stream it is given: the report
// is printed only once the document is saved, and so are the routine's messages, so that no
// summary stands over a failed save.
// The first library statement that fails ends the command: its message is the only one, and
// neither the library nor the document is written. Returns the exit status.
template <typename Body>
int RunDocumentJob(const DocumentTarget& target, CommandContext& context, JobKind kind, Body body) {
  const bool save = kind.saves;
  DocumentJob job(target, context);
  if (!job.Open(save)) return kExitFailure;
  HeldMessages held(context.messages);
  std::ostringstream report;
  bool ok;
  try {
    library::LibrarySession session(library::StatementFailure::kStopCommand);
    ok = body(job.word(), report);
    if (ok) session.Commit();
  } catch (const library::LibraryError&) {
    return kExitFailure;  // shown where it failed
  } catch (const host::HostError& e) {
    held.Failed();
    context.err << "quillon: " << target.document << ": " << e.what() << '\n';
    return kExitFailure;  // a host failure ends the command; nothing is written
  }
  // A command that failed somewhere leaves the file as it was: its messages said why, and
  // running it again after the cause is mended starts from the same document.
  if (!ok) return kExitFailure;
  held.RoutineDone();
  if (kind.walksFields) {
    try {
      ReportFieldsOutsideMainText(job.document(), context);
    } catch (const docx::DocxError& e) {
      held.Failed();
      context.err << "quillon: cannot read " << target.document << ": " << e.what() << '\n';
      return kExitFailure;
    }
  }
  if (save && !job.Save()) {
    held.Failed();
    return kExitFailure;
  }
  context.out << report.str();
  return kExitSuccess;
}

}  // namespace quillon::cli
