#include "hosts/libreoffice/LibreOfficeSession.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

#include "base/ProcessState.h"
#include "hosts/libreoffice/LibreOfficeError.h"
#include "hosts/libreoffice/UnoSession.h"
#include "support/DocumentFiles.h"
#include "support/TempDir.h"
#include "wordhost/docx/DocxBuilder.h"

namespace quillon::libreoffice {
namespace {

namespace fs = std::filesystem;

// Returns the command line of process pid with blanks for its NULs, "" when it is gone or a zombie.
std::string CommandLineOf(long pid) {
  if (ProcessEnded(static_cast<pid_t>(pid))) return {};
  std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
  std::string line{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::replace(line.begin(), line.end(), '\0', ' ');
  return line;
}

bool SofficeRuns(long pid) {
  return pid > 0 && CommandLineOf(pid).find("soffice") != std::string::npos;
}

// Returns how many live processes mention text on their command line.
int ProcessesMentioning(const std::string& text) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    if (CommandLineOf(std::stol(name)).find(text) != std::string::npos) ++count;
  }
  return count;
}

// Polls condition until it holds or timeout passes; returns its last value.
bool WaitFor(const std::function<bool()>& condition, std::chrono::seconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

// A loopback port that closes the first connection it takes as soon as it comes and relays every
// later one to the port target: a soffice that answers but breaks off the first handshake.
class BreaksOffOnceRelay {
 public:
  explicit BreaksOffOnceRelay(int target) : target_(target) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::pipe2(stop_, O_CLOEXEC) != 0 ||
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      throw std::runtime_error("cannot open the relay's port");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Run(); });
  }
  ~BreaksOffOnceRelay() {
    ::close(stop_[1]);
    thread_.join();
    for (auto [a, b] : pairs_) {
      ::close(a);
      ::close(b);
    }
    ::close(stop_[0]);
    ::close(listener_);
  }
  int Port() const { return port_; }

 private:
  static sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
  }

  void Run() {
    bool brokeOff = false;
    for (;;) {
      std::vector<pollfd> fds = {{stop_[0], POLLIN, 0}, {listener_, POLLIN, 0}};
      for (auto [a, b] : pairs_) {
        fds.push_back({a, POLLIN, 0});
        fds.push_back({b, POLLIN, 0});
      }
      if (::poll(fds.data(), fds.size(), -1) < 0) continue;
      if (fds[0].revents != 0) return;
      std::vector<bool> ended(pairs_.size());
      for (size_t i = 2; i < fds.size(); ++i) {
        if (fds[i].revents == 0) continue;
        auto [a, b] = pairs_[(i - 2) / 2];
        char buffer[65536];
        ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
        int to = fds[i].fd == a ? b : a;
        if (n <= 0 || ::write(to, buffer, static_cast<size_t>(n)) != n) ended[(i - 2) / 2] = true;
      }
      for (size_t i = pairs_.size(); i-- > 0;) {
        if (!ended[i]) continue;
        ::close(pairs_[i].first);
        ::close(pairs_[i].second);
        pairs_.erase(pairs_.begin() + static_cast<long>(i));
      }
      if (fds[1].revents == 0) continue;
      int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      if (!std::exchange(brokeOff, true)) {
        ::close(client);
        continue;
      }
      int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
      sockaddr_in address = Loopback(target_);
      if (::connect(server, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(server);
        ::close(client);
        continue;
      }
      pairs_.emplace_back(client, server);
    }
  }

  int target_;
  int listener_ = -1;
  int stop_[2] = {-1, -1};
  int port_ = 0;
  std::vector<std::pair<int, int>> pairs_;
  std::thread thread_;
};

class LibreOfficeSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!SofficeInstalled()) GTEST_FAIL() << "soffice is missing: scripts/setup.sh installs it";
    testing::WriteFile(document, bytes);
  }
  testing::TempDir dir;
  const std::string document = dir.File("open.docx");
  const std::string bytes = docx::testing::MakeDocx(docx::testing::P(docx::testing::R("Open")));
};

// Stopped either way, at once even with a document open: soffice and the profile go, and the
// document stays as it was, with no lock file beside it.
TEST_F(LibreOfficeSessionTest, StartsOnAPrivateProfileAndStopsByPidLeavingNothing) {
  for (bool atOnce : {false, true}) {
    SCOPED_TRACE(atOnce ? "stopped at once" : "stopped");
    LibreOfficeSession session;
    pid_t pid = session.SofficePid();
    std::string profile = session.ProfileDir();
    EXPECT_TRUE(SofficeRuns(pid));
    EXPECT_GT(session.Port(), 0);
    EXPECT_THAT(CommandLineOf(pid), ::testing::HasSubstr("port=" + std::to_string(session.Port())));
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
// stop leaves the first one's soffice working. A connection that breaks off in the middle of
// the handshake, as one on that port now and then does, is asked again.
TEST_F(LibreOfficeSessionTest, APortAnotherSofficeTookIsLeftToIt) {
  LibreOfficeSession first;
  BreaksOffOnceRelay relay(first.Port());
  SessionOptions options;
  options.firstPort = relay.Port();
  LibreOfficeSession second(options);
  EXPECT_NE(second.Port(), first.Port());
  EXPECT_NE(second.Port(), relay.Port());
  EXPECT_NE(second.SofficePid(), first.SofficePid());
  EXPECT_THAT(CommandLineOf(second.SofficePid()),
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

// The session's process ended by a signal (Ctrl-C, a kill): soffice and the profile go too.
TEST_F(LibreOfficeSessionTest, NothingOutlivesTheProcessThatStartedIt) {
  for (int signal : {SIGINT, SIGKILL}) {
    SCOPED_TRACE(signal);
    FILE* probe = ::popen("exec " QUILLON_SESSION_PROBE, "r");
    ASSERT_NE(probe, nullptr);
    long probePid = 0, pid = 0;
    char profile[4096] = {};
    ASSERT_EQ(std::fscanf(probe, "%ld %ld %4095s", &probePid, &pid, profile), 3);
    EXPECT_TRUE(SofficeRuns(pid));
    ASSERT_GT(probePid, 0);
    ::kill(static_cast<pid_t>(probePid), signal);
    ::pclose(probe);
    EXPECT_TRUE(WaitFor([&] { return !SofficeRuns(pid); }, std::chrono::seconds(30)));
    EXPECT_TRUE(WaitFor([&] { return !fs::exists(fs::path(profile).parent_path()); },
                        std::chrono::seconds(30)));
  }
}

}  // namespace
}  // namespace quillon::libreoffice
