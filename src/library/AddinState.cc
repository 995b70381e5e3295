#include "library/AddinState.h"

namespace quillon::library {

AddinState& State() {
  static AddinState state;
  return state;
}

void ResetState() {
  State() = AddinState();
}

}  // namespace quillon::library
