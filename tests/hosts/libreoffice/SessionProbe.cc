// Starts a LibreOffice session, prints its own pid, soffice's pid and the profile folder, then
// waits to be interrupted or killed: the tests check that nothing of the session outlives this
// process.
#include <unistd.h>

#include <iostream>

#include "hosts/libreoffice/LibreOfficeError.h"
#include "hosts/libreoffice/LibreOfficeSession.h"

int main() {
  try {
    quillon::libreoffice::LibreOfficeSession session;
    std::cout << ::getpid() << ' ' << session.SofficePid() << ' ' << session.ProfileDir()
              << std::endl;
    for (;;) ::pause();
  } catch (const quillon::libreoffice::LibreOfficeError& e) {
    std::cerr << e.what() << '\n';
    return 1;
  }
}
