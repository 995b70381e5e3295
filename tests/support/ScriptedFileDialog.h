// A file-dialog service for tests: records every request and answers from a script (cancel
// once the script runs out). Installs itself while alive.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "addin/host/Platform.h"

namespace quillon::testing {

class ScriptedFileDialog : public host::FileDialogService {
 public:
  ScriptedFileDialog() : saved_(host::Platform().fileDialog) { host::Platform().fileDialog = this; }
  ~ScriptedFileDialog() override { host::Platform().fileDialog = saved_; }
  ScriptedFileDialog(const ScriptedFileDialog&) = delete;
  ScriptedFileDialog& operator=(const ScriptedFileDialog&) = delete;

  std::optional<std::string> Choose(const host::FileDialogRequest& request) override {
    requests.push_back(request);
    if (answers.empty()) return std::nullopt;
    std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::vector<host::FileDialogRequest> requests;
  std::deque<std::optional<std::string>> answers;

 private:
  host::FileDialogService* saved_;
};

}  // namespace quillon::testing
