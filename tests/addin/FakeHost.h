// A recording host for the add-in's tests: command bars, a settings store and a clipboard in
// memory, the calls on the bars written to one log in the order they arrive.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "addin/ManagerWindow.h"
#include "addin/host/Clipboard.h"
#include "addin/host/CommandBars.h"
#include "addin/host/HostError.h"
#include "addin/host/Platform.h"
#include "addin/host/SettingsStore.h"
#include "wordhost/docx/Application.h"

namespace quillon::testing {

using Log = std::vector<std::string>;

inline std::string Bool(bool value) {
  return value ? "-1" : "0";
}

// Runs call and returns the HostError it raised; fails the test when it raised none.
inline host::HostError RaisedBy(const std::function<void()>& call) {
  try {
    call();
  } catch (const host::HostError& e) {
    return e;
  }
  ADD_FAILURE() << "no error raised";
  return host::HostError(0, "");
}

// A host object that writes each call to the log as "<prefix>.<call>" and, once deleted,
// refuses every call as the host does.
class Recorded {
 public:
  bool deleted = false;

 protected:
  Recorded(Log& log, std::string prefix) : log_(log), prefix_(std::move(prefix)) {}
  void Call(const std::string& call) const {
    if (deleted) throw host::HostError(host::kErrObjectDeleted, "The object has been deleted");
    log_.push_back(prefix_ + "." + call);
  }
  void Remove() { Call("Delete"), deleted = true; }
  Log& log_;

 private:
  std::string prefix_;
};

class FakeButton : public host::CommandBarButton, public Recorded {
 public:
  FakeButton(Log& log, std::string name) : Recorded(log, std::move(name)) {}
  int Style() const override { return style; }
  void SetStyle(int s) override { Call("Style=" + std::to_string(s)), style = s; }
  std::string TooltipText() const override { return tooltip; }
  void SetTooltipText(const std::string& t) override { Call("TooltipText=" + t), tooltip = t; }
  std::string Tag() const override { return tag; }
  void SetTag(const std::string& t) override { Call("Tag=" + t), tag = t; }
  std::string OnAction() const override { return onAction; }
  void SetOnAction(const std::string& a) override { Call("OnAction=" + a), onAction = a; }
  bool Visible() const override { return visible; }
  void SetVisible(bool v) override { Call("Visible=" + Bool(v)), visible = v; }
  void PasteFace() override {
    Call("PasteFace");
    host::Clipboard* clipboard = host::Platform().clipboard;
    clipboard->Open();
    face = clipboard->GetData(clipboard->RegisterFormat("Toolbar Button Face")).value_or(face);
    mask = clipboard->GetData(clipboard->RegisterFormat("Toolbar Button Mask")).value_or(mask);
    clipboard->Close();
  }
  void Delete(host::Optional<bool>) override { Remove(); }
  std::shared_ptr<void> ConnectClick(host::ClickHandler handler) override {
    auto slot = std::make_shared<host::ClickHandler>(std::move(handler));
    click = slot;
    return slot;
  }
  // Delivers a click to the handler while its connection is held.
  void Click() {
    bool cancel = false;
    if (auto handler = click.lock()) (*handler)(*this, cancel);
  }

  int style = 0;
  std::string tooltip, tag, onAction;
  bool visible = true;
  std::vector<uint8_t> face, mask;
  std::weak_ptr<host::ClickHandler> click;
};

class FakeBar : public host::CommandBar, public Recorded {
 public:
  FakeBar(Log& log, std::string name) : Recorded(log, "Bar"), name_(std::move(name)) {}
  std::string Name() const override { return name_; }
  bool Visible() const override { return Call("Visible"), visible; }
  void SetVisible(bool v) override { Call("Visible=" + Bool(v)), visible = v; }
  int Position() const override { return Call("Position"), position; }
  void SetPosition(int p) override {
    if (p < 0 || p > 4) throw host::HostError(host::kErrBadParameter, "bad position");
    Call("Position=" + std::to_string(p)), position = p;
  }
  long Top() const override { return Call("Top"), position == 4 ? floatTop : top; }
  void SetTop(long t) override { Call("Top=" + std::to_string(t)), Floating(floatTop, top) = t; }
  long Left() const override { return Call("Left"), position == 4 ? floatLeft : left; }
  void SetLeft(long l) override {
    Call("Left=" + std::to_string(l)), Floating(floatLeft, left) = l;
  }
  long RowIndex() const override { return Call("RowIndex"), row; }
  void SetRowIndex(long r) override { Call("RowIndex=" + std::to_string(r)), row = r; }
  // A floating bar lays its buttons in one row; a docked one is as long as its dock.
  long Width() const override {
    return Call("Width"), position == 4 ? 24L * long(buttons.size()) + 6 : 800;
  }
  std::shared_ptr<host::CommandBarButton> AddControl(int type) override {
    Call("Controls.Add(" + std::to_string(type) + ")");
    auto button = std::make_shared<FakeButton>(log_, "Button" + std::to_string(buttons.size() + 1));
    buttons.push_back(button);
    return button;
  }
  void Delete() override { Remove(); }

  bool visible = true;
  int position = 4;
  long top = 0, left = 0, floatTop = 50, floatLeft = 60, row = 0;
  std::vector<std::shared_ptr<FakeButton>> buttons;

 private:
  long& Floating(long& floating, long& docked) { return position == 4 ? floating : docked; }
  std::string name_;
};

class FakeCommandBars : public host::CommandBars {
 public:
  explicit FakeCommandBars(Log& log) : log_(log) {}
  std::shared_ptr<host::CommandBar> Add(const std::string& name, host::Optional<int> position,
                                        bool menuBar, bool temporary) override {
    log_.push_back("CommandBars.Add(" + name + "," +
                   (position ? std::to_string(*position) : std::string("missing")) + "," +
                   Bool(menuBar) + "," + Bool(temporary) + ")");
    if (Find(name)) throw host::HostError(host::kErrBadParameter, "A bar of that name exists");
    auto bar = std::make_shared<FakeBar>(log_, name);
    bars.push_back(bar);
    return bar;
  }
  std::shared_ptr<host::CommandBarButton> FindControl(const std::string& tag) override {
    for (const auto& bar : bars) {
      if (bar->deleted) continue;
      for (const auto& button : bar->buttons)
        if (!button->deleted && button->tag == tag) return button;
    }
    return nullptr;
  }
  std::shared_ptr<host::CommandBar> Item(const std::string& name) override { return Find(name); }
  std::shared_ptr<FakeBar> Find(const std::string& name) const {
    for (const auto& bar : bars)
      if (!bar->deleted && bar->Name() == name) return bar;
    return nullptr;
  }

  std::vector<std::shared_ptr<FakeBar>> bars;

 private:
  Log& log_;
};

// The substitute Word (a real document model) with recorded command bars.
class FakeWord : public docx::Application {
 public:
  explicit FakeWord(Log& log) : bars(log) {}
  host::CommandBars& CommandBars() override { return bars; }
  FakeCommandBars bars;
};

class MemorySettings : public host::SettingsStore {
 public:
  std::optional<std::string> GetSetting(const std::string& application, const std::string& section,
                                        const std::string& key) override {
    auto it = values.find(application + "/" + section + "/" + key);
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  void SaveSetting(const std::string& application, const std::string& section,
                   const std::string& key, const std::string& value) override {
    values[application + "/" + section + "/" + key] = value;
    writes.push_back(key + "=" + value);
  }
  std::map<std::string, std::string> values;
  std::vector<std::string> writes;
};

class MemoryClipboard : public host::Clipboard {
 public:
  bool Open() override {
    if (busy || open) return false;
    open = true;
    return true;
  }
  void Close() override { open = false; }
  void Empty() override { data.clear(); }
  uint32_t RegisterFormat(const std::string& name) override {
    for (const auto& [number, known] : names)
      if (known == name) return number;
    const uint32_t number = 0xC000 + static_cast<uint32_t>(names.size());
    names[number] = name;
    return number;
  }
  std::optional<std::vector<uint8_t>> GetData(uint32_t format) override {
    auto it = data.find(format);
    if (it == data.end()) return std::nullopt;
    return it->second;
  }
  bool SetData(uint32_t format, std::vector<uint8_t> block) override {
    if (!open) return false;
    data[format] = std::move(block);
    return true;
  }
  host::ClipboardContent Save() override {
    host::ClipboardContent content;
    for (const auto& [format, block] : data) content.items.push_back({Name(format), block});
    return content;
  }
  void Restore(const host::ClipboardContent& content) override {
    data.clear();
    for (const auto& [name, block] : content.items)
      data[name == "CF_DIB" ? host::kCfDib : name == "text" ? 1 : RegisterFormat(name)] = block;
    ++restores;
  }
  std::string Name(uint32_t format) const {
    if (format == host::kCfDib) return "CF_DIB";
    if (format == 1) return "text";
    auto it = names.find(format);
    return it == names.end() ? "?" : it->second;
  }
  // Block under a registered format name, empty when none.
  std::vector<uint8_t> Block(const std::string& name) {
    return GetData(RegisterFormat(name)).value_or(std::vector<uint8_t>{});
  }

  bool busy = false;
  bool open = false;
  int restores = 0;
  std::map<uint32_t, std::vector<uint8_t>> data;
  std::map<uint32_t, std::string> names;
};

// A test with one call log and an in-memory settings store and clipboard installed.
class HostServicesTest : public ::testing::Test {
 protected:
  HostServicesTest() {
    host::Platform().settings = &settings;
    host::Platform().clipboard = &clipboard;
  }
  ~HostServicesTest() override { host::Platform() = saved_; }
  // Stores value under key in the add-in's settings section, as an earlier session would have.
  void Store(const std::string& key, const std::string& value) {
    settings.values["Quillon AddIn/ToolBar/" + key] = value;
  }

  Log log;
  MemorySettings settings;
  MemoryClipboard clipboard;

 private:
  host::PlatformServices saved_ = host::Platform();
};

// The manager window's stand-in: 16 pictures of 2 x 2 pixels whose first pixel is black and
// whose others carry the item number.
class FakeManager : public addin::ManagerWindow {
 public:
  host::Picture ListImage(int32_t item) override {
    if (item < 1 || item > 16) return {};
    auto bitmap = std::make_shared<host::Bitmap>();
    bitmap->width = 2;
    bitmap->height = 2;
    const uint32_t colour = static_cast<uint32_t>(item) * 0x010101u;
    bitmap->pixels = {0x000000, colour, colour, colour};
    return {host::kPicTypeBitmap, bitmap, std::nullopt};
  }
  void Show() override { ++shown; }
  int shown = 0;
};

}  // namespace quillon::testing
