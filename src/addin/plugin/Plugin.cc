// libquillon-addin.so: the add-in as a plug-in. Its one C entry point creates the connection
// object, which keeps the library manager window for as long as it lives.
#include "addin/Connect.h"
#include "addin/host/Platform.h"
#include "addin/plugin/FormManagerWindow.h"
#include "ui/QtPlatform.h"

namespace quillon::addin {
namespace {

class PluginConnection : public host::AddinConnection {
 public:
  PluginConnection() : connect_(windows_) {}
  ~PluginConnection() override {
    windows_.Destroy();
    Uninstall();
  }

  host::AddinRegistration Registration() const override { return connect_.Registration(); }
  void AddinInstance_OnConnection(host::Application& Application, int ConnectMode,
                                  const host::AddInInstance& AddInInst, void* custom) override {
    // The add-in's windows need message boxes and file dialogs; a host that offers none gets
    // the desktop's own for as long as the add-in is connected.
    host::PlatformServices& services = host::Platform();
    if (services.messageBox == nullptr) services.messageBox = installedMessageBox_ = &messageBox_;
    if (services.fileDialog == nullptr) services.fileDialog = installedFileDialog_ = &fileDialog_;
    windows_.SetApplication(&Application);
    connect_.AddinInstance_OnConnection(Application, ConnectMode, AddInInst, custom);
  }
  void AddinInstance_OnDisconnection(int RemoveMode, void* custom) override {
    connect_.AddinInstance_OnDisconnection(RemoveMode, custom);
    Uninstall();
  }

 private:
  void Uninstall() {
    host::PlatformServices& services = host::Platform();
    if (installedMessageBox_ != nullptr && services.messageBox == installedMessageBox_)
      services.messageBox = nullptr;
    if (installedFileDialog_ != nullptr && services.fileDialog == installedFileDialog_)
      services.fileDialog = nullptr;
    installedMessageBox_ = nullptr;
    installedFileDialog_ = nullptr;
  }

  ui::QtMessageBox messageBox_;
  ui::QtFileDialog fileDialog_;
  host::MessageBoxService* installedMessageBox_ = nullptr;
  host::FileDialogService* installedFileDialog_ = nullptr;
  FormManagerWindow windows_;
  Connect connect_;
};

}  // namespace
}  // namespace quillon::addin

extern "C" __attribute__((visibility("default"))) quillon::host::AddinConnection*
quillon_create_connection() {
  return new quillon::addin::PluginConnection();
}
