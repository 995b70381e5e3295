// Choosing library files through the platform's open and save dialogs.
#pragma once

#include <string>

#include "addin/host/FileDialog.h"

namespace quillon::library {

// Returns the dialog description for choosing a library: the two filters
// "Abbreviation DB Files (*.abb)" and "All Files (*.*)", the first selected, starting in the
// user's home folder, with no overwrite question and no default extension.
host::FileDialogRequest LibraryDialogRequest(host::FileDialogRequest::Kind kind);

// Asks for the path of a new library. Returns the chosen path without surrounding blanks, with
// ".abb" appended when it contains ".abb" nowhere (case-sensitive); "" when cancelled.
std::string ChooseLibraryToSave();

// Asks for the library to open. Returns the chosen path without surrounding blanks (no
// extension added, existence not checked); "" when cancelled.
std::string ChooseLibraryToOpen();

}  // namespace quillon::library
