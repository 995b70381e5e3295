#include "cli/DocumentCommands.h"

#include <unistd.h>

#include <chrono>
#include <memory>
#include <optional>

#include "cli/DocumentInput.h"
#include "cli/DocumentJob.h"
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

namespace quillon::cli {
namespace {

using library::State;

struct DocumentOptions : DocumentTarget {
  std::string abb, text;
  std::optional<long> at;
  std::optional<std::string> after, replace;
  std::string pages = "marks";  // list: where page numbers come from
  std::string engine = "docx";  // the document model the routine runs on

  bool OnLibreOffice() const { return engine == "libreoffice"; }
  // The job for --engine libreoffice.
  EngineJob Engine(JobKind kind) const {
    return {document,         library,
            output,           kind.saves,
            kind.walksFields, std::chrono::milliseconds(static_cast<long>(waitSeconds * 1000))};
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

int Insert(const DocumentOptions& o, CommandContext& context) {
  auto body = [&](host::Application& word, std::ostream&) {
    std::string refusal = CheckUtf8Argument("--abb", o.abb);
    if (refusal.empty()) refusal = CheckUtf8Argument("--text", o.text);
    if (refusal.empty()) {
      refusal = SelectInsertionPlace(word, {o.at, o.after, o.replace}, o.document);
    }
    if (!refusal.empty()) {
      context.err << "quillon: " << refusal << '\n';
      return false;
    }
    if (!library::FindEntry(o.library, o.abb, o.text)) {
      context.err << "quillon: note: " << o.library << " has no entry " << JsonString(o.abb)
                  << " meaning " << JsonString(o.text) << "; the field names no entry number\n";
    }
    return document::InsertPlaceholder(word, o.abb, o.text);
  };
  const JobKind kind{true, false};
  if (o.OnLibreOffice()) return RunOnLibreOffice(o.Engine(kind), context, body);
  return RunDocumentJob(o, context, kind, body);
}

int Update(const DocumentOptions& o, CommandContext& context) {
  ProgressLine progress(context.err);
  auto body = [&](host::Application& word, std::ostream& report) {
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
  };
  const JobKind kind{true, true};
  if (o.OnLibreOffice()) return RunOnLibreOffice(o.Engine(kind), context, body);
  return RunDocumentJob(o, context, kind, body);
}

int List(const DocumentOptions& o, CommandContext& context) {
  const JobKind kind{true, true};
  if (o.OnLibreOffice()) {
    // Writer's own layout gives the pages there.
    return RunOnLibreOffice(o.Engine(kind), context, [&](host::Application& word, std::ostream&) {
      return document::ButtonInsertList_Click(word);
    });
  }
  std::unique_ptr<LibreOfficePages> layout;
  if (o.pages == "libreoffice") layout = std::make_unique<LibreOfficePages>();
  return RunDocumentJob(o, context, kind, [&](host::Application& word, std::ostream&) {
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
  const JobKind kind{false, false};
  if (o.OnLibreOffice()) return RunOnLibreOffice(o.Engine(kind), context, body);
  return RunDocumentJob(o, context, kind, body);
}

int Unlink(const DocumentOptions& o, CommandContext& context) {
  auto body = [&](host::Application& word, std::ostream& report) {
    long removed = document::DeleteRemovedFields(word, o.abb, o.text);
    report << removed << " fields turned into text\n";
    return true;
  };
  const JobKind kind{true, false};
  if (o.OnLibreOffice()) return RunOnLibreOffice(o.Engine(kind), context, body);
  return RunDocumentJob(o, context, kind, body);
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
  engine(insert);
  insert->callback(run(Insert));

  CLI::App* update = app.add_subcommand(
      "update", "Update document: long form at each entry's first use, short form after");
  common(update, true);
  engine(update);
  update->callback(run(Update));

  CLI::App* list = app.add_subcommand("list", "Insert or rebuild the list of abbreviations");
  common(list, true);
  list->add_option("--pages", options->pages,
                   "Page numbers from the document's own page marks (marks, the default) or "
                   "from LibreOffice's layout (libreoffice)")
      ->check(CLI::IsMember({"marks", "libreoffice"}));
  engine(list);
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
