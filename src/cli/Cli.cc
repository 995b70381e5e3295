#include "cli/Cli.h"

#include <CLI/CLI.hpp>

#include <exception>

#include "addin/host/Platform.h"
#include "cli/CommandContext.h"
#include "cli/DocumentCommands.h"
#include "cli/DocumentViewCommands.h"
#include "cli/LibraryCommands.h"

namespace quillon::cli {
namespace {

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
  DropPositionalTypeNames(app);

  host::PlatformServices saved = host::Platform();
  host::Platform().messageBox = &messages;
  int status = kExitSuccess;
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
