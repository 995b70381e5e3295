#include "addin/plugin/FormManagerWindow.h"

#include "ui/Form1.h"
#include "widgets/c32bppDIB.h"

namespace quillon::addin {

host::Picture PictureFromDib(const widgets::c32bppDIB& picture) {
  auto bitmap = std::make_shared<host::Bitmap>();
  bitmap->width = picture.Width();
  bitmap->height = picture.Height();
  bitmap->pixels.reserve(static_cast<size_t>(bitmap->width) * static_cast<size_t>(bitmap->height));
  for (int32_t y = 0; y < bitmap->height; ++y) {
    for (int32_t x = 0; x < bitmap->width; ++x) {
      // Premultiplied 0xAARRGGBB: over black the colour channels stand as they are.
      const uint32_t argb = picture.PixelAt(x, y);
      const uint32_t r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
      bitmap->pixels.push_back(r | (g << 8) | (b << 16));
    }
  }
  return {host::kPicTypeBitmap, bitmap, std::nullopt};
}

FormManagerWindow::FormManagerWindow() = default;

FormManagerWindow::~FormManagerWindow() = default;

ui::Form1& FormManagerWindow::Window() {
  if (!window_) window_ = std::make_unique<ui::Form1>(word_);
  return *window_;
}

host::Picture FormManagerWindow::ListImage(int32_t item) {
  const widgets::c32bppDIB* picture = Window().ImageList1.Picture(item);
  if (picture == nullptr) return {};
  return PictureFromDib(*picture);
}

void FormManagerWindow::Show() {
  ui::Form1& window = Window();
  // The library may have been opened since the window was made (hidden) at connection.
  window.ShowLibrary();
  window.show();
  window.raise();
  window.activateWindow();
}

void FormManagerWindow::Destroy() {
  window_.reset();
}

}  // namespace quillon::addin
