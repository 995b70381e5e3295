#include "hosts/libreoffice/extension/BarCommands.h"

#include "addin/host/Application.h"
#include "addin/host/HostError.h"
#include "addin/host/Platform.h"
#include "addin/host/Selection.h"
#include "document/AbbreviationList.h"
#include "document/DocumentUpdate.h"
#include "document/Export.h"
#include "document/Insertion.h"
#include "library/AddinState.h"
#include "library/LibraryError.h"
#include "library/SQLlite.h"

namespace quillon::libreoffice {
namespace {

// The Quillon button: the selected text looked up as the last selected pair, then the library
// manager, whose chosen entry goes in at the cursor.
void Quillon(host::Application& word, const ManagerPicker& pick) {
  library::AddinState& state = library::State();
  if (!state.LibraryPath.empty()) {
    std::string selected = word.Selection().Text();
    if (!selected.empty()) {
      selected = word.Selection().Text();
      library::FindByPosition(selected, state.LastSelectedAbb, state.LastSelectedText);
    }
  }
  // The manager reads the shared state, and writes back the library the user opened in it.
  host::SettingsStore& store = *host::Platform().settings;
  library::SaveSharedState(store);
  std::optional<PickedEntry> picked;
  try {
    picked = pick(state.LibraryPath);
  } catch (const ManagerError& e) {
    host::MsgBox(std::string("The library manager cannot be shown: ") + e.what(),
                 host::MsgBoxButtons::kOkOnly, host::MsgBoxIcon::kNone, state.AddinTitle);
    return;
  }
  library::LoadSharedState(store);
  if (!picked) return;
  state.LastSelectedAbb = picked->abb;
  state.LastSelectedText = picked->text;
  document::InsertPlaceholder(word, picked->abb, picked->text);
}

void Run(BarCommand command, host::Application& word, const ManagerPicker& pick) {
  switch (command) {
    case BarCommand::kQuillon:
      Quillon(word, pick);
      break;
    case BarCommand::kUpdateDocument:
      document::ButtonUpdate_Click(word);
      break;
    case BarCommand::kInsertList:
      document::ButtonInsertList_Click(word);
      break;
    case BarCommand::kInsertLastSelected:
      document::ButtonInsertLastSelected_click(word);
      break;
    case BarCommand::kExport:
      document::ButtonExport_click(word);
      break;
  }
}

}  // namespace

std::optional<BarCommand> CommandOfUrl(std::string_view url) {
  if (!url.starts_with(kCommandProtocol)) return std::nullopt;
  url.remove_prefix(kCommandProtocol.size());
  for (const BarCommandName& entry : kBarCommands) {
    if (url == entry.name) return entry.command;
  }
  return std::nullopt;
}

void RunBarCommand(BarCommand command, host::Application& word, const ManagerPicker& pick) {
  library::AddinState& state = library::State();
  state.AddinTitle = library::kAddinTitle;
  host::SettingsStore& store = *host::Platform().settings;
  try {
    library::LoadSharedState(store);
    Run(command, word, pick);
    library::SaveSharedState(store);
  } catch (const library::LibraryError&) {
    // Shown where the statement failed.
  } catch (const std::exception& e) {
    // The host's error ends the command as it would end a button's handler in Word, which
    // then tells the user.
    host::MsgBox(e.what(), host::MsgBoxButtons::kOkOnly, host::MsgBoxIcon::kCritical,
                 state.AddinTitle);
  }
}

}  // namespace quillon::libreoffice
