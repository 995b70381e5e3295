// wordhost-screenshots OUTDIR DOCUMENT LIBRARY PLUGIN: opens DOCUMENT in the desktop host on
// the display (run it under Xvfb, see scripts/run-desktop.sh), connects the plug-in with
// LIBRARY open, and saves what the screen shows: wordhost-floating.png (the bar floating),
// wordhost-docked.png (docked at the top), wordhost-manager.png (the library manager over the
// host) and wordhost-updated.png (after "Update document" and "Insert abbreviation list").
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QStyleFactory>
#include <QTest>
#include <QToolBar>
#include <iostream>

#include "ScreenArea.h"
#include "addin/host/Platform.h"
#include "library/AddinState.h"
#include "wordhost/app/DocumentView.h"
#include "wordhost/app/MainWindow.h"
#include "wordhost/app/QtServices.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/Selection.h"
#include "wordhost/docx/TextExport.h"

namespace {

using namespace quillon;

// Prints the add-in's messages instead of waiting for a click.
class PrintedMessages : public host::MessageBoxService {
 public:
  host::MsgBoxResult Show(const host::MessageBoxRequest& request) override {
    std::cout << request.title << ": " << request.text << "\n";
    return host::MsgBoxResult::kOk;
  }
};

bool Shoot(const QString& dir, const QString& name) {
  QTest::qWait(300);
  return tools::SaveScreenArea(dir, name, QRect(0, 0, 1024, 768), "wordhost-screenshots");
}

QAction* Button(wordhost::MainWindow& window, const char* tag) {
  for (const auto& bar : window.commandBars().Bars())
    for (QAction* action : bar->toolBar()->actions())
      if (action->objectName() == tag) return action;
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  if (argc != 5) {
    std::cerr << "usage: wordhost-screenshots OUTDIR DOCUMENT LIBRARY PLUGIN\n";
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  wordhost::QtClipboard clipboard;
  wordhost::QtSettingsStore settings;
  PrintedMessages messages;
  host::Platform().clipboard = &clipboard;
  host::Platform().settings = &settings;
  host::Platform().messageBox = &messages;

  wordhost::MainWindow window(argv[2]);
  window.move(0, 0);
  window.resize(1000, 700);
  window.show();
  if (window.ConnectAddins({{"Quillon.Connect", "My Add-In", "", 3, argv[4]}}) != 1) {
    for (const std::string& failure : window.loadFailures) std::cerr << failure << "\n";
    return 1;
  }
  library::State().LibraryPath = argv[3];
  auto bar = window.commandBars().Item("Abbreviation bar");
  bar->SetLeft(520);
  bar->SetTop(90);
  bool ok = Shoot(out, "wordhost-floating.png");

  bar->SetPosition(1);
  ok &= Shoot(out, "wordhost-docked.png");

  docx::Document& document = *window.application().document();
  const std::string shown = docx::ShowText(document, false);
  const long at = static_cast<long>(shown.find("Neural"));
  document.selection().SetRange(at, at + 6);
  window.view().Refresh();
  Button(window, "Abbrev")->trigger();
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && w->windowTitle().startsWith(QStringLiteral("Quillon plugin")))
      w->move(300, 180);
  ok &= Shoot(out, "wordhost-manager.png");
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->windowTitle().startsWith(QStringLiteral("Quillon plugin"))) w->hide();

  document.selection().SetRange(0, 0);
  Button(window, "ButtonUpdate")->trigger();
  Button(window, "ButtonInsertList")->trigger();
  // Show the end of the document, where the list now stands.
  const long end = document.story().Length() - 1;
  document.selection().SetRange(end, end);
  window.view().Refresh();
  QKeyEvent key(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
  QApplication::sendEvent(&window.view(), &key);
  ok &= Shoot(out, "wordhost-updated.png");
  window.DisconnectAddins();
  host::Platform() = {};
  return ok ? 0 : 1;
}
