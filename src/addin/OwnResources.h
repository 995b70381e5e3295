// The add-in's own resources, the stand-in for its module's resource section: the pictures and
// files compiled into it, in the table shape of a resource library. Cannot fail.
#pragma once

#include <cstdint>

#include "addin/ResourceTable.h"

namespace quillon::addin {

// The name of the empty library template among the data resources.
inline constexpr const char* kEmptyLibraryResource = "EmptyLibrary";

// Returns the table: the host bar's five button faces as bitmaps numbered as the library
// manager's picture list numbers them (12 to 16), the manager's other pictures (PNG files) as
// data of their picture-list numbers (1 to 11, and 100 for the large search picture), and the
// empty library template as data named kEmptyLibraryResource. Lives until the program ends.
const QuillonResourceTable& OwnResourceTable();

}  // namespace quillon::addin
