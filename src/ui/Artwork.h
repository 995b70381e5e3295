// The windows' button pictures (ArtworkBytes) as the windows show them: icons and the
// library manager's picture list.
#pragma once

#include <QIcon>
#include <cstdint>

#include "ui/ArtworkBytes.h"
#include "widgets/ImageList.h"

namespace quillon::ui {

// The item as an icon; a null icon for an unknown item.
QIcon ArtworkIcon(int32_t item);
// The manager's picture list: items 1 to 16 in order, shown at 32 x 32.
widgets::ImageList MakeImageList1();

}  // namespace quillon::ui
