#include "cli/DocumentCommands.h"

#include <unistd.h>

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <sstream>

#include "addin/host/HostError.h"
#include "base/FileGuard.h"
#include "cli/LayoutPages.h"
#include "cli/LibreOfficeEngine.h"
#include "cli/TextTable.h"
#include "document/AbbreviationList.h"
#include "document/DocumentUpdate.h"
#include "document/Export.h"
#include "document/FieldFormat.h"
#include "document/Insertion.h"
#include "library/AddinState.h"
#include "library/QueryLibrary.h"
#include "library/SQLlite.h"
#include "wordhost/docx/Application.h"
#include "wordhost/docx/DocxError.h"
#include "wordhost/docx/OtherStories.h"

namespace quillon::cli {
namespace {

using library::State;

struct DocumentOptions {
  bool writesInPlace() const { return output.empty(); }

  std::string document;
  std::string library;
  std::string output;
  std::string abb, text;
  std::optional<long> at;
  std::optional<std::string> after, replace;
  double waitSeconds = 10;      // for another quillon command that is changing the document
  std::string pages = "marks";  // list: where page numbers come from
  std::string engine = "docx";  // export, unlink: the document model the routine runs on

  // The job for --engine libreoffice.
  EngineJob Engine(bool saves) const {
    return {document, library, output, saves,
            std::chrono::milliseconds(static_cast<long>(waitSeconds * 1000))};
  }
};

// Prints "fields done of total" over itself on standard error, when that is a terminal.
class ProgressLine {
 public:
  explicit ProgressLine(std::ostream& err) : err_(err), enabled_(::isatty(STDERR_FILENO) == 1) {}
  ~ProgressLine() {
    if (shown_) err_ << "\r\033[K" << std::flush;
  }
  document::WalkProgress Callback() {
    if (!enabled_) return {};
    return [this](long done, long total) {
      auto now = std::chrono::steady_clock::now();
      if (done != total && now - last_ < std::chrono::milliseconds(100)) return;
      last_ = now;
      shown_ = true;
      err_ << "\rquillon: fields " << done << " of " << total << std::flush;
    };
  }

 private:
  std::ostream& err_;
  bool enabled_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point last_{};
};

// One document command's surroundings: the library opened as the manager opens it (checked
// before anything is read), the document loaded, and the save at the end.
class DocumentJob {
 public:
  DocumentJob(const DocumentOptions& options, CommandContext& context)
      : options_(options), context_(context) {}

  // Opens the library and the document; a command that saves in place first locks the
  // document, so that two commands never change it at once. Returns false (having said why)
  // when either cannot be used; nothing is written then.
  bool Open(bool saves) {
    library::ResetState();
    State().AddinTitle = library::kAddinTitle;
    State().LibraryPath = options_.library;
    // The table has to be there with its columns: every document routine reads them.
    if (!library::CheckAbbreviationsTable(options_.library)) return false;
    try {
      if (saves && options_.writesInPlace()) {
        auto wait = std::chrono::milliseconds(static_cast<long>(options_.waitSeconds * 1000));
        guard_ = std::make_unique<FileGuard>(options_.document, wait);
      }
      // A document that cannot be written is refused before any work is done.
      if (saves) CheckReplaceable(options_.writesInPlace() ? options_.document : options_.output);
    } catch (const FileError& e) {
      context_.err << "quillon: " << e.what() << '\n';
      return false;
    }
    try {
      word_.SetDocument(docx::Document::Open(options_.document));
    } catch (const docx::DocxError& e) {
      context_.err << "quillon: cannot read " << options_.document << ": " << e.what() << '\n';
      return false;
    }
    return true;
  }

  host::Application& word() { return word_; }
  docx::Document& document() { return *word_.document(); }

  // Writes the document to -o, or in place when it changed. Returns false (having said why)
  // when the write failed; the original is untouched then.
  bool Save() {
    docx::Document* document = word_.document();
    if (options_.writesInPlace() && !document->Modified()) return true;
    try {
      if (guard_) guard_->CheckUnchanged();
      document->Save(options_.output);
      return true;
    } catch (const std::exception& e) {
      context_.err << "quillon: " << e.what() << '\n';
      return false;
    }
  }

 private:
  const DocumentOptions& options_;
  CommandContext& context_;
  docx::Application word_;
  std::unique_ptr<FileGuard> guard_;
};

// Says how many abbreviation fields lie outside the main text, which the document routines
// leave as they are (they cover the main text, as the host's field collection does).
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

// What a document command does besides running its routine.
struct JobKind {
  bool saves;
  bool walksFields;  // reports the abbreviation fields outside the main text
};

// Runs body on the opened job inside one library session, then saves. body returns whether
// the command did what was asked, and writes its report to the stream it is given: the report
// is printed only once the document is saved, so that no summary stands over a failed save.
// The first library statement that fails ends the command: its message is the only one, and
// neither the library nor the document is written.
template <typename Body>
int RunDocumentJob(const DocumentOptions& options, CommandContext& context, JobKind kind,
                   Body body) {
  const bool save = kind.saves;
  DocumentJob job(options, context);
  if (!job.Open(save)) return kExitFailure;
  std::ostringstream report;
  bool ok;
  try {
    library::LibrarySession session(library::StatementFailure::kStopCommand);
    ok = body(job.word(), report);
    if (ok) session.Commit();
  } catch (const library::LibraryError&) {
    return kExitFailure;  // shown where it failed
  } catch (const host::HostError& e) {
    context.err << "quillon: " << options.document << ": " << e.what() << '\n';
    return kExitFailure;  // a host failure ends the command; nothing is written
  }
  // A command that failed somewhere leaves the file as it was: its messages said why, and
  // running it again after the cause is mended starts from the same document.
  if (!ok) return kExitFailure;
  if (kind.walksFields) {
    try {
      ReportFieldsOutsideMainText(job.document(), context);
    } catch (const docx::DocxError& e) {
      context.err << "quillon: cannot read " << options.document << ": " << e.what() << '\n';
      return kExitFailure;
    }
  }
  if (save && !job.Save()) return kExitFailure;
  context.out << report.str();
  return kExitSuccess;
}

int Insert(const DocumentOptions& o, CommandContext& context) {
  return RunDocumentJob(
      o, context, JobKind{true, false}, [&](host::Application& word, std::ostream&) {
        host::Selection& selection = word.Selection();
        if (o.at) {
          selection.SetRange(*o.at, *o.at);
        } else {
          const std::string& wanted = o.after ? *o.after : *o.replace;
          selection.SetRange(0, 0);
          host::Find& find = selection.Find();
          find.ClearFormatting();
          find.SetText(wanted);
          find.SetForward(true);
          find.SetWrap(host::wdFindStop);
          find.SetMatchCase(true);
          find.SetMatchWholeWord(false);
          if (!find.Execute()) {
            context.err << "quillon: " << JsonString(wanted) << " not found in " << o.document
                        << '\n';
            return false;
          }
          if (o.after) selection.SetRange(selection.End(), selection.End());
        }
        if (!library::FindEntry(o.library, o.abb, o.text)) {
          context.err << "quillon: note: " << o.library << " has no entry " << JsonString(o.abb)
                      << " meaning " << JsonString(o.text) << "; the field names no entry number\n";
        }
        return document::InsertPlaceholder(word, o.abb, o.text);
      });
}

int Update(const DocumentOptions& o, CommandContext& context) {
  ProgressLine progress(context.err);
  return RunDocumentJob(
      o, context, JobKind{true, true}, [&](host::Application& word, std::ostream& report) {
        document::UpdateSummary summary = document::ButtonUpdate_Click(word, progress.Callback());
        report << summary.abbreviationFields << " abbreviation fields, " << summary.rewritten
               << " rewritten\n";
        if (summary.withoutLibraryEntry > 0) {
          context.err << "quillon: note: "
                      << Counted(summary.withoutLibraryEntry, "abbreviation field names",
                                 "abbreviation fields name")
                      << " an abbreviation the library lacks; "
                      << (summary.withoutLibraryEntry == 1
                              ? "it keeps the direction its code holds\n"
                              : "they keep the direction their codes hold\n");
        }
        return summary.ran && summary.failures == 0;
      });
}

int List(const DocumentOptions& o, CommandContext& context) {
  std::unique_ptr<LibreOfficePages> layout;
  if (o.pages == "libreoffice") layout = std::make_unique<LibreOfficePages>();
  return RunDocumentJob(
      o, context, JobKind{true, true}, [&](host::Application& word, std::ostream&) {
        static_cast<docx::Application&>(word).document()->SetPageSource(layout.get());
        return document::ButtonInsertList_Click(word);
      });
}

int Export(const DocumentOptions& o, CommandContext& context) {
  auto body = [&](host::Application& word, std::ostream& report) {
    document::ExportSummary summary = document::ButtonExport_click(word);
    report << Counted(summary.added, "entry", "entries") << " added, " << summary.skipped
           << " already in the library\n";
    return summary.ran && summary.failed == 0;
  };
  if (o.engine == "libreoffice") return RunOnLibreOffice(o.Engine(false), context, body);
  return RunDocumentJob(o, context, JobKind{false, false}, body);
}

int Unlink(const DocumentOptions& o, CommandContext& context) {
  auto body = [&](host::Application& word, std::ostream& report) {
    long removed = document::DeleteRemovedFields(word, o.abb, o.text);
    report << removed << " fields turned into text\n";
    return true;
  };
  if (o.engine == "libreoffice") return RunOnLibreOffice(o.Engine(true), context, body);
  return RunDocumentJob(o, context, JobKind{true, false}, body);
}

}  // namespace

void AddDocumentCommands(CLI::App& app, CommandContext& context) {
  auto options = std::make_shared<DocumentOptions>();
  auto run = [&context, options](int (*command)(const DocumentOptions&, CommandContext&)) {
    return [&context, options, command] { context.exitCode = command(*options, context); };
  };
  auto common = [&](CLI::App* command, bool writes) {
    command->add_option("DOC", options->document, "The .docx document")->required();
    command->add_option("--library", options->library, "The abbreviation library (.abb)")
        ->required();
    if (writes) {
      command->add_option("-o,--output", options->output,
                          "Write the result here and leave DOC untouched");
      command
          ->add_option("--wait", options->waitSeconds,
                       "Seconds to wait while another quillon command changes DOC (default 10)")
          ->check(CLI::Range(0.0, 3600.0));
    }
  };
  auto engine = [&](CLI::App* command) {
    command
        ->add_option("--engine", options->engine,
                     "Run on Quillon's own .docx model (docx, the default) or in a headless "
                     "LibreOffice Writer (libreoffice)")
        ->check(CLI::IsMember({"docx", "libreoffice"}));
  };
  auto entry = [&](CLI::App* command) {
    command->add_option("--abb", options->abb, "Abbreviation")->required();
    command->add_option("--text", options->text, "Meaning")->required();
  };

  CLI::App* insert =
      app.add_subcommand("insert", "Insert an abbreviation field showing its placeholder");
  common(insert, true);
  entry(insert);
  CLI::Option_group* place = insert->add_option_group("place", "Where the field goes (one of)");
  place->add_option("--at", options->at, "Story position to insert at");
  place->add_option("--after", options->after, "Insert after the first occurrence of this text");
  place->add_option("--replace", options->replace, "Replace the first occurrence of this text");
  place->require_option(1);
  insert->callback(run(Insert));

  CLI::App* update = app.add_subcommand(
      "update", "Update document: long form at each entry's first use, short form after");
  common(update, true);
  update->callback(run(Update));

  CLI::App* list = app.add_subcommand("list", "Insert or rebuild the list of abbreviations");
  common(list, true);
  list->add_option("--pages", options->pages,
                   "Page numbers from the document's own page marks (marks, the default) or "
                   "from LibreOffice's layout (libreoffice)")
      ->check(CLI::IsMember({"marks", "libreoffice"}));
  list->callback(run(List));

  CLI::App* exportCommand =
      app.add_subcommand("export", "Export the document's abbreviations to the library");
  common(exportCommand, false);
  engine(exportCommand);
  exportCommand->callback(run(Export));

  CLI::App* unlink =
      app.add_subcommand("unlink", "Turn the fields of one entry into their plain meaning");
  common(unlink, true);
  entry(unlink);
  engine(unlink);
  unlink->callback(run(Unlink));
}

}  // namespace quillon::cli
