// The add-in's own resources, the stand-in for its module's resource section: the pictures and
// files compiled into it, in the table shape of a resource library. Cannot fail.
#pragma once

#include <cstdint>

#include "addin/ResourceTable.h"
#include "widgets/Resources.h"

namespace quillon::addin {

// The name of the empty library template among the data resources, and its number among the
// "CUSTOM" resources of a module's resource section.
inline constexpr const char* kEmptyLibraryResource = "EmptyLibrary";
inline constexpr int32_t kEmptyLibraryResourceId = 101;

// Returns the table: the host bar's five button faces as bitmaps numbered as the library
// manager's picture list numbers them (12 to 16), the manager's other pictures (PNG files) as
// data of their picture-list numbers (1 to 11, and 100 for the large search picture), and the
// empty library template as data named kEmptyLibraryResource (numbered kEmptyLibraryResourceId).
// Lives until the program ends.
const QuillonResourceTable& OwnResourceTable();

// Registers every resource of OwnResourceTable() in registry as a module's resource section
// names them: bitmaps, icons and cursors by number under "BITMAP", "ICON" and "CURSOR", data by
// number under "CUSTOM", the empty library template as "CUSTOM" kEmptyLibraryResourceId. The
// registry points at the embedded bytes, which live until the program ends. Registering twice
// changes nothing.
void RegisterOwnResources(widgets::ResourceRegistry& registry);

}  // namespace quillon::addin
