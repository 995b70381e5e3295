// The message-box service: every message the add-in shows goes through it. The desktop host
// shows real dialogs, the command line prints "title: text", tests script the answers.
#pragma once

#include <string>

namespace quillon::host {

// Button sets and icons keep the values of the classic message box flags.
enum class MsgBoxButtons { kOkOnly = 0, kYesNo = 4 };
enum class MsgBoxIcon {
  kNone = 0,
  kCritical = 16,
  kQuestion = 32,
  kExclamation = 48,
  kInformation = 64
};
enum class MsgBoxResult { kOk = 1, kCancel = 2, kYes = 6, kNo = 7 };

// Title used when a message names none: the component's own name.
inline constexpr const char* kDefaultMessageBoxTitle = "Quillon";

struct MessageBoxRequest {
  std::string text;
  std::string title;
  MsgBoxButtons buttons = MsgBoxButtons::kOkOnly;
  MsgBoxIcon icon = MsgBoxIcon::kNone;
};

class MessageBoxService {
 public:
  virtual ~MessageBoxService() = default;
  // Shows the message and returns the button the user chose; kOk for an OK-only box.
  virtual MsgBoxResult Show(const MessageBoxRequest& request) = 0;
};

}  // namespace quillon::host
