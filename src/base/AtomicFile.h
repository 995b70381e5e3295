// Files written whole. Error rule: every function here throws FileError, whose message names
// the file and the cause; the target is then as it was.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace quillon {

class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writes bytes as the whole content of path. The content goes to a temporary file beside the
// target, which then replaces it by rename, so a reader sees the old or the new content and a
// crash leaves one of them.
// - A symbolic link is followed to its final target, which is replaced; the link stays.
// - An existing target keeps its mode and, where the user may set them, its owner and group;
//   a new file gets 0666 less the umask.
// - A target with more than one hard link is rewritten in place instead, so that every name
//   sees the new content (a rename would split the links); should that write fail, the old
//   content is put back.
// - A write-protected target is refused even where its folder is writable: the protection is
//   the user's way of saying "do not change this file".
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// Throws FileError when WriteFileAtomically(path, ...) would refuse the target itself (a
// folder or another file that is not a regular one, or a write-protected file) or could not
// put a temporary file beside it (a missing or write-protected folder). Lets a command refuse
// before it does any work.
void CheckReplaceable(const std::string& path);

// Returns path with symbolic links followed to the file they finally name (which need not
// exist yet); path itself when it is not a link. Throws FileError for a loop of links.
std::string FinalTarget(const std::string& path);

}  // namespace quillon
