#include "addin/host/Platform.h"

#include <stdexcept>

namespace quillon::host {

PlatformServices& Platform() {
  static PlatformServices services;
  return services;
}

MsgBoxResult MsgBox(const std::string& text, MsgBoxButtons buttons, MsgBoxIcon icon,
                    const std::string& title) {
  MessageBoxService* service = Platform().messageBox;
  if (service == nullptr) throw std::logic_error("no message-box service installed");
  return service->Show({text, title.empty() ? kDefaultMessageBoxTitle : title, buttons, icon});
}

}  // namespace quillon::host
