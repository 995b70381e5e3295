// The library manager window behind the connection: one Form1, created hidden the first time
// a picture is asked for, shown by the bar's first button.
#pragma once

#include <memory>

#include "addin/ManagerWindow.h"

namespace quillon::host {
class Application;
}
namespace quillon::ui {
class Form1;
}
namespace quillon::addin {

class FormManagerWindow : public ManagerWindow {
 public:
  FormManagerWindow();
  ~FormManagerWindow() override;
  // The host whose document the window's Insert changes (not owned, may be null). A window
  // that exists keeps the host it was made with.
  void SetApplication(host::Application* word) { word_ = word; }
  host::Picture ListImage(int32_t item) override;
  void Show() override;
  // Closes and destroys the window.
  void Destroy();

 private:
  ui::Form1& Window();

  host::Application* word_ = nullptr;
  std::unique_ptr<ui::Form1> window_;
};

}  // namespace quillon::addin
