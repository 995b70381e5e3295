// quillon-manager: the library manager window as a program of its own.
//
//   quillon-manager [LIBRARY]          opens the manager, with LIBRARY open when given
//   quillon-manager --pick [LIBRARY]   the same; "Insert in Word" prints the chosen entry as
//                                      "abbreviation<TAB>meaning" on standard output and ends
//                                      the program (status 0; 1 when the window is closed
//                                      without a choice), for hosts that run it as a process
//
// The open library and the last selected pair come from the settings store the hosts share
// (a LIBRARY given wins) and go back to it when the program ends.
#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "addin/host/HostError.h"
#include "addin/host/Platform.h"
#include "library/AddinState.h"
#include "library/IniSettingsStore.h"
#include "ui/Form1.h"
#include "ui/QtPlatform.h"

namespace {

int Usage() {
  std::cerr << "usage: quillon-manager [LIBRARY]\n"
               "       quillon-manager --pick [LIBRARY]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("quillon-manager"));
  QStringList args = QApplication::arguments();
  args.removeFirst();
  bool pick = false;
  if (!args.isEmpty() && args.front() == QStringLiteral("--pick")) {
    pick = true;
    args.removeFirst();
    if (args.size() > 1) return Usage();
  }
  if (args.size() > 1 || (!args.isEmpty() && args.front().startsWith(QStringLiteral("-")))) {
    return Usage();
  }

  quillon::library::ResetState();
  quillon::library::AddinState& state = quillon::library::State();
  state.AddinTitle = quillon::library::kAddinTitle;
  quillon::library::IniSettingsStore settings;
  quillon::host::Platform().settings = &settings;
  quillon::library::LoadSharedState(settings);
  std::error_code missing;
  if (!state.LibraryPath.empty() && !std::filesystem::is_regular_file(state.LibraryPath, missing)) {
    state.LibraryPath.clear();  // moved or deleted since
  }
  if (!args.isEmpty()) {
    const std::string path = args.front().toStdString();
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
      std::cerr << "quillon-manager: no library file at " << path << "\n";
      return 1;
    }
    state.LibraryPath = path;
  }

  quillon::ui::ScopedQtPlatform platform;
  quillon::ui::Form1 manager;
  bool picked = false;
  if (pick) {
    manager.insertPair = [&picked](const std::string& abb, const std::string& text) {
      std::cout << abb << '\t' << text << '\n' << std::flush;
      picked = true;
      return true;
    };
  }
  manager.show();
  const int status = QApplication::exec();
  try {
    quillon::library::SaveSharedState(settings);
  } catch (const quillon::host::HostError& e) {
    std::cerr << "quillon-manager: " << e.what() << "\n";
  }
  quillon::host::Platform().settings = nullptr;
  if (pick) return picked ? 0 : 1;
  return status;
}
