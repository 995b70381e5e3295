#include "cli/ConsoleMessageBox.h"

namespace quillon::cli {

host::MsgBoxResult ConsoleMessageBox::Show(const host::MessageBoxRequest& request) {
  err_ << request.title << ": " << request.text << '\n';
  if (request.buttons != host::MsgBoxButtons::kYesNo) return host::MsgBoxResult::kOk;
  err_ << "  -> " << (answerYes_ ? "Yes" : "No") << '\n';
  return answerYes_ ? host::MsgBoxResult::kYes : host::MsgBoxResult::kNo;
}

}  // namespace quillon::cli
