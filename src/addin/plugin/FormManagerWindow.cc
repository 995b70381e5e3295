#include "addin/plugin/FormManagerWindow.h"

#include "addin/PictureFromDib.h"
#include "ui/Form1.h"
#include "widgets/c32bppDIB.h"

namespace quillon::addin {

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
