#include "cli/LibraryCommands.h"

#include <memory>

#include "base/Text.h"
#include "cli/TextTable.h"
#include "library/AddinState.h"
#include "library/LibraryFiles.h"
#include "library/QueryLibrary.h"
#include "library/RowSink.h"
#include "library/SQLlite.h"

namespace quillon::cli {
namespace {

using library::State;

struct LibraryOptions {
  std::string path;
  bool force = false;
  std::string sort;
  bool descending = false;
  bool json = false;
  std::string abb, text;
  bool rtl = false;
  std::optional<std::string> newAbb, newText, newDirection;
  std::string typed;
};

// Opens path as the library of this command, as the manager's Open does.
void UseLibrary(const std::string& path) {
  library::ResetState();
  State().AddinTitle = library::kAddinTitle;
  State().LibraryPath = path;
}

// Runs command with its statements in one library session that stops at the first failing
// statement: that statement's message is the command's only word on it, and nothing the
// command changed in the library stays.
int RunLibraryCommand(const LibraryOptions& o, CommandContext& context,
                      int (*command)(const LibraryOptions&, CommandContext&)) {
  try {
    library::LibrarySession session(library::StatementFailure::kStopCommand);
    int status = command(o, context);
    if (status == kExitSuccess) session.Commit();
    return status;
  } catch (const library::LibraryError&) {
    return kExitFailure;
  }
}

int NewLibrary(const LibraryOptions& o, CommandContext& context) {
  library::ResetState();
  State().AddinTitle = library::kAddinTitle;
  context.messages.SetAnswerYes(o.force);
  switch (library::CreateLibrary(o.path)) {
    case library::CreateOutcome::kCreated:
      context.out << "Created library " << State().LibraryPath << '\n';
      return kExitSuccess;
    case library::CreateOutcome::kDeclined:
      context.err << "quillon: nothing written; pass --force to overwrite\n";
      return kExitFailure;
    case library::CreateOutcome::kFailed:
      return kExitFailure;
  }
  return kExitFailure;
}

// The listed entries as the command prints them.
class ListedEntries : public library::RowSink {
 public:
  void BeginRows(const std::vector<std::string>&, int32_t rowCount) override {
    rows.reserve(static_cast<size_t>(rowCount));
  }
  void AddRow(std::span<const std::string> values) override {
    rows.emplace_back(values.begin(), values.end());
  }
  std::vector<std::vector<std::string>> rows;  // direction, abb, abbtext
};

int ListLibrary(const LibraryOptions& o, CommandContext& context) {
  UseLibrary(o.path);
  int16_t column = o.sort == "direction" ? 1 : o.sort == "abb" ? 2 : o.sort == "text" ? 3 : 0;
  int16_t order = column == 0 ? 0 : o.descending ? 2 : 1;
  ListedEntries listed;
  if (library::ListAbbreviations(o.path, column, order, listed).Failed) return kExitFailure;

  const std::vector<std::vector<std::string>>& rows = listed.rows;
  if (o.json) {
    context.out << "[";
    for (size_t i = 0; i < rows.size(); ++i) {
      context.out << (i ? ",\n " : "\n ") << "{\"direction\": " << JsonString(rows[i][0])
                  << ", \"abb\": " << JsonString(rows[i][1])
                  << ", \"text\": " << JsonString(rows[i][2]) << "}";
    }
    context.out << (rows.empty() ? "]\n" : "\n]\n");
    return kExitSuccess;
  }
  // The captions of a listing with entries, also over an empty one.
  std::vector<std::string> header;
  for (const library::ListingHeading& heading : library::ListingHeadings(true, 0)) {
    header.push_back(heading.caption);
  }
  WriteTextTable(context.out, header, rows);
  context.out << library::AbbreviationCountText(static_cast<int32_t>(rows.size())) << '\n';
  return kExitSuccess;
}

int AddEntry(const LibraryOptions& o, CommandContext& context) {
  UseLibrary(o.path);
  std::string abb = o.abb, text = o.text;
  auto outcome = library::CheckAbbrevExistance_Add_todB(o.path, abb, text, o.rtl ? "R" : "L", true);
  if (outcome != library::AddOutcome::kAdded) return kExitFailure;
  context.out << "Added " << TrimSpaces(o.abb) << '\n';
  return kExitSuccess;
}

// Returns the entry, or reports that the library lacks it.
std::optional<library::AbbreviationEntry> ExistingEntry(const std::string& abb,
                                                        const std::string& text,
                                                        CommandContext& context) {
  auto entry = library::FindEntry(State().LibraryPath, abb, text);
  if (!entry) {
    context.err << "quillon: " << State().LibraryPath << " has no entry " << JsonString(abb)
                << " meaning " << JsonString(text) << '\n';
  }
  return entry;
}

int EditEntry(const LibraryOptions& o, CommandContext& context) {
  UseLibrary(o.path);
  auto entry = ExistingEntry(o.abb, o.text, context);
  if (!entry) return kExitFailure;
  library::EditOutcome outcome = library::EditAbbreviation(
      o.path, o.abb, o.text, o.newAbb.value_or(entry->abb), o.newText.value_or(entry->abbtext),
      o.newDirection.value_or(entry->direction));
  return outcome == library::EditOutcome::kEdited ? kExitSuccess : kExitFailure;
}

int DeleteEntry(const LibraryOptions& o, CommandContext& context) {
  UseLibrary(o.path);
  if (!ExistingEntry(TrimSpaces(o.abb), o.text, context)) return kExitFailure;
  return library::DeleteAbbreviation(o.path, o.abb, o.text) ? kExitSuccess : kExitFailure;
}

int FindEntryByPosition(const LibraryOptions& o, CommandContext& context) {
  UseLibrary(o.path);
  std::string typed = o.typed, abb, text;
  library::FindByPosition(typed, abb, text);
  if (abb.empty()) {
    context.err << "quillon: no abbreviation sorts at or after " << JsonString(typed) << '\n';
    return kExitFailure;
  }
  context.out << abb << '\t' << text << '\n';
  return kExitSuccess;
}

}  // namespace

void AddLibraryCommands(CLI::App& app, CommandContext& context) {
  auto options = std::make_shared<LibraryOptions>();
  CLI::App* lib = app.add_subcommand("lib", "Create, list and edit abbreviation libraries (.abb)");
  lib->require_subcommand(1);

  auto run = [&context, options](int (*command)(const LibraryOptions&, CommandContext&)) {
    return [&context, options, command] {
      context.exitCode = RunLibraryCommand(*options, context, command);
    };
  };
  // Blanks alone count as empty: entries are stored without their surrounding blanks.
  auto nonEmpty = CLI::Validator(
      [](std::string& value) {
        return TrimSpaces(value).empty() ? "must not be empty" : std::string();
      },
      "");

  CLI::App* create = lib->add_subcommand("new", "Create an empty library");
  create->add_option("PATH", options->path, "Library file (\".abb\" is added when missing)")
      ->required();
  create->add_flag("--force", options->force, "Overwrite an existing file");
  create->callback(run(NewLibrary));

  CLI::App* list = lib->add_subcommand("list", "List the entries of a library");
  list->add_option("PATH", options->path, "Library file")->required();
  list->add_option("--sort", options->sort, "Order of the listing")
      ->check(CLI::IsMember({"direction", "abb", "text"}));
  list->add_flag("--desc", options->descending, "Sort descending")->needs("--sort");
  list->add_flag("--json", options->json, "Print the entries as JSON");
  list->callback(run(ListLibrary));

  CLI::App* add = lib->add_subcommand("add", "Add an entry unless it exists");
  add->add_option("PATH", options->path, "Library file")->required();
  add->add_option("ABB", options->abb, "Abbreviation")->required()->check(nonEmpty);
  add->add_option("TEXT", options->text, "Meaning")->required();
  add->add_flag("--rtl", options->rtl, "The meaning is written right to left");
  add->callback(run(AddEntry));

  CLI::App* edit = lib->add_subcommand("edit", "Change one entry");
  edit->add_option("PATH", options->path, "Library file")->required();
  edit->add_option("OLD_ABB", options->abb, "Abbreviation of the entry")->required();
  edit->add_option("OLD_TEXT", options->text, "Meaning of the entry")->required();
  edit->add_option("--abb", options->newAbb, "New abbreviation")->check(nonEmpty);
  edit->add_option("--text", options->newText, "New meaning");
  edit->add_option("--direction", options->newDirection, "New writing direction")
      ->check(CLI::IsMember({"L", "R"}));
  edit->callback(run(EditEntry));

  CLI::App* remove = lib->add_subcommand("delete", "Delete one entry");
  remove->add_option("PATH", options->path, "Library file")->required();
  remove->add_option("ABB", options->abb, "Abbreviation")->required();
  remove->add_option("TEXT", options->text, "Meaning")->required();
  remove->callback(run(DeleteEntry));

  CLI::App* find = lib->add_subcommand("find", "Find the first abbreviation at or after TYPED");
  find->add_option("PATH", options->path, "Library file")->required();
  find->add_option("TYPED", options->typed, "The beginning of an abbreviation")->required();
  find->callback(run(FindEntryByPosition));
}

}  // namespace quillon::cli
