#include "hosts/libreoffice/LibreOfficeSession.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/util/PathSubstitution.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <osl/file.hxx>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "base/ProcessState.h"
#include "hosts/libreoffice/LibreOfficeError.h"
#include "hosts/libreoffice/UnoSession.h"

namespace quillon::libreoffice {
namespace {

namespace fs = std::filesystem;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

constexpr const char* kSofficeBin = QUILLON_LO_PROGRAM "/soffice.bin";

// The keeper: a shell in a session of its own (so that a Ctrl-C on our terminal does not reach
// it) that runs soffice, restarting it while it asks for that (exit status 81, which a fresh
// profile's first start gives), and notes how it ended (its status, in soffice.status, then
// the file exited), until its standard input, a pipe from our process, closes:
// when we stop the session or die. Then it sends soffice SIGTERM, kills it after the timeout
// and removes the whole folder with the profile.
constexpr const char* kKeeperScript = R"sh(
bin=$1; dir=$2; profile=$3; port=$4; ticks=$5
# soffice's own temporary files live in the session's folder and go with it, even when soffice
# is killed before it could remove them.
mkdir -p "$dir/tmp" && export TMPDIR="$dir/tmp"
(
  while [ ! -e "$dir/stop" ]; do
    "$bin" --headless --invisible --nologo --norestore --nodefault --nolockcheck \
      --nofirststartwizard "-env:UserInstallation=$profile" \
      "--accept=socket,host=127.0.0.1,port=$port;urp;StarOffice.ComponentContext" &
    echo $! > "$dir/soffice.pid.new" && mv "$dir/soffice.pid.new" "$dir/soffice.pid"
    wait $!
    status=$?
    echo $status > "$dir/soffice.status"
    [ $status -eq 81 ] || break
  done
  : > "$dir/exited"
) </dev/null >/dev/null 2>&1 &
runner=$!
read -r line
: > "$dir/stop"
pid=$(cat "$dir/soffice.pid" 2>/dev/null)
[ -n "$pid" ] && [ ! -e "$dir/exited" ] && kill -TERM "$pid" 2>/dev/null
i=0
while [ ! -e "$dir/exited" ] && [ $i -lt "$ticks" ]; do sleep 0.1; i=$((i+1)); done
if [ ! -e "$dir/exited" ]; then
  pid=$(cat "$dir/soffice.pid" 2>/dev/null)
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
fi
wait $runner
rm -rf "$dir"
)sh";

// Settings of a session's profile that spare soffice work nobody sees: a headless session
// shows no red underlines and offers no word completion, yet both would otherwise read the
// whole document in the background, on the same thread our calls wait for.
constexpr const char* kSessionSettings = R"xcu(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Linguistic/SpellChecking"><prop oor:name="IsSpellAuto" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Writer/AutoFunction/Completion"><prop oor:name="Enable" oor:op="fuse"><value>false</value></prop></item>
</oor:items>
)xcu";

// Puts the session settings into profile unless its template brought settings of its own.
void WriteSessionSettings(const std::string& profile) {
  fs::path settings = fs::path(profile) / "user" / "registrymodifications.xcu";
  std::error_code error;
  if (fs::exists(settings, error)) return;
  fs::create_directories(settings.parent_path(), error);
  std::ofstream out(settings);
  out << kSessionSettings;
  if (!out.flush()) throw LibreOfficeError("cannot write the session's settings in " + profile);
}

// Returns a loopback port that is free now.
int FreeLoopbackPort() {
  int sock = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (sock < 0) throw LibreOfficeError(std::string("no socket: ") + std::strerror(errno));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  bool ok = ::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::getsockname(sock, reinterpret_cast<sockaddr*>(&address), &length) == 0;
  int error = errno;
  ::close(sock);
  if (!ok) throw LibreOfficeError(std::string("no free loopback port: ") + std::strerror(error));
  return ntohs(address.sin_port);
}

// The local UNO runtime, bootstrapped once per process and kept for its whole life (tearing it
// down at exit races the bridges' threads).
const Reference<css::uno::XComponentContext>& LocalContext() {
  static const Reference<css::uno::XComponentContext>* context = [] {
    ::setenv("URE_BOOTSTRAP", "vnd.sun.star.pathname:" QUILLON_LO_PROGRAM "/fundamentalrc", 1);
    try {
      return new Reference<css::uno::XComponentContext>(
          cppu::defaultBootstrap_InitialComponentContext());
    } catch (const css::uno::Exception& e) {
      throw LibreOfficeError("cannot start the UNO runtime: " + ToUtf8(e.Message));
    }
  }();
  return *context;
}

// How many times a session starts soffice on a fresh port when the port it picked turns out to
// answer for another soffice.
constexpr int kPortAttempts = 5;

// Returns whether the soffice behind context runs on the profile folder profile. Throws
// css::lang::DisposedException when that soffice goes away while asked.
bool RunsOnProfile(const Reference<css::uno::XComponentContext>& context,
                   const std::string& profile) {
  OUString userUrl =
      css::util::PathSubstitution::create(context)->getSubstituteVariableValue("$(user)");
  OUString userPath;
  if (osl::FileBase::getSystemPathFromFileURL(userUrl, userPath) != osl::FileBase::E_None) {
    return false;
  }
  std::error_code error;
  return fs::equivalent(ToUtf8(userPath), fs::path(profile) / "user", error);
}

}  // namespace

struct LibreOfficeSession::Process {
  std::string dir;      // holds the profile and the keeper's files; removed by the keeper
  std::string profile;  // dir/profile
  int port = 0;
  pid_t keeper = 0;
  int keeperInput = -1;  // write end of the keeper's standard input
  pid_t soffice = 0;

  // Returns whether the keeper has ended (and reaps it).
  bool KeeperGone() {
    if (keeper == 0) return true;
    int status = 0;
    pid_t r = ::waitpid(keeper, &status, WNOHANG);
    if (r == keeper || (r < 0 && errno == ECHILD)) {
      keeper = 0;
      return true;
    }
    return false;
  }

  // Reads soffice's pid as the keeper wrote it (0 when not yet there).
  pid_t ReadSofficePid() const {
    std::ifstream in(dir + "/soffice.pid");
    long pid = 0;
    in >> pid;
    return static_cast<pid_t>(pid);
  }

  // Starts the keeper, which starts soffice on a fresh profile (a copy of profileTemplate when
  // given) listening on fixedPort, or on a free port when fixedPort is 0.
  void Start(std::chrono::milliseconds stopTimeout, const std::string& profileTemplate,
             int fixedPort) {
    std::string pattern = (fs::temp_directory_path() / "quillon-lo-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      throw LibreOfficeError("cannot make a profile folder: " + std::string(std::strerror(errno)));
    }
    dir = pattern;
    profile = dir + "/profile";
    if (!profileTemplate.empty()) {
      std::error_code error;
      fs::copy(profileTemplate, profile,
               fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
      if (error) {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
        throw LibreOfficeError("cannot copy the profile " + profileTemplate + ": " +
                               error.message());
      }
    }
    WriteSessionSettings(profile);
    OUString profileUrl;
    osl::FileBase::getFileURLFromSystemPath(ToOUString(profile), profileUrl);
    port = fixedPort != 0 ? fixedPort : FreeLoopbackPort();

    std::string ticks = std::to_string(std::max<long>(1, stopTimeout.count() / 100));
    std::string portText = std::to_string(port);
    std::string url = ToUtf8(profileUrl);
    std::vector<const char*> argv = {"sh",          "-c",        kKeeperScript, "sh",
                                     kSofficeBin,   dir.c_str(), url.c_str(),   portText.c_str(),
                                     ticks.c_str(), nullptr};
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
      fs::remove_all(dir);
      throw LibreOfficeError("cannot make a pipe: " + std::string(std::strerror(errno)));
    }
    int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    pid_t child = ::fork();
    if (child == 0) {
      // Only async-signal-safe calls until exec.
      ::setsid();
      ::dup2(fds[0], STDIN_FILENO);
      if (devNull >= 0) {
        ::dup2(devNull, STDOUT_FILENO);
        ::dup2(devNull, STDERR_FILENO);
      }
      ::execv("/bin/sh", const_cast<char* const*>(argv.data()));
      ::_exit(127);
    }
    int forkError = errno;
    ::close(fds[0]);
    if (devNull >= 0) ::close(devNull);
    if (child < 0) {
      ::close(fds[1]);
      fs::remove_all(dir);
      throw LibreOfficeError("cannot start soffice: " + std::string(std::strerror(forkError)));
    }
    keeper = child;
    keeperInput = fds[1];
  }

  // Connects to the soffice answering on port, waiting up to timeout for one to answer and
  // keep the connection. Returns true with uno's context and desktop set when that soffice runs
  // on this profile, false (uno untouched) when another soffice answers. Throws LibreOfficeError
  // when none answers in time or ours has ended.
  bool Handshake(const Reference<css::uno::XComponentContext>& local,
                 std::chrono::milliseconds timeout, Uno& uno) {
    OUString address = "uno:socket,host=127.0.0.1,port=" + OUString::number(port) +
                       ";urp;StarOffice.ComponentContext";
    auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string lastError = "no answer";
    Reference<css::bridge::XUnoUrlResolver> resolver = css::bridge::UnoUrlResolver::create(local);
    for (;;) {
      try {
        Reference<css::uno::XComponentContext> context(resolver->resolve(address), UNO_QUERY_THROW);
        if (!RunsOnProfile(context, profile)) return false;
        uno.desktop = css::frame::Desktop::create(context);
        uno.context = context;
        return true;
      } catch (const css::connection::NoConnectException& e) {
        lastError = ToUtf8(e.Message);
      } catch (const css::lang::DisposedException& e) {
        // The connection broke off mid-call, as it now and then does while our soffice starts
        // on a port another soffice holds. Ask again: the soffice that answers next decides,
        // and an ended soffice of ours shows below.
        lastError = ToUtf8(e.Message);
      }
      if (KeeperGone() || ::access((dir + "/exited").c_str(), F_OK) == 0) {
        throw LibreOfficeError("soffice ended before it accepted a connection");
      }
      if (std::chrono::steady_clock::now() > deadline) {
        throw LibreOfficeError("soffice did not accept a connection on port " +
                               std::to_string(port) + " within " +
                               std::to_string(timeout.count() / 1000) + " s: " + lastError);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }

  // Kills soffice; the keeper then finds it gone and removes the profile. Never throws.
  void Kill() {
    if (keeperInput < 0) return;
    soffice = ReadSofficePid();
    if (soffice > 0) ::kill(soffice, SIGKILL);
  }

  // Lets the keeper stop soffice and remove the profile; kills both when the keeper does not
  // end in time. Never throws.
  void Stop(std::chrono::milliseconds stopTimeout) {
    if (keeperInput >= 0) {
      soffice = ReadSofficePid();
      ::close(keeperInput);
      keeperInput = -1;
    }
    auto deadline = std::chrono::steady_clock::now() + stopTimeout + std::chrono::seconds(5);
    while (!KeeperGone() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (keeper != 0) {
      if (soffice > 0) ::kill(soffice, SIGKILL);
      ::kill(-keeper, SIGKILL);  // the keeper leads its own process group
      ::waitpid(keeper, nullptr, 0);
      keeper = 0;
    }
    soffice = 0;
    if (!dir.empty()) {
      std::error_code ignored;
      fs::remove_all(dir, ignored);
    }
  }
};

bool SofficeInstalled() {
  return ::access(kSofficeBin, X_OK) == 0;
}

LibreOfficeSession::LibreOfficeSession(SessionOptions options)
    : process_(std::make_unique<Process>()), uno_(std::make_unique<Uno>()) {
  if (!SofficeInstalled()) {
    throw LibreOfficeError(std::string(kSofficeBin) +
                           " is missing: scripts/setup.sh installs LibreOffice");
  }
  // A soffice that goes away while the bridge writes to it must show as an error on the
  // connection, not end this process with SIGPIPE; the bridge's threads may write until the
  // process ends, so the setting stays.
  ::signal(SIGPIPE, SIG_IGN);
  const Reference<css::uno::XComponentContext>& local = LocalContext();
  stopTimeout_ = options.stopTimeout;
  try {
    for (int attempt = 1;; ++attempt) {
      process_->Start(stopTimeout_, options.profileTemplate, attempt == 1 ? options.firstPort : 0);
      if (process_->Handshake(local, options.startTimeout, *uno_)) break;
      // Another soffice took the port between our pick and our soffice's start, so ours runs
      // without listening. The other one is none of ours to stop: leave it, and start ours
      // again on another port.
      int taken = process_->port;
      process_->Stop(stopTimeout_);
      if (attempt == kPortAttempts) {
        throw LibreOfficeError(std::to_string(kPortAttempts) +
                               " ports in a row answered for another soffice, the last " +
                               std::to_string(taken));
      }
    }
    process_->soffice = process_->ReadSofficePid();
  } catch (const css::uno::Exception& e) {
    Stop();
    throw LibreOfficeError("cannot connect to soffice: " + ToUtf8(e.Message));
  } catch (...) {
    Stop();
    throw;
  }
}

LibreOfficeSession::~LibreOfficeSession() {
  Stop();
}

void LibreOfficeSession::Stop() {
  if (uno_->desktop.is()) {
    try {
      uno_->desktop->terminate();  // a clean quit releases the profile's lock itself
    } catch (const css::uno::Exception&) {
      // The bridge goes down with soffice; the keeper makes sure it is gone.
    }
  }
  uno_->desktop.clear();
  uno_->context.clear();
  process_->Stop(stopTimeout_);
}

void LibreOfficeSession::StopAtOnce() {
  uno_->desktop.clear();
  uno_->context.clear();
  process_->Kill();
  process_->Stop(stopTimeout_);
}

std::string LibreOfficeSession::HowSofficeEnded() const {
  if (process_->keeperInput < 0) return "";
  std::string exited = process_->dir + "/exited";
  if (::access(exited.c_str(), F_OK) != 0) {
    if (!ProcessEnded(process_->ReadSofficePid())) return "";
    // The connection breaks the moment soffice dies; the keeper notes how a moment later.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (::access(exited.c_str(), F_OK) != 0) {
      if (std::chrono::steady_clock::now() > deadline) return "soffice has ended";
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  std::ifstream in(process_->dir + "/soffice.status");
  int status = -1;
  if (!(in >> status)) return "soffice has ended";
  // The shell gives 128 + the signal's number for a process a signal ended.
  if (status > 128) return "soffice was ended by signal " + std::to_string(status - 128);
  return "soffice has ended with exit status " + std::to_string(status);
}

int LibreOfficeSession::Port() const {
  return process_->port;
}

pid_t LibreOfficeSession::SofficePid() const {
  return process_->keeper == 0 ? 0 : process_->soffice;
}

const std::string& LibreOfficeSession::ProfileDir() const {
  return process_->profile;
}

std::string LibreOfficeSession::ScratchPath(const std::string& name) const {
  return process_->dir + "/" + name;
}

LibreOfficeSession::Uno& LibreOfficeSession::uno() {
  if (!uno_->desktop.is()) throw LibreOfficeError("the LibreOffice session is stopped");
  return *uno_;
}

OUString FileUrl(const std::string& path) {
  std::error_code error;
  fs::path absolute = fs::absolute(path, error);
  OUString url;
  if (error || osl::FileBase::getFileURLFromSystemPath(ToOUString(absolute.string()), url) !=
                   osl::FileBase::E_None) {
    throw LibreOfficeError("cannot make a file URL of " + path);
  }
  return url;
}

Reference<css::lang::XComponent> LoadHidden(LibreOfficeSession& session, const std::string& path) {
  css::uno::Sequence<css::beans::PropertyValue> arguments(2);
  arguments.getArray()[0].Name = "Hidden";
  arguments.getArray()[0].Value <<= true;
  arguments.getArray()[1].Name = "ReadOnly";
  arguments.getArray()[1].Value <<= true;
  try {
    Reference<css::frame::XComponentLoader> loader(session.uno().desktop, UNO_QUERY_THROW);
    Reference<css::lang::XComponent> document =
        loader->loadComponentFromURL(FileUrl(path), "_blank", 0, arguments);
    if (!document.is()) throw LibreOfficeError("LibreOffice cannot load " + path);
    return document;
  } catch (const css::uno::Exception& e) {
    throw LibreOfficeError("LibreOffice cannot load " + path + ": " + ToUtf8(e.Message));
  }
}

void CloseDocument(const Reference<css::lang::XComponent>& document) {
  try {
    Reference<css::util::XCloseable> closeable(document, css::uno::UNO_QUERY);
    if (closeable.is()) {
      closeable->close(true);
    } else if (document.is()) {
      document->dispose();
    }
  } catch (const css::uno::Exception&) {
    // A document that refuses to close goes with the session.
  }
}

}  // namespace quillon::libreoffice
