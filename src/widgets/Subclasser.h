// Routes the messages of windows to an owner, before and/or after the window's own handling,
// with a table of up to 32 messages per direction (or all messages). This class keeps the
// tables and raises the routing errors; the window layer (widgets/qt/QtSubclasser.h) delivers
// the messages, which there are Qt event types.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quillon::widgets {

enum class MsgWhen : int32_t { kBefore = 1, kAfter = 2, kBoth = 3 };

// Stands for every message in AddMsg and DelMsg.
inline constexpr uint32_t kAllMessages = 0xFFFFFFFF;
// Messages a table holds per direction.
inline constexpr size_t kMsgEntries = 32;

// The owner of a subclassed window.
class ISubclass {
 public:
  virtual ~ISubclass() = default;
  // Called with before true ahead of the window's own handling (handled = true stops it there)
  // and with before false after it. result is what the message returns.
  virtual void WndProc(bool before, bool& handled, int64_t& result, uintptr_t window,
                       uint32_t message) = 0;
};

class Subclasser {
 public:
  static constexpr const char* kSource = "Subclasser";

  // Starts routing window's messages to owner (not owned). Throws WidgetError for a null
  // window ("Invalid window handle") or one already subclassed.
  void Subclass(uintptr_t window, ISubclass* owner);
  // Stops routing window. Throws WidgetError when it is not subclassed.
  void UnSubclass(uintptr_t window);
  // Adds message to window's table for when. Throws WidgetError when subclassing has not
  // started, or on a 33rd message in a direction ("Message table overflow. ...").
  void AddMsg(uintptr_t window, uint32_t message, MsgWhen when);
  // Removes message from window's table for when. Throws WidgetError when it is not there
  // ("Message &H<hex> not found in table").
  void DelMsg(uintptr_t window, uint32_t message, MsgWhen when);
  // Whether window's table for the direction holds message (or all messages).
  bool Wants(uintptr_t window, uint32_t message, bool before) const;
  // The owner of window; nullptr when it is not subclassed.
  ISubclass* Owner(uintptr_t window) const;
  // The per-subclass value the owner may keep. Throws WidgetError when not subclassed.
  int64_t& lParamUser(uintptr_t window);
  // Stops routing every window.
  void Terminate() { windows_.clear(); }
  bool IsSubclassed(uintptr_t window) const { return windows_.count(window) != 0; }

 private:
  struct Entry {
    ISubclass* owner = nullptr;
    std::vector<uint32_t> before, after;
    int64_t lParamUser = 0;
  };
  Entry& At(uintptr_t window, const char* routine);

  std::map<uintptr_t, Entry> windows_;
};

}  // namespace quillon::widgets
