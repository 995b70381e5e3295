// A message-box service for tests: records every message shown and answers questions from a
// script (No once the script runs out). Installs itself while alive.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "addin/host/Platform.h"

namespace quillon::testing {

class ScriptedMessageBox : public host::MessageBoxService {
 public:
  ScriptedMessageBox() : saved_(host::Platform().messageBox) { host::Platform().messageBox = this; }
  ~ScriptedMessageBox() override { host::Platform().messageBox = saved_; }
  ScriptedMessageBox(const ScriptedMessageBox&) = delete;
  ScriptedMessageBox& operator=(const ScriptedMessageBox&) = delete;

  host::MsgBoxResult Show(const host::MessageBoxRequest& request) override {
    shown.push_back(request);
    if (request.buttons == host::MsgBoxButtons::kOkOnly) return host::MsgBoxResult::kOk;
    if (answers.empty()) return host::MsgBoxResult::kNo;
    host::MsgBoxResult answer = answers.front();
    answers.pop_front();
    return answer;
  }

  // The texts shown, in order.
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& m : shown) texts.push_back(m.text);
    return texts;
  }

  std::vector<host::MessageBoxRequest> shown;
  std::deque<host::MsgBoxResult> answers;

 private:
  host::MessageBoxService* saved_;
};

}  // namespace quillon::testing
