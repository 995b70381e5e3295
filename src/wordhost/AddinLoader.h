// Loading plug-ins and connecting their add-ins to the host. A plug-in that cannot be loaded
// or connected is reported and skipped; the others still connect.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "addin/host/AddIn.h"
#include "wordhost/AddinRegistry.h"

namespace quillon::host {
class Application;
}

namespace quillon::wordhost {

// Loads the plug-in at path and creates its connection object. Returns null and sets error
// ("cannot load ...", "... has no entry point ...") when it cannot. The plug-in stays loaded
// for the life of the process.
std::unique_ptr<host::AddinConnection> LoadPlugin(const std::string& path, std::string& error);

// Reads what the plug-in at path registers and adds it to the registry at registryPath with
// the plug-in's absolute path. Returns the entry. Throws FileError when the plug-in cannot be
// loaded or the registry cannot be written.
RegisteredAddin RegisterPlugin(const std::string& path, const std::string& registryPath);

class AddinLoader {
 public:
  // Called with a message for each add-in that failed to load or connect.
  using Report = std::function<void(const std::string& message)>;

  ~AddinLoader();
  // Loads and connects every add-in of addins that loads at startup. Returns how many connected.
  int ConnectAll(host::Application& application, const std::vector<RegisteredAddin>& addins,
                 const Report& report);
  // Disconnects the connected add-ins in reverse order; failures are reported.
  void DisconnectAll(const Report& report);
  // The connected add-ins' ProgIDs.
  std::vector<std::string> Connected() const;

 private:
  struct Loaded {
    RegisteredAddin registration;
    std::unique_ptr<host::AddinConnection> connection;
  };
  std::vector<Loaded> loaded_;
};

}  // namespace quillon::wordhost
