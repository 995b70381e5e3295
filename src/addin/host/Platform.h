// The platform services the add-in calls, installed once by the program that hosts it
// (the desktop host, the command line, a test).
#pragma once

#include <string>

#include "addin/host/Clipboard.h"
#include "addin/host/FileDialog.h"
#include "addin/host/MessageBox.h"
#include "addin/host/SettingsStore.h"

namespace quillon::host {

struct PlatformServices {
  MessageBoxService* messageBox = nullptr;  // not owned
  FileDialogService* fileDialog = nullptr;  // not owned
  SettingsStore* settings = nullptr;        // not owned
  Clipboard* clipboard = nullptr;           // not owned
};

// Returns the process-wide services. The caller that installs a service keeps it alive
// while it is installed.
PlatformServices& Platform();

// Shows text through the installed message-box service; an empty title gives the
// component's default title. REQUIRES: a message-box service is installed.
MsgBoxResult MsgBox(const std::string& text, MsgBoxButtons buttons = MsgBoxButtons::kOkOnly,
                    MsgBoxIcon icon = MsgBoxIcon::kNone, const std::string& title = {});

}  // namespace quillon::host
