// The platform services of the windows: message boxes as real dialogs and the desktop's open
// and save dialogs. A program installs them while its windows run.
#pragma once

#include "addin/host/FileDialog.h"
#include "addin/host/MessageBox.h"
#include "addin/host/Platform.h"

class QWidget;

namespace quillon::ui {

// Shows each message in a modal QMessageBox with the request's buttons, icon and title.
class QtMessageBox : public host::MessageBoxService {
 public:
  // parent (not owned, may be null) centres the boxes over a window.
  explicit QtMessageBox(QWidget* parent = nullptr) : parent_(parent) {}
  host::MsgBoxResult Show(const host::MessageBoxRequest& request) override;

 private:
  QWidget* parent_;
};

// The desktop's file dialogs.
class QtFileDialog : public host::FileDialogService {
 public:
  explicit QtFileDialog(QWidget* parent = nullptr) : parent_(parent) {}
  std::optional<std::string> Choose(const host::FileDialogRequest& request) override;

 private:
  QWidget* parent_;
};

// Installs a message-box and a file-dialog service while alive, restoring the previous ones.
class ScopedQtPlatform {
 public:
  explicit ScopedQtPlatform(QWidget* parent = nullptr);
  ~ScopedQtPlatform();
  ScopedQtPlatform(const ScopedQtPlatform&) = delete;
  ScopedQtPlatform& operator=(const ScopedQtPlatform&) = delete;

 private:
  QtMessageBox messageBox_;
  QtFileDialog fileDialog_;
  host::PlatformServices saved_;
};

}  // namespace quillon::ui
