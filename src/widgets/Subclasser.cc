#include "widgets/Subclasser.h"

#include <algorithm>
#include <cstdio>

#include "widgets/WidgetError.h"

namespace quillon::widgets {
namespace {

constexpr int kErrSubclass = 5;  // the platform's "invalid procedure call" number

[[noreturn]] void Raise(const std::string& description) {
  throw WidgetError(kErrSubclass, Subclasser::kSource, description);
}

void Add(std::vector<uint32_t>& table, uint32_t message) {
  if (std::find(table.begin(), table.end(), message) != table.end()) return;
  if (message == kAllMessages) {
    table.assign(1, kAllMessages);
    return;
  }
  if (table.size() >= kMsgEntries) {
    Raise(
        "Message table overflow. Either increase the value of Const MSG_ENTRIES or use "
        "ALL_MESSAGES instead of specific message values");
  }
  table.push_back(message);
}

void Remove(std::vector<uint32_t>& table, uint32_t message) {
  auto it = std::find(table.begin(), table.end(), message);
  if (it == table.end()) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", message);
    Raise(std::string("Message &H") + hex + " not found in table");
  }
  table.erase(it);
}

bool Holds(const std::vector<uint32_t>& table, uint32_t message) {
  return std::find(table.begin(), table.end(), message) != table.end() ||
         std::find(table.begin(), table.end(), kAllMessages) != table.end();
}

}  // namespace

Subclasser::Entry& Subclasser::At(uintptr_t window, const char* routine) {
  auto it = windows_.find(window);
  if (it == windows_.end()) {
    Raise(std::string(routine) == "UnSubclass" ? "Window handle isn't subclassed"
                                               : "Subclassing hasn't been started");
  }
  return it->second;
}

void Subclasser::Subclass(uintptr_t window, ISubclass* owner) {
  if (window == 0) Raise("Invalid window handle");
  if (IsSubclassed(window)) Raise("Window handle is already subclassed");
  windows_[window].owner = owner;
}

void Subclasser::UnSubclass(uintptr_t window) {
  At(window, "UnSubclass");
  windows_.erase(window);
}

void Subclasser::AddMsg(uintptr_t window, uint32_t message, MsgWhen when) {
  Entry& entry = At(window, "zAddMsg");
  if (static_cast<int32_t>(when) & static_cast<int32_t>(MsgWhen::kBefore))
    Add(entry.before, message);
  if (static_cast<int32_t>(when) & static_cast<int32_t>(MsgWhen::kAfter)) Add(entry.after, message);
}

void Subclasser::DelMsg(uintptr_t window, uint32_t message, MsgWhen when) {
  Entry& entry = At(window, "zDelMsg");
  if (static_cast<int32_t>(when) & static_cast<int32_t>(MsgWhen::kBefore)) {
    Remove(entry.before, message);
  }
  if (static_cast<int32_t>(when) & static_cast<int32_t>(MsgWhen::kAfter)) {
    Remove(entry.after, message);
  }
}

bool Subclasser::Wants(uintptr_t window, uint32_t message, bool before) const {
  auto it = windows_.find(window);
  if (it == windows_.end()) return false;
  return Holds(before ? it->second.before : it->second.after, message);
}

ISubclass* Subclasser::Owner(uintptr_t window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : it->second.owner;
}

int64_t& Subclasser::lParamUser(uintptr_t window) {
  return At(window, "zMap_hWnd").lParamUser;
}

}  // namespace quillon::widgets
