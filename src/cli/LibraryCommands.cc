#include "cli/LibraryCommands.h"

#include <memory>

#include "base/Text.h"
#include "cli/TextTable.h"
#include "library/AddinState.h"
#include "library/LibraryFiles.h"
#include "library/SQLlite.h"
#include "widgets/ListView.h"

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

int ListLibrary(const LibraryOptions& o, CommandContext& context) {
  UseLibrary(o.path);
  int16_t column = o.sort == "direction" ? 1 : o.sort == "abb" ? 2 : o.sort == "text" ? 3 : 0;
  int16_t order = column == 0 ? 0 : o.descending ? 2 : 1;
  widgets::ListView list;
  list.SetWidth(650);
  const library::QueryResult& listing = library::ListAbbreviations(o.path, column, order, list);
  if (listing.Failed) return kExitFailure;

  const int32_t count = list.ItemCount();
  if (o.json) {
    context.out << "[";
    for (int32_t i = 0; i < count; ++i) {
      context.out << (i ? ",\n " : "\n ") << "{\"direction\": " << JsonString(list.ItemText(i, 0))
                  << ", \"abb\": " << JsonString(list.ItemText(i, 1))
                  << ", \"text\": " << JsonString(list.ItemText(i, 2)) << "}";
    }
    context.out << (count ? "\n]\n" : "]\n");
    return kExitSuccess;
  }
  std::vector<std::string> header;
  for (int32_t c = 0; c < list.ColumnCount(); ++c) header.push_back(list.ColumnAt(c).Caption);
  std::vector<std::vector<std::string>> rows;
  rows.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    rows.push_back({list.ItemText(i, 0), list.ItemText(i, 1), list.ItemText(i, 2)});
  }
  WriteTextTable(context.out, header, rows);
  context.out << library::AbbreviationCountText(count) << '\n';
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

// Returns the entry, or reports that the library lacks it (unless a message already said why).
std::optional<library::AbbreviationEntry> ExistingEntry(const std::string& abb,
                                                        const std::string& text,
                                                        CommandContext& context) {
  int shownBefore = context.messages.ShownCount();
  auto entry = library::FindEntry(State().LibraryPath, abb, text);
  if (!entry && context.messages.ShownCount() == shownBefore) {
    context.err << "quillon: " << State().LibraryPath << " has no entry " << JsonString(abb)
                << " meaning " << JsonString(text) << '\n';
  }
  return entry;
}

int EditEntry(const LibraryOptions& o, CommandContext& context) {
  UseLibrary(o.path);
  auto entry = ExistingEntry(o.abb, o.text, context);
  if (!entry) return kExitFailure;
  bool ok = library::UpdateAbbreviation(o.path, o.abb, o.text, o.newAbb.value_or(entry->abb),
                                        o.newText.value_or(entry->abbtext),
                                        o.newDirection.value_or(entry->direction));
  return ok ? kExitSuccess : kExitFailure;
}

int DeleteEntry(const LibraryOptions& o, CommandContext& context) {
  UseLibrary(o.path);
  if (!ExistingEntry(TrimSpaces(o.abb), o.text, context)) return kExitFailure;
  return library::DeleteAbbreviation(o.path, o.abb, o.text) ? kExitSuccess : kExitFailure;
}

int FindEntryByPosition(const LibraryOptions& o, CommandContext& context) {
  UseLibrary(o.path);
  std::string typed = o.typed, abb, text;
  int shownBefore = context.messages.ShownCount();
  library::FindByPosition(typed, abb, text);
  if (abb.empty()) {
    if (context.messages.ShownCount() == shownBefore) {
      context.err << "quillon: no abbreviation sorts at or after " << JsonString(typed) << '\n';
    }
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
    return [&context, options, command] { context.exitCode = command(*options, context); };
  };
  auto nonEmpty = CLI::Validator(
      [](std::string& value) { return value.empty() ? "must not be empty" : std::string(); },
      "TEXT");

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
