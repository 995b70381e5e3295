// A headless LibreOffice of our own: soffice started on a private profile (a fresh temporary
// folder) listening on a loopback port, reached over a UNO socket bridge, and stopped again by
// its process id. A small keeper process started with it stops soffice and removes the profile
// whenever this process goes away, so that a failure, a timeout or Ctrl-C leaves no stray
// soffice and no profile lock behind.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>

namespace quillon::libreoffice {

struct SessionOptions {
  // How long soffice may take to start and accept the connection.
  std::chrono::milliseconds startTimeout{90000};
  // How long soffice may take to quit before it is killed.
  std::chrono::milliseconds stopTimeout{15000};
  // A profile folder to start from (copied, so it stays as it is), e.g. one with extensions
  // installed; empty for a fresh profile.
  std::string profileTemplate;
  // The port soffice is started on first; 0 for one the system has free. Another soffice may
  // take the port before ours listens on it (each picks a free port, then starts): the session
  // then leaves that soffice alone and starts its own again on a port of its own.
  int firstPort = 0;
};

class LibreOfficeSession {
 public:
  // Starts soffice and connects to it, making sure the soffice that answers is the one started
  // on this session's profile. Throws LibreOfficeError (saying why: soffice missing, no free
  // port, no connection within the timeout, the port kept answering for another soffice)
  // having stopped whatever it started. From
  // then on the process ignores SIGPIPE: a soffice that goes away is an error on the
  // connection, never the end of the program.
  explicit LibreOfficeSession(SessionOptions options = {});
  // Stops soffice if Stop was not called; never throws.
  ~LibreOfficeSession();
  LibreOfficeSession(const LibreOfficeSession&) = delete;
  LibreOfficeSession& operator=(const LibreOfficeSession&) = delete;

  // Asks soffice to quit, kills it by its process id when it does not quit in time, and
  // removes the profile. Safe to call twice. Never throws.
  void Stop();
  // Kills soffice by its process id at once and removes the profile, without letting soffice
  // close its documents or write its profile: for a session whose work is saved or given up,
  // where both would cost as much as a save and be thrown away. Documents must have been
  // loaded read-only (LoadHidden does), so that no lock file is left beside them. Never throws.
  void StopAtOnce();

  // Returns how soffice ended ("soffice was ended by signal 9"), for an error that a soffice
  // gone from under a running session explains; empty while it runs or once stopped.
  std::string HowSofficeEnded() const;

  // The loopback port soffice listens on.
  int Port() const;
  // soffice's process id (0 once stopped).
  pid_t SofficePid() const;
  // The private profile folder (gone once stopped).
  const std::string& ProfileDir() const;
  // Returns a path for a scratch file of that name beside the profile, removed with it (also
  // when this process dies).
  std::string ScratchPath(const std::string& name) const;

  // The UNO side, for the other files of this folder only (they include the UNO headers).
  struct Uno;
  Uno& uno();

 private:
  struct Process;
  std::unique_ptr<Process> process_;
  std::unique_ptr<Uno> uno_;
  std::chrono::milliseconds stopTimeout_{15000};
};

// Returns whether LibreOffice's program folder has soffice.
bool SofficeInstalled();

}  // namespace quillon::libreoffice
