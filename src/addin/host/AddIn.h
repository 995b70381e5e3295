// An add-in as its host sees it: the instance object handed over at connection, the
// connection object a plug-in creates, and the plug-in's one C entry point.
#pragma once

#include <string>

namespace quillon::host {

class Application;

struct AddInInstance {
  std::string ProgId;       // the add-in's registered ProgID, e.g. "Quillon.Connect"
  std::string Description;  // the registered description
};

// ext_ConnectMode and ext_DisconnectMode values a host passes.
enum ConnectMode : int { ext_cm_AfterStartup = 0, ext_cm_Startup = 1 };
enum DisconnectMode : int { ext_dm_HostShutdown = 0, ext_dm_UserClosed = 1 };

// What an add-in registers under its ProgID.
struct AddinRegistration {
  std::string ProgId;
  std::string FriendlyName;
  std::string Description;
  int LoadBehavior = 3;  // loaded and connected when the host starts
};

// The connection object: the host calls it as it loads and unloads the add-in.
class AddinConnection {
 public:
  virtual ~AddinConnection() = default;
  // Returns what the add-in registers.
  virtual AddinRegistration Registration() const = 0;
  // Connects the add-in to Application (not owned; outlives the disconnection). Throws
  // HostError when the host fails.
  virtual void AddinInstance_OnConnection(Application& Application, int ConnectMode,
                                          const AddInInstance& AddInInst, void* custom) = 0;
  // Disconnects it. Throws HostError when the host fails.
  virtual void AddinInstance_OnDisconnection(int RemoveMode, void* custom) = 0;
};

// The C entry point every plug-in exports under kCreateConnectionSymbol: returns a new
// connection object that the caller owns and deletes (through its virtual destructor), or null.
using CreateConnectionFunction = AddinConnection* (*)();
inline constexpr const char* kCreateConnectionSymbol = "quillon_create_connection";

}  // namespace quillon::host
