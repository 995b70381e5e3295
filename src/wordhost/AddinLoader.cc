#include "wordhost/AddinLoader.h"

#include <dlfcn.h>

#include <exception>
#include <filesystem>

#include "addin/host/HostError.h"
#include "base/AtomicFile.h"

namespace quillon::wordhost {

std::unique_ptr<host::AddinConnection> LoadPlugin(const std::string& path, std::string& error) {
  // Plug-ins stay loaded: objects they made (windows, their meta-objects) may outlive the
  // connection until the host exits.
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (handle == nullptr) {
    const char* why = ::dlerror();
    error = "cannot load " + path + ": " + (why != nullptr ? why : "unknown error");
    return nullptr;
  }
  auto create = reinterpret_cast<host::CreateConnectionFunction>(
      ::dlsym(handle, host::kCreateConnectionSymbol));
  if (create == nullptr) {
    error = path + " has no entry point " + host::kCreateConnectionSymbol;
    return nullptr;
  }
  std::unique_ptr<host::AddinConnection> connection(create());
  if (!connection) error = path + " made no connection object";
  return connection;
}

RegisteredAddin RegisterPlugin(const std::string& path, const std::string& registryPath) {
  const std::string absolute = std::filesystem::absolute(path).lexically_normal().string();
  std::string error;
  std::unique_ptr<host::AddinConnection> connection = LoadPlugin(absolute, error);
  if (!connection) throw FileError(error);
  const host::AddinRegistration registration = connection->Registration();
  RegisteredAddin addin{registration.ProgId, registration.FriendlyName, registration.Description,
                        registration.LoadBehavior, absolute};
  RegisterAddin(registryPath, addin);
  return addin;
}

AddinLoader::~AddinLoader() {
  DisconnectAll([](const std::string&) {});
}

int AddinLoader::ConnectAll(host::Application& application,
                            const std::vector<RegisteredAddin>& addins, const Report& report) {
  int connected = 0;
  for (const RegisteredAddin& addin : addins) {
    if (!LoadsAtStartup(addin)) continue;
    std::string error;
    std::unique_ptr<host::AddinConnection> connection = LoadPlugin(addin.Path, error);
    if (!connection) {
      report(addin.ProgId + ": " + error);
      continue;
    }
    try {
      connection->AddinInstance_OnConnection(application, host::ext_cm_Startup,
                                             {addin.ProgId, addin.Description}, nullptr);
    } catch (const host::HostError& e) {
      report(addin.ProgId + ": connection failed: " + e.Description() + " (" +
             std::to_string(e.Number()) + ")");
      continue;
    } catch (const std::exception& e) {
      report(addin.ProgId + ": connection failed: " + e.what());
      continue;
    }
    loaded_.push_back({addin, std::move(connection)});
    ++connected;
  }
  return connected;
}

void AddinLoader::DisconnectAll(const Report& report) {
  while (!loaded_.empty()) {
    Loaded last = std::move(loaded_.back());
    loaded_.pop_back();
    try {
      last.connection->AddinInstance_OnDisconnection(host::ext_dm_HostShutdown, nullptr);
    } catch (const std::exception& e) {
      report(last.registration.ProgId + ": disconnection failed: " + e.what());
    }
  }
}

std::vector<std::string> AddinLoader::Connected() const {
  std::vector<std::string> names;
  for (const Loaded& l : loaded_) names.push_back(l.registration.ProgId);
  return names;
}

}  // namespace quillon::wordhost
