// libquillon-addin.so: the add-in as a plug-in. Its one C entry point creates the connection
// object, which keeps the library manager window for as long as it lives.
#include "addin/Connect.h"
#include "addin/plugin/FormManagerWindow.h"

namespace quillon::addin {
namespace {

class PluginConnection : public host::AddinConnection {
 public:
  PluginConnection() : connect_(windows_) {}
  ~PluginConnection() override { windows_.Destroy(); }

  host::AddinRegistration Registration() const override { return connect_.Registration(); }
  void AddinInstance_OnConnection(host::Application& Application, int ConnectMode,
                                  const host::AddInInstance& AddInInst, void* custom) override {
    windows_.SetApplication(&Application);
    connect_.AddinInstance_OnConnection(Application, ConnectMode, AddInInst, custom);
  }
  void AddinInstance_OnDisconnection(int RemoveMode, void* custom) override {
    connect_.AddinInstance_OnDisconnection(RemoveMode, custom);
  }

 private:
  FormManagerWindow windows_;
  Connect connect_;
};

}  // namespace
}  // namespace quillon::addin

extern "C" __attribute__((visibility("default"))) quillon::host::AddinConnection*
quillon_create_connection() {
  return new quillon::addin::PluginConnection();
}
