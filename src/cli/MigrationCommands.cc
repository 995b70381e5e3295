#include "cli/MigrationCommands.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>

#include "base/AtomicFile.h"
#include "cli/DocumentJob.h"
#include "cli/TextTable.h"
#include "document/AbbreviationTable.h"
#include "document/Convert.h"
#include "document/Scan.h"
#include "library/AddinState.h"
#include "library/EntryTransfer.h"
#include "library/LibraryCsv.h"

namespace quillon::cli {
namespace {

using library::State;

struct MigrationOptions : DocumentTarget {
  std::string csv;
  std::optional<long> table;
  std::vector<std::string> only;
  bool json = false;
};

// Opens path as the library of this command, as the manager's Open does. Returns false (the
// user has been told why) when it cannot be read.
bool UseLibrary(const std::string& path) {
  library::ResetState();
  State().AddinTitle = library::kAddinTitle;
  State().LibraryPath = path;
  return !library::QueryLibrary(path, "select count(*) from abbreviations").Failed;
}

// Prints what an import did with each entry, then the counts. what names the sources ("row",
// "line").
void PrintImport(const library::ImportReport& report, const char* what, std::ostream& out,
                 CommandContext& context) {
  std::vector<std::vector<std::string>> rows;
  for (const library::EntryOutcome& outcome : report.outcomes) {
    std::string result;
    switch (outcome.kind) {
      case library::EntryOutcome::Kind::kAdded:
        result = "added";
        break;
      case library::EntryOutcome::Kind::kPresent:
        result = "already present";
        break;
      case library::EntryOutcome::Kind::kRefused:
        result = "refused: " + outcome.reason;
        break;
    }
    rows.push_back({std::to_string(outcome.source), outcome.abb, outcome.text, result});
  }
  if (report.failed) {
    context.err << "quillon: the library did not take an entry; nothing imported\n";
    return;
  }
  if (!rows.empty()) WriteTextTable(out, {what, "abbreviation", "meaning", "result"}, rows);
  out << report.added << " added, " << report.present << " already present, " << report.refused
      << " refused\n";
}

int ImportTable(const MigrationOptions& o, CommandContext& context) {
  return RunDocumentJob(
      o, context, JobKind{false, false}, [&](host::Application& word, std::ostream& report) {
        host::Document& document = word.ActiveDocument();
        long index = o.table.value_or(document::FindAbbreviationTable(document));
        if (o.table && (index < 1 || index > document.Tables().Count())) {
          context.err << "quillon: " << o.document << " has no table " << index << " (it has "
                      << document.Tables().Count() << ")\n";
          return false;
        }
        if (index == 0) {
          context.err
              << "quillon: " << o.document
              << " has no table headed \"Abbreviation | Meaning\"; name one with --table N\n";
          return false;
        }
        library::ImportReport imported =
            library::ImportEntries(o.library, document::ReadAbbreviationTable(document, index));
        PrintImport(imported, "row", report, context);
        return !imported.failed;
      });
}

void PrintScanText(const document::ScanReport& report,
                   const std::vector<library::AbbreviationEntry>& entries, std::ostream& out) {
  std::vector<std::vector<std::string>> rows;
  for (const document::PlainUse& use : report.uses) {
    rows.push_back({std::to_string(use.page), std::to_string(use.start),
                    std::string(document::PlainFormName(use.form)), entries[use.entry].abb,
                    use.context});
  }
  out << "Plain uses that convert turns into fields: " << rows.size() << '\n';
  if (!rows.empty()) WriteTextTable(out, {"page", "position", "form", "entry", "context"}, rows);
  rows.clear();
  for (const document::KeptUse& use : report.kept) {
    rows.push_back({std::to_string(use.page), std::to_string(use.start), use.found, use.reason});
  }
  out << "\nLeft as written: " << rows.size() << '\n';
  if (!rows.empty()) WriteTextTable(out, {"page", "position", "found", "why"}, rows);
  rows.clear();
  for (const document::CandidateEntry& candidate : report.candidates) {
    rows.push_back({std::to_string(candidate.page), candidate.abb, candidate.text,
                    std::to_string(candidate.count)});
  }
  out << "\nNot in the library (candidates): " << rows.size() << '\n';
  if (!rows.empty()) {
    WriteTextTable(out, {"page", "abbreviation", "meaning", "occurrences"}, rows);
  }
}

void PrintScanJson(const document::ScanReport& report,
                   const std::vector<library::AbbreviationEntry>& entries, std::ostream& out) {
  out << "{\"uses\": [";
  const char* separator = "\n  ";
  for (const document::PlainUse& use : report.uses) {
    out << separator << "{\"page\": " << use.page << ", \"start\": " << use.start
        << ", \"end\": " << use.end
        << ", \"form\": " << JsonString(document::PlainFormName(use.form))
        << ", \"abb\": " << JsonString(entries[use.entry].abb)
        << ", \"text\": " << JsonString(entries[use.entry].abbtext)
        << ", \"found\": " << JsonString(use.found) << ", \"context\": " << JsonString(use.context)
        << "}";
    separator = ",\n  ";
  }
  out << "],\n \"kept\": [";
  separator = "\n  ";
  for (const document::KeptUse& use : report.kept) {
    out << separator << "{\"page\": " << use.page << ", \"start\": " << use.start
        << ", \"end\": " << use.end << ", \"found\": " << JsonString(use.found)
        << ", \"why\": " << JsonString(use.reason) << ", \"context\": " << JsonString(use.context)
        << "}";
    separator = ",\n  ";
  }
  out << "],\n \"candidates\": [";
  separator = "\n  ";
  for (const document::CandidateEntry& candidate : report.candidates) {
    out << separator << "{\"page\": " << candidate.page << ", \"start\": " << candidate.start
        << ", \"abb\": " << JsonString(candidate.abb)
        << ", \"text\": " << JsonString(candidate.text) << ", \"occurrences\": " << candidate.count
        << ", \"context\": " << JsonString(candidate.context) << "}";
    separator = ",\n  ";
  }
  out << "]}\n";
}

int Scan(const MigrationOptions& o, CommandContext& context) {
  return RunDocumentJob(o, context, JobKind{false, false},
                        [&](host::Application& word, std::ostream& report) {
                          std::optional<std::vector<library::AbbreviationEntry>> entries =
                              library::ReadAllEntries(o.library);
                          if (!entries) return false;
                          document::ScanReport found = document::ScanDocument(word, *entries);
                          if (o.json) {
                            PrintScanJson(found, *entries, report);
                          } else {
                            PrintScanText(found, *entries, report);
                          }
                          return true;
                        });
}

int Convert(const MigrationOptions& o, CommandContext& context) {
  return RunDocumentJob(
      o, context, JobKind{true, false}, [&](host::Application& word, std::ostream& report) {
        std::optional<std::vector<library::AbbreviationEntry>> entries =
            library::ReadAllEntries(o.library);
        if (!entries) return false;
        for (const std::string& abb : o.only) {
          bool known =
              std::any_of(entries->begin(), entries->end(),
                          [&abb](const library::AbbreviationEntry& e) { return e.abb == abb; });
          if (!known) {
            context.err << "quillon: --only " << JsonString(abb) << ": " << o.library
                        << " has no such abbreviation\n";
            return false;
          }
        }
        document::ConvertSummary summary = document::ConvertDocument(word, *entries, o.only);
        if (summary.failed) return false;
        report << summary.converted << " plain uses turned into fields, " << summary.kept
               << " left as written\n";
        if (summary.markerPlaced) {
          report << "List marker placed before the abbreviation table: \"quillon list\" "
                    "replaces that table\n";
        }
        return true;
      });
}

int ExportCsv(const MigrationOptions& o, CommandContext& context) {
  if (!UseLibrary(o.library)) return kExitFailure;
  std::optional<std::vector<library::AbbreviationEntry>> entries;
  {
    library::LibrarySession session;
    entries = library::ReadAllEntries(o.library);
  }
  if (!entries) return kExitFailure;
  std::string csv = library::WriteLibraryCsv(*entries);
  if (o.output.empty()) {
    context.out << csv;
    return kExitSuccess;
  }
  try {
    WriteFileAtomically(o.output, csv);
  } catch (const FileError& e) {
    context.err << "quillon: " << e.what() << '\n';
    return kExitFailure;
  }
  context.out << entries->size() << " entries written to " << o.output << '\n';
  return kExitSuccess;
}

int ImportCsv(const MigrationOptions& o, CommandContext& context) {
  std::ifstream file(o.csv, std::ios::binary);
  std::string bytes(std::istreambuf_iterator<char>(file), {});
  if (!file.is_open() || file.bad()) {
    context.err << "quillon: cannot read " << o.csv << '\n';
    return kExitFailure;
  }
  library::LibraryCsvRecords records = library::ReadLibraryCsv(bytes);
  if (!records.error.empty()) {
    context.err << "quillon: " << o.csv << " line " << records.errorLine << ": " << records.error
                << "; nothing imported\n";
    return kExitFailure;
  }
  if (!UseLibrary(o.library)) return kExitFailure;
  library::ImportReport report;
  {
    library::LibrarySession session;
    report = library::ImportEntries(o.library, records.entries);
  }
  PrintImport(report, "line", context.out, context);
  return report.failed ? kExitFailure : kExitSuccess;
}

}  // namespace

void AddMigrationCommands(CLI::App& app, CommandContext& context) {
  auto options = std::make_shared<MigrationOptions>();
  auto run = [&context, options](int (*command)(const MigrationOptions&, CommandContext&)) {
    return [&context, options, command] { context.exitCode = command(*options, context); };
  };
  auto document = [&](CLI::App* command) {
    command->add_option("DOC", options->document, "The .docx document")->required();
    command->add_option("--library", options->library, "The abbreviation library (.abb)")
        ->required();
  };

  CLI::App* scan = app.add_subcommand(
      "scan", "List the plain uses of library entries that convert would turn into fields");
  document(scan);
  scan->add_flag("--json", options->json, "Print the findings as JSON");
  scan->callback(run(Scan));

  CLI::App* convert =
      app.add_subcommand("convert", "Turn the plain uses of library entries into fields");
  document(convert);
  convert->add_option("-o,--output", options->output,
                      "Write the result here and leave DOC untouched");
  convert->add_option("--only", options->only, "Convert only this abbreviation (repeatable)");
  convert
      ->add_option("--wait", options->waitSeconds,
                   "Seconds to wait while another quillon command changes DOC (default 10)")
      ->check(CLI::Range(0.0, 3600.0));
  convert->callback(run(Convert));

  CLI::App* lib = app.get_subcommand("lib");
  CLI::App* importTable = lib->add_subcommand(
      "import-table", "Add the rows of the document's abbreviation table to the library");
  importTable->add_option("DOC", options->document, "The .docx document")->required();
  importTable->add_option("LIB", options->library, "The abbreviation library (.abb)")->required();
  importTable->add_option("--table", options->table,
                          "Take table N (1-based) instead of the first one headed "
                          "Abbreviation | Meaning");
  importTable->callback(run(ImportTable));

  CLI::App* exportCsv = lib->add_subcommand("export-csv", "Write the library as CSV");
  exportCsv->add_option("LIB", options->library, "The abbreviation library (.abb)")->required();
  exportCsv->add_option("-o,--output", options->output, "Write here instead of to the output");
  exportCsv->callback(run(ExportCsv));

  CLI::App* importCsv =
      lib->add_subcommand("import-csv", "Add the entries of a CSV file to the library");
  importCsv->add_option("LIB", options->library, "The abbreviation library (.abb)")->required();
  importCsv->add_option("FILE", options->csv, "CSV with the header direction,abbreviation,meaning")
      ->required();
  importCsv->callback(run(ImportCsv));
}

}  // namespace quillon::cli
