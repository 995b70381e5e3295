#include "cli/LibreOfficeEngine.h"

#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>

#include "addin/host/HostError.h"
#include "base/AtomicFile.h"
#include "base/FileGuard.h"
#include "cli/DocumentJob.h"
#include "hosts/libreoffice/LibreOfficeError.h"
#include "hosts/libreoffice/LibreOfficeSession.h"
#include "hosts/libreoffice/WriterHost.h"
#include "library/AddinState.h"
#include "library/LibraryError.h"
#include "library/SQLlite.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxError.h"

namespace quillon::cli {

int RunOnLibreOffice(const EngineJob& job, CommandContext& context,
                     const std::function<bool(host::Application&, std::ostream&)>& body) {
  library::ResetState();
  library::State().AddinTitle = library::kAddinTitle;
  library::State().LibraryPath = job.library;
  // The table has to be there with its columns: every document routine reads them.
  if (!library::CheckAbbreviationsTable(job.library)) return kExitFailure;
  try {
    // What Quillon's own model refuses (not a .docx, a damaged one) LibreOffice would import
    // as something else: refuse it the same way.
    docx::Package::FromFile(job.document).Read("[Content_Types].xml");
  } catch (const docx::DocxError& e) {
    context.err << "quillon: cannot read " << job.document << ": " << e.what() << '\n';
    return kExitFailure;
  }
  const std::string& target = job.output.empty() ? job.document : job.output;
  std::unique_ptr<FileGuard> guard;
  HeldMessages held(context.messages);
  std::ostringstream report;
  std::optional<libreoffice::LibreOfficeSession> session;
  // A soffice gone from under the command shows as a broken connection; how it ended says why.
  auto reportSofficeEnd = [&] {
    std::string how = session ? session->HowSofficeEnded() : "";
    if (!how.empty()) context.err << "quillon: " << how << '\n';
  };
  try {
    if (job.saves && job.output.empty())
      guard = std::make_unique<FileGuard>(job.document, job.wait);
    if (job.saves) CheckReplaceable(target);
    session.emplace();
    libreoffice::WriterApplication word(*session, job.document);
    bool ok;
    try {
      library::LibrarySession librarySession(library::StatementFailure::kStopCommand);
      ok = body(word, report);
      if (ok) librarySession.Commit();
    } catch (const library::LibraryError&) {
      return kExitFailure;  // shown where it failed
    } catch (const host::HostError& e) {
      held.Failed();
      context.err << "quillon: " << job.document << ": " << e.what() << '\n';
      reportSofficeEnd();
      return kExitFailure;
    }
    if (!ok) return kExitFailure;
    held.RoutineDone();
    if (job.walksFields) {
      // The routines leave the other stories alone, so the document as it was tells.
      try {
        ReportFieldsOutsideMainText(*docx::Document::Open(job.document), context);
      } catch (const docx::DocxError& e) {
        held.Failed();
        context.err << "quillon: cannot read " << job.document << ": " << e.what() << '\n';
        return kExitFailure;
      }
    }
    if (job.saves && (word.Modified() || !job.output.empty())) {
      std::string written = session->ScratchPath("written.docx");
      word.SaveAs(written);
      std::ifstream in(written, std::ios::binary);
      std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
      if (!in.good() && !in.eof()) throw FileError("cannot read back " + written);
      if (guard) guard->CheckUnchanged();
      WriteFileAtomically(target, bytes);
    }
    // Closing a long document costs about as much as saving it, for nothing: the session goes.
    session->StopAtOnce();
  } catch (const libreoffice::LibreOfficeError& e) {
    held.Failed();
    context.err << "quillon: LibreOffice: " << e.what() << '\n';
    reportSofficeEnd();
    return kExitFailure;
  } catch (const FileError& e) {
    held.Failed();
    context.err << "quillon: " << e.what() << '\n';
    return kExitFailure;
  }
  context.out << report.str();
  return kExitSuccess;
}

}  // namespace quillon::cli
