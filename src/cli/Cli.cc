#include "cli/Cli.h"

#include <CLI/CLI.hpp>

#include <exception>

#include "addin/host/Platform.h"
#include "cli/CommandContext.h"
#include "cli/DocumentCommands.h"
#include "cli/DocumentViewCommands.h"
#include "cli/LibraryCommands.h"
#include "cli/MigrationCommands.h"

namespace quillon::cli {
namespace {

// Returns the first word of argv that names no command where a command is expected
// ("quillon frobnicate", "quillon lib frobnicate"), or nullptr.
const char* UnknownCommand(const CLI::App& app, int argc, const char* const* argv) {
  const CLI::App* level = &app;
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] == '-') return nullptr;
    const CLI::App* next = nullptr;
    bool hasCommands = false;
    for (const CLI::App* command : level->get_subcommands({})) {
      if (dynamic_cast<const CLI::Option_group*>(command) != nullptr) continue;  // not a command
      hasCommands = true;
      if (command->check_name(argv[i])) next = command;
    }
    if (!hasCommands) return nullptr;
    if (next == nullptr) return argv[i];
    level = next;
  }
  return nullptr;
}

// A positional is named for what it holds; the value type CLI11 prints after it in the help
// ("ABB TEXT", "TEXT TEXT") only repeats or confuses that.
void DropPositionalTypeNames(CLI::App& app) {
  for (CLI::Option* option : app.get_options([](CLI::Option* o) { return o->get_positional(); })) {
    option->type_name("");
  }
  for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) {
    DropPositionalTypeNames(*command);
  }
}

}  // namespace

int Run(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  CLI::App app{"Quillon: consistent abbreviations in Word documents", "quillon"};
  app.require_subcommand(1);

  ConsoleMessageBox messages(err);
  CommandContext context{out, err, messages};
  AddLibraryCommands(app, context);
  AddDocumentViewCommands(app, context);
  AddDocumentCommands(app, context);
  AddMigrationCommands(app, context);
  DropPositionalTypeNames(app);

  host::PlatformServices saved = host::Platform();
  host::Platform().messageBox = &messages;
  int status = kExitSuccess;
  if (const char* unknown = UnknownCommand(app, argc, argv)) {
    err << "quillon: unknown command \"" << unknown << "\"\nRun with --help for the commands.\n";
    host::Platform() = saved;
    return kExitUsage;
  }
  try {
    app.parse(argc, argv);
    status = context.exitCode;
  } catch (const CLI::ParseError& e) {
    // --help (on any level) arrives as a parse error whose exit code is success.
    if (e.get_exit_code() == 0) {
      app.exit(e, out, err);
    } else {
      err << "quillon: " << e.what() << "\nRun with --help for more information.\n";
      status = kExitUsage;
    }
  } catch (const std::exception& e) {
    err << "quillon: " << e.what() << '\n';
    status = kExitFailure;
  }
  host::Platform() = saved;
  return status;
}

}  // namespace quillon::cli
