// The command line's message-box service: prints "title: text" to standard error and answers
// questions from the command's flags.
#pragma once

#include <ostream>
#include <sstream>

#include "addin/host/MessageBox.h"

namespace quillon::cli {

class ConsoleMessageBox : public host::MessageBoxService {
 public:
  // err must outlive this object.
  explicit ConsoleMessageBox(std::ostream& err) : err_(err) {}

  // Questions are answered Yes when set (a --force flag), No otherwise.
  void SetAnswerYes(bool yes) { answerYes_ = yes; }

  host::MsgBoxResult Show(const host::MessageBoxRequest& request) override;

  // From now on keeps the messages instead of printing them, until Release or Discard.
  void Hold() { holding_ = true; }
  // Prints the kept messages in the order they came; later ones print at once again.
  void Release();
  // Forgets the kept messages; later ones print at once again.
  void Discard();

 private:
  std::ostream& err_;
  bool answerYes_ = false;
  bool holding_ = false;
  std::ostringstream held_;
};

// Holds a document command's messages while it runs. A routine reports "updated" as it ends,
// but the command has succeeded only once the document is saved: the messages are printed when
// this goes out of scope, and a failure after the routine drops them, so that no "updated"
// stands over a failed save.
class HeldMessages {
 public:
  // messages must outlive this object.
  explicit HeldMessages(ConsoleMessageBox& messages) : messages_(messages) { messages_.Hold(); }
  ~HeldMessages() { messages_.Release(); }
  HeldMessages(const HeldMessages&) = delete;
  HeldMessages& operator=(const HeldMessages&) = delete;

  // The routine has finished: a failure from now on drops what it said.
  void RoutineDone() { routineDone_ = true; }
  // Call before printing a failure's own message: what the routine said is printed first when
  // the routine itself failed, and dropped when a later step failed.
  void Failed() {
    if (routineDone_) {
      messages_.Discard();
    } else {
      messages_.Release();
    }
  }

 private:
  ConsoleMessageBox& messages_;
  bool routineDone_ = false;
};

}  // namespace quillon::cli
