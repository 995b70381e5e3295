// The library manager run as a process, played by a scripted stand-in program.
#include "hosts/libreoffice/extension/ManagerProcess.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "support/TempDir.h"

namespace quillon::libreoffice {
namespace {

const std::string kFakeManager =
    std::filesystem::absolute("tests/data/manager/fake-manager.sh").string();

class ManagerProcessTest : public ::testing::Test {
 protected:
  void SetUp() override { ::setenv("FAKE_MANAGER_DIR", dir.Path().c_str(), 1); }
  void Script(const std::string& pick, int status) {
    testing::WriteFile(dir.File("pick"), pick);
    testing::WriteFile(dir.File("status"), std::to_string(status));
  }
  testing::TempDir dir;
};

// Closing without a choice (status 1, nothing printed) gives nothing. The library goes over as
// one argument, as it is.
TEST_F(ManagerProcessTest, ThePrintedPairIsTheChoice) {
  Script("", 1);
  const std::string library = dir.File("my library; $(touch hacked) 'x'.abb");
  EXPECT_EQ(PickWithManager(kFakeManager, library), std::nullopt);
  EXPECT_EQ(testing::ReadFile(dir.File("args")), "--pick\n" + library + "\n");
  EXPECT_FALSE(std::filesystem::exists("hacked"));
  PickWithManager(kFakeManager, "");  // no library: no argument for it
  EXPECT_EQ(testing::ReadFile(dir.File("args")), "--pick\n");
  struct Case {
    std::string printed;
    std::string abb, text;
  } cases[] = {
      {"ÄÖ\tÄrzte ohne Grenzen\n", "ÄÖ", "Ärzte ohne Grenzen"},
      {"A\tmeaning with\ta tab", "A", "meaning with\ta tab"},
      {"\tno abbreviation\n", "", "no abbreviation"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.printed);
    Script(c.printed, 0);
    std::optional<PickedEntry> picked = PickWithManager(kFakeManager, "/lib.abb");
    ASSERT_TRUE(picked.has_value());
    EXPECT_EQ(std::pair(picked->abb, picked->text), std::pair(c.abb, c.text));
  }
}

// The caller's windows are looked after while the user chooses; a failure there ends the wait.
TEST_F(ManagerProcessTest, TheCallerKeepsGoingWhileTheManagerIsOpen) {
  Script("A\ta\n", 0);
  testing::WriteFile(dir.File("delay"), "0.5");
  int calls = 0;
  std::optional<PickedEntry> picked = PickWithManager(kFakeManager, "/lib.abb", [&] { ++calls; });
  ASSERT_TRUE(picked.has_value());
  EXPECT_EQ(picked->abb, "A");
  EXPECT_GE(calls, 3);
  EXPECT_THROW(PickWithManager(kFakeManager, "/lib.abb",
                               [] { throw std::runtime_error("the window went away"); }),
               std::runtime_error);
}

TEST_F(ManagerProcessTest, WhatIsNoChoiceIsAnError) {
  struct Case {
    std::string program, printed;
    int status;
    std::string said;
  } cases[] = {
      {kFakeManager, "no tab here\n", 0, "printed no entry"},
      {kFakeManager, "A\ta\nB\tb\n", 0, "printed no entry"},
      {kFakeManager, "A\ta\n", 1, "failed with status 1"},
      {dir.File("missing-manager"), "", 0, "cannot run"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.printed + " / " + std::to_string(c.status));
    Script(c.printed, c.status);
    EXPECT_THAT([&] { PickWithManager(c.program, "/lib.abb"); },
                ::testing::ThrowsMessage<ManagerError>(::testing::HasSubstr(c.said)));
  }
}

TEST_F(ManagerProcessTest, TheEnvironmentChoosesTheProgram) {
  ::setenv("QUILLON_MANAGER", "/opt/elsewhere/manager", 1);
  EXPECT_EQ(ManagerProgram(), "/opt/elsewhere/manager");
  ::unsetenv("QUILLON_MANAGER");
  EXPECT_THAT(ManagerProgram(), ::testing::HasSubstr("quillon-manager"));  // not the one above
}

}  // namespace
}  // namespace quillon::libreoffice
