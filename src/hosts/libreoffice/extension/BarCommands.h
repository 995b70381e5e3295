// The commands of the Writer extension's "Abbreviation bar": the command URL of each button
// and what it runs on the document, the routines the add-in's buttons run in the desktop host.
// Error rule: RunBarCommand never throws; whatever stops a command is shown in a message box.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "hosts/libreoffice/extension/ManagerProcess.h"

namespace quillon::host {
class Application;
}

namespace quillon::libreoffice {

// The protocol of the bar's command URLs: "vnd.quillon:" + the button's command.
inline constexpr std::string_view kCommandProtocol = "vnd.quillon:";

enum class BarCommand { kQuillon, kUpdateDocument, kInsertList, kInsertLastSelected, kExport };

struct BarCommandName {
  BarCommand command;
  const char* name;  // the part of the URL after the protocol: the button's tag
};

// In the bar's order.
inline constexpr std::array<BarCommandName, 5> kBarCommands = {{
    {BarCommand::kQuillon, "Abbrev"},
    {BarCommand::kUpdateDocument, "ButtonUpdate"},
    {BarCommand::kInsertList, "ButtonInsertList"},
    {BarCommand::kInsertLastSelected, "ButtonInsertLastSelected"},
    {BarCommand::kExport, "ButtonExport"},
}};

// Returns the command a URL names ("vnd.quillon:ButtonUpdate"); std::nullopt for any other URL.
std::optional<BarCommand> CommandOfUrl(std::string_view url);

// Runs the library manager for a library (empty when none is open) and returns the entry the
// user chose; std::nullopt when none. Throws ManagerError when it cannot.
using ManagerPicker = std::function<std::optional<PickedEntry>(const std::string& library)>;

// Runs command on word's document. The open library and the last selected pair come from the
// settings store first and go back to it after the command. The Quillon button looks the
// selected text up in the open library (as the last selected pair), then lets the user choose
// an entry in the library manager through pick and inserts the chosen entry at the cursor.
// A host failure or a failing library statement ends the command; the user is told.
// REQUIRES: a message-box service and a settings store are installed in host::Platform().
void RunBarCommand(BarCommand command, host::Application& word, const ManagerPicker& pick);

}  // namespace quillon::libreoffice
