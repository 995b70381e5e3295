#include "cli/ConsoleMessageBox.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quillon::cli {
namespace {

// A routine's "updated" is printed once the command has succeeded, before the message of a
// failure inside the routine, and never over a failure of a later step such as the save.
TEST(HeldMessages, PrintedWhenTheCommandEndsUnlessALaterStepFailed) {
  const struct {
    const char* name;
    bool routineDone, failed;
    const char* printed;
  } cases[] = {
      {"succeeded", true, false, "Quillon plugin: updated\n"},
      {"the routine failed", false, true, "Quillon plugin: updated\nquillon: failure\n"},
      {"a later step failed", true, true, "quillon: failure\n"},
  };
  for (const auto& c : cases) {
    std::ostringstream err;
    ConsoleMessageBox messages(err);
    {
      HeldMessages held(messages);
      messages.Show({"updated", "Quillon plugin"});
      EXPECT_EQ(err.str(), "") << c.name;
      if (c.routineDone) held.RoutineDone();
      if (c.failed) {
        held.Failed();
        err << "quillon: failure\n";
      }
    }
    messages.Show({"after the command", "Quillon plugin"});  // printed at once again
    EXPECT_EQ(err.str(), std::string(c.printed) + "Quillon plugin: after the command\n") << c.name;
  }
}

}  // namespace
}  // namespace quillon::cli
