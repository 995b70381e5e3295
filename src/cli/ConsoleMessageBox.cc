#include "cli/ConsoleMessageBox.h"

namespace quillon::cli {

host::MsgBoxResult ConsoleMessageBox::Show(const host::MessageBoxRequest& request) {
  std::ostream& out = holding_ ? static_cast<std::ostream&>(held_) : err_;
  out << request.title << ": " << request.text << '\n';
  if (request.buttons != host::MsgBoxButtons::kYesNo) return host::MsgBoxResult::kOk;
  out << "  -> " << (answerYes_ ? "Yes" : "No") << '\n';
  return answerYes_ ? host::MsgBoxResult::kYes : host::MsgBoxResult::kNo;
}

void ConsoleMessageBox::Release() {
  err_ << held_.str();
  Discard();
}

void ConsoleMessageBox::Discard() {
  held_.str("");
  holding_ = false;
}

}  // namespace quillon::cli
