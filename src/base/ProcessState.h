// What Linux's /proc tells of a process that need not be a child of ours. Error rule: none; a
// process that cannot be read counts as ended.
#pragma once

#include <sys/types.h>

namespace quillon {

// Returns whether process pid has ended: it is gone, or a zombie its parent has yet to reap.
// True for a pid that names no process (0 or less).
bool ProcessEnded(pid_t pid);

}  // namespace quillon
