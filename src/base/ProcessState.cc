#include "base/ProcessState.h"

#include <fstream>
#include <string>

namespace quillon {

bool ProcessEnded(pid_t pid) {
  if (pid <= 0) return true;
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat;
  if (!std::getline(in, stat)) return true;
  // The state follows the command name, which is in parentheses and may hold any character.
  std::size_t close = stat.rfind(')');
  if (close == std::string::npos || close + 2 >= stat.size()) return true;
  char state = stat[close + 2];
  return state == 'Z' || state == 'X';
}

}  // namespace quillon
