// quillon-screenshots OUTDIR: shows the library manager and its dialogs on the display (run it
// under Xvfb, see scripts/screenshots.sh) and saves what the screen shows of each into OUTDIR:
// manager.png (a 12-entry library), inplace-edit.png, combo-open.png, add-dialog.png and
// search-form.png.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <iostream>

#include "ScreenArea.h"
#include "addin/host/Platform.h"
#include "library/AddinState.h"
#include "library/LibraryFiles.h"
#include "library/SQLlite.h"
#include "ui/Form1.h"
#include "ui/QtPlatform.h"
#include "ui/addentry.h"
#include "ui/onlinesearch.h"
#include "widgets/qt/ListViewWidget.h"
#include "widgets/qt/MartenComboBoxWidget.h"

namespace {

using namespace quillon;

// Saves the screen's rectangle around window (and anything shown over it) as name.
bool Shoot(const QString& dir, const QString& name, QWidget& window, const QRect& extra = {}) {
  QTest::qWait(150);
  QRect area = window.frameGeometry();
  if (!extra.isNull()) area = area.united(extra);
  return tools::SaveScreenArea(dir, name, area, "quillon-screenshots");
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  if (argc != 2) {
    std::cerr << "usage: quillon-screenshots OUTDIR\n";
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);

  QTemporaryDir temp;
  library::ResetState();
  library::AddinState& state = library::State();
  state.AddinTitle = library::kAddinTitle;
  const std::string path = QDir(temp.path()).filePath(QStringLiteral("thesis.abb")).toStdString();
  ui::ScopedQtPlatform platform;
  library::CreateLibrary(path);
  const char* entries[][3] = {
      {"L", "ADC", "Analog-to-Digital Converter"},
      {"L", "AES", "Advanced Encryption Standard"},
      {"L", "AFM", "Atomic Force Microscopy"},
      {"L", "API", "Application Programming Interface"},
      {"L", "BER", "Bit Error Rate"},
      {"L", "CFD", "Computational Fluid Dynamics"},
      {"L", "DC", "Direct Current"},
      {"L", "FFT", "Fast Fourier Transform"},
      {"L", "MRI", "Magnetic Resonance Imaging"},
      {"L", "SNR", "Signal-to-Noise Ratio"},
      {"R", "\u05D0\u05E8\u05D4\"\u05D1",
       "\u05D0\u05E8\u05E6\u05D5\u05EA \u05D4\u05D1\u05E8\u05D9\u05EA"},
      {"L", "TCP", "Transmission Control Protocol"},
  };
  for (const auto& e : entries) library::AddAbbreviation(path, e[1], e[2], e[0]);
  state.LibraryPath = path;
  state.LastSelectedAbb = "FFT";
  state.LastSelectedText = "Fast Fourier Transform";

  bool ok = true;

  ui::Form1 manager;
  manager.move(40, 40);
  manager.show();
  ok &= QTest::qWaitForWindowExposed(&manager);
  manager.ListView1->setFocus();
  ok &= Shoot(out, QStringLiteral("manager.png"), manager);

  manager.ListView1->model().SelectRange(9, 9, true, true);  // SNR, as a double-click leaves it
  manager.ListView1->model().SetSelectedItem(9);
  manager.ListView1_DblClick(9);
  manager.Text2->setText(QStringLiteral("Signal-to-noise ratio"));
  ok &= Shoot(out, QStringLiteral("inplace-edit.png"), manager);
  manager.Combo1->OpenList();
  ok &=
      Shoot(out, QStringLiteral("combo-open.png"), manager, manager.Combo1->picList()->geometry());
  manager.Combo1->CloseList(false);
  manager.hide();

  ui::addentry add;
  add.move(80, 80);
  add.Text1->setText(QStringLiteral("FFT"));
  add.Text2->setText(QStringLiteral("Fast Fourier Transform"));
  add.show();
  ok &= QTest::qWaitForWindowExposed(&add);
  ok &= Shoot(out, QStringLiteral("add-dialog.png"), add);
  add.close();

  ui::onlinesearch search;
  search.move(80, 80);
  search.show();
  ok &= QTest::qWaitForWindowExposed(&search);
  search.abbrev->setText(QStringLiteral("SNR"));
  ok &= Shoot(out, QStringLiteral("search-form.png"), search);
  search.close();
  return ok ? 0 : 1;
}
