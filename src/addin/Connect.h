// The add-in's connection to its host: at connection the "Abbreviation bar" with its five
// picture buttons, placed where the user left it; at disconnection the placement stored and
// the bar removed. The buttons' clicks arrive here and start the document commands.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "addin/host/AddIn.h"
#include "addin/host/CommandBars.h"

namespace quillon::host {
class Application;
}

namespace quillon::addin {

class ManagerWindow;

inline constexpr const char* kProgId = "Quillon.Connect";

// One row of the bar: the picture (item of the manager's picture list), the tooltip and the
// tag that finds the button again.
struct BarButton {
  int32_t picture;
  const char* tooltip;
  const char* tag;
};

// The buttons in the order they are added to the bar.
inline constexpr std::array<BarButton, 5> kBarButtons = {{
    {15, "Quillon", "Abbrev"},
    {16, "Update document", "ButtonUpdate"},
    {14, "Insert abbreviation list", "ButtonInsertList"},
    {12, "Insert last selected", "ButtonInsertLastSelected"},
    {13, "Export Abbreviations to library", "ButtonExport"},
}};

// Returns the OnAction text that routes a button to the add-in progId: "!<" + progId + ">".
std::string OnActionFor(const std::string& progId);

class Connect : public host::AddinConnection {
 public:
  // windows (not owned) outlives the object.
  explicit Connect(ManagerWindow& windows);
  ~Connect() override;
  Connect(const Connect&) = delete;
  Connect& operator=(const Connect&) = delete;

  // Sets the message title, shows the host, builds the bar with its buttons and places it.
  // A bar of the same name left from an earlier connection is removed first. The user's
  // clipboard content is put back after the faces are pasted. Throws HostError when the host
  // fails (steps done stay done). REQUIRES: settings store and clipboard installed in
  // host::Platform().
  void AddinInstance_OnConnection(host::Application& Application, int ConnectMode,
                                  const host::AddInInstance& AddInInst, void* custom) override;
  // Stores the bar's placement, deletes the buttons and the bar (those the user already
  // removed are skipped) and releases every reference. Throws HostError when the host fails.
  void AddinInstance_OnDisconnection(int RemoveMode, void* custom) override;
  // ProgID "Quillon.Connect", "My Add-In", "Add-In Project Template", load behaviour 3.
  host::AddinRegistration Registration() const override;

  // The buttons' Click handlers.
  void SelAbbrev_Click();
  void ButtonUpdate_Click();
  void ButtonInsertList_Click();
  void ButtonInsertLastSelected_click();
  void ButtonExport_click();

  // Whether the object holds a host application (between connection and disconnection).
  bool Connected() const { return application_ != nullptr; }

  std::shared_ptr<host::CommandBarButton> SelAbbrev, ButtonUpdate, ButtonInsertList,
      ButtonInsertLastSelected, ButtonExport;

 private:
  std::shared_ptr<host::CommandBarButton>& Member(size_t row);
  void Handle(size_t row);

  ManagerWindow& windows_;
  host::Application* application_ = nullptr;
  std::shared_ptr<host::CommandBar> bar_;
  std::array<std::shared_ptr<void>, 5> clicks_;
};

}  // namespace quillon::addin
