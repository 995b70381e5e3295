// wordhost's window: the document view, the menus (File: Save, Save As, Quit; View: Field
// Codes (Alt+F9), Toolbars), the page of the caret in the status bar, and the command bars
// that add-ins put up. The window is the host application the add-ins connect to.
#pragma once

#include <QMainWindow>
#include <memory>

#include "wordhost/AddinLoader.h"
#include "wordhost/app/QtCommandBars.h"
#include "wordhost/docx/Application.h"

class QLabel;
class QMenu;

namespace quillon::wordhost {

class DocumentView;
class MainWindow;

// The application object handed to add-ins: the open document and its selection, the
// window's visibility and its command bars.
class WordhostApplication : public docx::Application {
 public:
  explicit WordhostApplication(MainWindow& window) : window_(window) {}
  void SetVisible(bool visible) override;
  host::CommandBars& CommandBars() override;

 private:
  MainWindow& window_;
};

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // Opens the document at path. Throws DocxError when it cannot be read.
  explicit MainWindow(const std::string& path);
  ~MainWindow() override;

  // Connects the add-ins of the registry that load at startup; failures are shown to the user
  // (and collected in loadFailures). Returns how many connected.
  int ConnectAddins(const std::vector<RegisteredAddin>& addins);
  // Disconnects them (done at close too).
  void DisconnectAddins();
  // Saves to path (the document's own when empty). Returns false, having told the user, when
  // the save failed.
  bool SaveTo(const std::string& path = {});

  WordhostApplication& application() { return application_; }
  QtCommandBars& commandBars() { return commandBars_; }
  DocumentView& view() { return *view_; }
  QMenu& toolbarsMenu() { return *toolbarsMenu_; }
  std::vector<std::string> loadFailures;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void ShowPage();
  void FillToolbarsMenu();
  void Tell(const std::string& text);

  WordhostApplication application_;
  QtCommandBars commandBars_;
  DocumentView* view_;
  QLabel* page_;
  QMenu* toolbarsMenu_;
  AddinLoader addins_;
};

}  // namespace quillon::wordhost
