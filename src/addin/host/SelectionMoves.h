// How a selection kept as two story positions moves by characters, as Word moves it: shared by
// the hosts that keep their selection so. Nothing here fails.
#pragma once

namespace quillon::host {

// Moves the selection (anchor, active) by count characters (backwards when negative) in a
// story of length positions: extending moves the active end only; otherwise a selection first
// collapses towards the move, then the insertion point moves. An insertion point cannot pass
// the final paragraph mark; an extended selection can include it. Returns how many characters
// it moved. REQUIRES: length >= 1.
long MoveByCharacter(long& anchor, long& active, long count, bool extend, long length);

}  // namespace quillon::host
