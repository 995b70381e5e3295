// The command line's message-box service: prints "title: text" to standard error and answers
// questions from the command's flags.
#pragma once

#include <ostream>

#include "addin/host/MessageBox.h"

namespace quillon::cli {

class ConsoleMessageBox : public host::MessageBoxService {
 public:
  // err must outlive this object.
  explicit ConsoleMessageBox(std::ostream& err) : err_(err) {}

  // Questions are answered Yes when set (a --force flag), No otherwise.
  void SetAnswerYes(bool yes) { answerYes_ = yes; }

  host::MsgBoxResult Show(const host::MessageBoxRequest& request) override;

 private:
  std::ostream& err_;
  bool answerYes_ = false;
};

}  // namespace quillon::cli
