#include "addin/Connect.h"

#include "addin/BMPLoader.h"
#include "addin/ManagerWindow.h"
#include "addin/OwnResources.h"
#include "addin/SettingSaveDeleteLoad.h"
#include "addin/host/Application.h"
#include "addin/host/Clipboard.h"
#include "addin/host/Platform.h"
#include "document/AbbreviationList.h"
#include "document/DocumentUpdate.h"
#include "document/Export.h"
#include "document/Insertion.h"
#include "library/AddinState.h"
#include "library/SQLlite.h"

namespace quillon::addin {
namespace {

// Puts the user's clipboard content back when the faces have been pasted, also when a host
// call failed on the way.
class ClipboardKeeper {
 public:
  ClipboardKeeper() : clipboard_(host::Platform().clipboard) {
    if (clipboard_ != nullptr) saved_ = clipboard_->Save();
  }
  ~ClipboardKeeper() {
    if (clipboard_ != nullptr) clipboard_->Restore(saved_);
  }
  ClipboardKeeper(const ClipboardKeeper&) = delete;
  ClipboardKeeper& operator=(const ClipboardKeeper&) = delete;

 private:
  host::Clipboard* clipboard_;
  host::ClipboardContent saved_;
};

// Tags in the order the buttons are deleted at disconnection.
constexpr size_t kDeleteOrder[] = {4, 3, 2, 1, 0};

}  // namespace

std::string OnActionFor(const std::string& progId) {
  return "!<" + progId + ">";
}

Connect::Connect(ManagerWindow& windows) : windows_(windows) {}

Connect::~Connect() = default;

host::AddinRegistration Connect::Registration() const {
  return {kProgId, "My Add-In", "Add-In Project Template", 3};
}

std::shared_ptr<host::CommandBarButton>& Connect::Member(size_t row) {
  switch (row) {
    case 0:
      return SelAbbrev;
    case 1:
      return ButtonUpdate;
    case 2:
      return ButtonInsertList;
    case 3:
      return ButtonInsertLastSelected;
    default:
      return ButtonExport;
  }
}

void Connect::Handle(size_t row) {
  switch (row) {
    case 0:
      SelAbbrev_Click();
      break;
    case 1:
      ButtonUpdate_Click();
      break;
    case 2:
      ButtonInsertList_Click();
      break;
    case 3:
      ButtonInsertLastSelected_click();
      break;
    default:
      ButtonExport_click();
      break;
  }
}

void Connect::AddinInstance_OnConnection(host::Application& Application, int /*ConnectMode*/,
                                         const host::AddInInstance& AddInInst, void* /*custom*/) {
  library::State().AddinTitle = library::kAddinTitle;
  RegisterOwnResources(widgets::AddinResources());
  application_ = &Application;
  Application.SetVisible(true);

  host::CommandBars& bars = Application.CommandBars();
  // A bar left from an earlier connection would make a second one (the host refuses the name).
  if (std::shared_ptr<host::CommandBar> stale = bars.Item(kBarName)) stale->Delete();
  bar_ = bars.Add(kBarName, host::kMissing, false, true);

  bool visible = true;
  int32_t position = 0, top = 0, left = 0, row = 0;
  if (SettingLoad(visible, position, top, left, row)) {
    bar_->SetVisible(visible);
    bar_->SetPosition(position);
    bar_->SetTop(top);
    bar_->SetLeft(left);
    bar_->SetRowIndex(row);
  } else {
    bar_->SetVisible(true);
  }

  const std::string onAction = OnActionFor(AddInInst.ProgId);
  ClipboardKeeper keeper;
  for (size_t i = 0; i < kBarButtons.size(); ++i) {
    const BarButton& buttonRow = kBarButtons[i];
    std::shared_ptr<host::CommandBarButton>& button = Member(i);
    button = bar_->AddControl(host::msoControlButton);
    clicks_[i] = button->ConnectClick([this, i](host::CommandBarButton&, bool&) { Handle(i); });
    const host::Picture picture = windows_.ListImage(buttonRow.picture);
    button->SetStyle(host::msoButtonIcon);
    button->SetTooltipText(buttonRow.tooltip);
    button->SetTag(buttonRow.tag);
    button->SetOnAction(onAction);
    PutButtonFace(&picture, 0);
    button->PasteFace();
    button->SetVisible(true);
  }
}

void Connect::AddinInstance_OnDisconnection(int /*RemoveMode*/, void* /*custom*/) {
  if (application_ == nullptr) return;
  SettingSave(*application_);
  host::CommandBars& bars = application_->CommandBars();
  for (size_t row : kDeleteOrder) {
    std::shared_ptr<host::CommandBarButton>& button = Member(row);
    button = bars.FindControl(kBarButtons[row].tag);
    if (button) button->Delete();
  }
  if (std::shared_ptr<host::CommandBar> bar = bars.Item(kBarName)) bar->Delete();

  for (size_t row = 0; row < kBarButtons.size(); ++row) {
    clicks_[row].reset();
    Member(row).reset();
  }
  bar_.reset();
  application_ = nullptr;
}

void Connect::SelAbbrev_Click() {
  library::AddinState& state = library::State();
  if (application_ != nullptr && !state.LibraryPath.empty()) {
    std::string selected = application_->Selection().Text();
    if (!selected.empty()) {
      selected = application_->Selection().Text();
      library::FindByPosition(selected, state.LastSelectedAbb, state.LastSelectedText);
    }
  }
  windows_.Show();
}

void Connect::ButtonUpdate_Click() {
  if (application_ != nullptr) document::ButtonUpdate_Click(*application_);
}

void Connect::ButtonInsertList_Click() {
  if (application_ != nullptr) document::ButtonInsertList_Click(*application_);
}

void Connect::ButtonInsertLastSelected_click() {
  if (application_ != nullptr) document::ButtonInsertLastSelected_click(*application_);
}

void Connect::ButtonExport_click() {
  if (application_ != nullptr) document::ButtonExport_click(*application_);
}

}  // namespace quillon::addin
