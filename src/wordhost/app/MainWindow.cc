#include "wordhost/app/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>

#include "wordhost/app/DocumentView.h"
#include "wordhost/docx/DocxError.h"
#include "wordhost/docx/Selection.h"

namespace quillon::wordhost {

void WordhostApplication::SetVisible(bool visible) {
  docx::Application::SetVisible(visible);
  window_.setVisible(visible);
}

host::CommandBars& WordhostApplication::CommandBars() {
  return window_.commandBars();
}

MainWindow::MainWindow(const std::string& path)
    : application_(*this), commandBars_(*this), page_(new QLabel(this)) {
  docx::Document& document = application_.SetDocument(docx::Document::Open(path));
  view_ = new DocumentView(document, this);
  setCentralWidget(view_);
  setWindowTitle(QString::fromStdString(std::filesystem::path(path).filename().string()) +
                 QStringLiteral(" - wordhost"));
  resize(900, 640);
  statusBar()->addWidget(page_);
  view_->reportRefusal = [this](const std::string& text) {
    statusBar()->showMessage(QString::fromStdString(text), 4000);
  };
  connect(view_, &DocumentView::caretMoved, this, &MainWindow::ShowPage);
  commandBars_.reportError = [this](const std::string& text) {
    Tell(text);
    view_->Refresh();
  };

  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(QStringLiteral("&Save"), QKeySequence::Save, this, [this] { SaveTo(); });
  file->addAction(QStringLiteral("Save &As..."), QKeySequence::SaveAs, this, [this] {
    const QString target = QFileDialog::getSaveFileName(this, QStringLiteral("Save As"), QString(),
                                                        QStringLiteral("Word documents (*.docx)"));
    if (!target.isEmpty()) SaveTo(target.toStdString());
  });
  file->addSeparator();
  file->addAction(QStringLiteral("&Quit"), QKeySequence::Quit, this, &QWidget::close);

  QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
  QAction* codes = viewMenu->addAction(QStringLiteral("Field &Codes"));
  codes->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F9));
  codes->setCheckable(true);
  connect(codes, &QAction::toggled, this, [this](bool on) { view_->SetShowCodes(on); });
  toolbarsMenu_ = viewMenu->addMenu(QStringLiteral("&Toolbars"));
  connect(toolbarsMenu_, &QMenu::aboutToShow, this, &MainWindow::FillToolbarsMenu);
  FillToolbarsMenu();
  ShowPage();
}

MainWindow::~MainWindow() {
  DisconnectAddins();
}

void MainWindow::FillToolbarsMenu() {
  toolbarsMenu_->clear();
  for (const auto& bar : commandBars_.Bars()) {
    QAction* item = toolbarsMenu_->addAction(QString::fromStdString(bar->Name()));
    item->setCheckable(true);
    item->setChecked(bar->Visible());
    connect(item, &QAction::toggled, this, [bar](bool on) {
      if (!bar->deleted()) bar->SetVisible(on);
    });
  }
  if (toolbarsMenu_->isEmpty())
    toolbarsMenu_->addAction(QStringLiteral("(none)"))->setEnabled(false);
}

void MainWindow::ShowPage() {
  const long page = application_.Selection().Information(host::wdActiveEndPageNumber);
  page_->setText(QStringLiteral("Page %1").arg(page));
}

void MainWindow::Tell(const std::string& text) {
  QMessageBox::warning(this, QStringLiteral("wordhost"), QString::fromStdString(text));
}

int MainWindow::ConnectAddins(const std::vector<RegisteredAddin>& addins) {
  const int connected = addins_.ConnectAll(application_, addins, [this](const std::string& text) {
    loadFailures.push_back(text);
    statusBar()->showMessage(QString::fromStdString(text), 8000);
  });
  // Toolbar clicks change the document: show it anew after each.
  for (const auto& bar : commandBars_.Bars()) {
    connect(bar->toolBar(), &QToolBar::actionTriggered, view_, [this] { view_->Refresh(); });
  }
  return connected;
}

void MainWindow::DisconnectAddins() {
  addins_.DisconnectAll([this](const std::string& text) { loadFailures.push_back(text); });
}

bool MainWindow::SaveTo(const std::string& path) {
  try {
    application_.document()->Save(path);
  } catch (const docx::DocxError& e) {
    Tell(e.what());
    return false;
  }
  statusBar()->showMessage(QStringLiteral("Saved"), 3000);
  return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  DisconnectAddins();
  event->accept();
}

}  // namespace quillon::wordhost
