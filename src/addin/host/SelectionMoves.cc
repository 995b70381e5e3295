#include "addin/host/SelectionMoves.h"

#include <algorithm>

namespace quillon::host {

long MoveByCharacter(long& anchor, long& active, long count, bool extend, long length) {
  if (count == 0) return 0;
  auto clamp = [length](long pos, bool extended) {
    return std::clamp(pos, 0L, extended ? length : length - 1);
  };
  if (extend) {
    long target = clamp(active + count, true);
    long moved = target - active;
    active = target;
    return moved < 0 ? -moved : moved;
  }
  long moved = 0;
  long pos = active;
  if (anchor != active) {
    pos = count > 0 ? std::max(anchor, active) : std::min(anchor, active);
    count += count > 0 ? -1 : 1;
    moved = 1;
  }
  long target = clamp(pos + count, false);
  moved += target > pos ? target - pos : pos - target;
  anchor = active = target;
  return moved;
}

}  // namespace quillon::host
