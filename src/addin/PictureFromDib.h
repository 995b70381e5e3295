// Pictures of the image class handed to the host: its pixels as the host's bitmap picture.
// Cannot fail.
#pragma once

#include "addin/host/Picture.h"

namespace quillon::widgets {
class c32bppDIB;
}

namespace quillon::addin {

// Returns picture as a bitmap picture that owns a copy of the pixels: each pixel over black
// where it is transparent. An empty picture gives a 0 x 0 bitmap.
host::Picture PictureFromDib(const widgets::c32bppDIB& picture);

}  // namespace quillon::addin
