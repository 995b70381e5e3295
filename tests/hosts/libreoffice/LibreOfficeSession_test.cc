#include "hosts/libreoffice/LibreOfficeSession.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <iterator>

#include "hosts/libreoffice/LibreOfficeError.h"
#include "hosts/libreoffice/SofficeProcesses.h"
#include "hosts/libreoffice/UnoSession.h"
#include "support/DocumentFiles.h"
#include "support/TempDir.h"
#include "wordhost/docx/DocxBuilder.h"

namespace quillon::libreoffice {
namespace {

namespace fs = std::filesystem;
using testing::ProcessesMentioning;
using testing::SofficeRuns;
using testing::WaitFor;

class LibreOfficeSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!SofficeInstalled()) GTEST_FAIL() << "soffice is missing: scripts/setup.sh installs it";
  }
};

// Stopped either way, at once even with a document open: soffice and the profile go, and the
// document stays as it was, with no lock file beside it.
TEST_F(LibreOfficeSessionTest, StartsOnAPrivateProfileAndStopsByPidLeavingNothing) {
  testing::TempDir dir;
  const std::string document = dir.File("open.docx");
  const std::string bytes = docx::testing::MakeDocx(docx::testing::P(docx::testing::R("Open")));
  testing::WriteFile(document, bytes);
  for (bool atOnce : {false, true}) {
    SCOPED_TRACE(atOnce ? "stopped at once" : "stopped");
    LibreOfficeSession session;
    pid_t pid = session.SofficePid();
    std::string profile = session.ProfileDir();
    EXPECT_TRUE(SofficeRuns(pid));
    EXPECT_GT(session.Port(), 0);
    EXPECT_THAT(testing::CommandLineOf(pid),
                ::testing::HasSubstr("port=" + std::to_string(session.Port())));
    EXPECT_TRUE(fs::is_directory(profile + "/user"));
    if (atOnce) {
      LoadHidden(session, document);
      EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
      session.StopAtOnce();
    } else {
      session.Stop();
    }
    EXPECT_FALSE(SofficeRuns(pid));
    EXPECT_FALSE(fs::exists(fs::path(profile).parent_path()));
    EXPECT_EQ(session.SofficePid(), 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
    EXPECT_EQ(testing::ReadFile(document), bytes);
    session.Stop();  // nothing left to stop
    EXPECT_THROW(session.uno(), LibreOfficeError);
  }
}

// A session whose start fails or times out leaves no soffice and no folder behind.
TEST_F(LibreOfficeSessionTest, AStartThatTimesOutLeavesNothing) {
  testing::TempDir tmp;
  std::string oldTmp = getenv("TMPDIR") ? getenv("TMPDIR") : "";
  ::setenv("TMPDIR", tmp.Path().c_str(), 1);
  SessionOptions options;
  options.startTimeout = std::chrono::milliseconds(1);
  EXPECT_THROW(LibreOfficeSession{options}, LibreOfficeError);
  if (oldTmp.empty()) {
    ::unsetenv("TMPDIR");
  } else {
    ::setenv("TMPDIR", oldTmp.c_str(), 1);
  }
  EXPECT_TRUE(fs::is_empty(tmp.Path()));
  EXPECT_EQ(ProcessesMentioning(tmp.Path().string()), 0);
}

// Two sessions that happen onto one port (each picks a free port, then starts soffice on it):
// the second finds the first one's soffice answering, starts its own on another port, and its
// stop leaves the first one's soffice working.
TEST_F(LibreOfficeSessionTest, APortAnotherSofficeTookIsLeftToIt) {
  testing::TempDir dir;
  const std::string document = dir.File("open.docx");
  testing::WriteFile(document, docx::testing::MakeDocx(docx::testing::P(docx::testing::R("Open"))));
  LibreOfficeSession first;
  SessionOptions options;
  options.firstPort = first.Port();
  LibreOfficeSession second(options);
  EXPECT_NE(second.Port(), first.Port());
  EXPECT_NE(second.SofficePid(), first.SofficePid());
  EXPECT_THAT(testing::CommandLineOf(second.SofficePid()),
              ::testing::HasSubstr("port=" + std::to_string(second.Port())));
  CloseDocument(LoadHidden(second, document));
  second.Stop();
  EXPECT_TRUE(SofficeRuns(first.SofficePid()));
  EXPECT_NO_THROW(CloseDocument(LoadHidden(first, document)));
}

// A soffice gone from under a running session: the session tells how it ended.
TEST_F(LibreOfficeSessionTest, TellsHowSofficeEndedFromUnderIt) {
  LibreOfficeSession session;
  EXPECT_EQ(session.HowSofficeEnded(), "");
  ::kill(session.SofficePid(), SIGKILL);
  EXPECT_TRUE(
      WaitFor([&] { return !session.HowSofficeEnded().empty(); }, std::chrono::seconds(30)));
  EXPECT_EQ(session.HowSofficeEnded(), "soffice was ended by signal 9");
  session.Stop();
  EXPECT_EQ(session.HowSofficeEnded(), "");
}

}  // namespace
}  // namespace quillon::libreoffice
