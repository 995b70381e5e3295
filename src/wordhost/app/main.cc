// wordhost: a small desktop word processor for .docx files that loads the add-ins registered
// for it.
//   wordhost DOCUMENT.docx       open the document, connect the registered add-ins
//   wordhost --register PLUGIN   register the plug-in's add-in for the next starts
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <string>

#include "addin/host/Platform.h"
#include "base/AtomicFile.h"
#include "wordhost/AddinLoader.h"
#include "wordhost/app/MainWindow.h"
#include "wordhost/app/QtServices.h"
#include "wordhost/docx/DocxError.h"

int main(int argc, char** argv) {
  using namespace quillon;
  if (argc == 3 && std::string(argv[1]) == "--register") {
    try {
      const std::string registry = wordhost::AddinRegistryPath();
      const wordhost::RegisteredAddin addin = wordhost::RegisterPlugin(argv[2], registry);
      std::printf("registered %s (%s) from %s in %s\n", addin.ProgId.c_str(),
                  addin.FriendlyName.c_str(), addin.Path.c_str(), registry.c_str());
      return 0;
    } catch (const FileError& e) {
      std::fprintf(stderr, "wordhost: %s\n", e.what());
      return 1;
    }
  }
  if (argc != 2 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: wordhost DOCUMENT.docx | wordhost --register PLUGIN\n");
    return 2;
  }

  QApplication app(argc, argv);
  wordhost::QtClipboard clipboard;
  wordhost::QtSettingsStore settings;
  host::Platform().clipboard = &clipboard;
  host::Platform().settings = &settings;

  std::unique_ptr<wordhost::MainWindow> window;
  try {
    window = std::make_unique<wordhost::MainWindow>(argv[1]);
  } catch (const docx::DocxError& e) {
    std::fprintf(stderr, "wordhost: %s\n", e.what());
    return 1;
  }
  window->show();
  window->ConnectAddins(wordhost::ReadAddinRegistry(wordhost::AddinRegistryPath()));
  for (const std::string& failure : window->loadFailures) {
    std::fprintf(stderr, "wordhost: %s\n", failure.c_str());
  }
  const int status = app.exec();
  window.reset();
  host::Platform() = {};
  return status;
}
