#include "ui/onlinesearch.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "addin/host/Platform.h"
#include "library/AddinState.h"
#include "ui/Artwork.h"
#include "ui/SearchSites.h"
#include "widgets/qt/MartenComboBoxWidget.h"

namespace quillon::ui {

onlinesearch::onlinesearch(QWidget* parent)
    : QDialog(parent),
      abbrev(new QLineEdit(this)),
      server(new widgets::qt::MartenComboBoxWidget(this)),
      Toolbar(new QToolButton(this)) {
  setWindowTitle(QStringLiteral("Online search for an abbreviation"));
  setModal(true);
  abbrev->setObjectName("abbrev");
  server->setObjectName("server");
  server->setMinimumWidth(200);
  server->setFixedHeight(24);
  Toolbar->setObjectName("Toolbar");
  Toolbar->setIcon(ArtworkIcon(kArtSearchLarge));
  Toolbar->setIconSize(QSize(64, 64));
  Toolbar->setToolTip(QStringLiteral("Search"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(
      new QLabel(QStringLiteral("Give an abbreviation, select a server and click search"), this));
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Abbreviation"), this), 0, 0);
  grid->addWidget(abbrev, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Select server"), this), 1, 0);
  grid->addWidget(server, 1, 1);
  grid->addWidget(Toolbar, 0, 2, 2, 1);
  layout->addLayout(grid);
  layout->addWidget(new QLabel(
      QStringLiteral("Search will open your browser. Once you find the correct term copy it"),
      this));
  layout->addWidget(new QLabel(
      QStringLiteral("To keep the Add-in light and since an abbreviation meaning is one sentence"),
      this));

  openAddress = [](const std::string& address) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(address), QUrl::StrictMode));
  };
  readSetting = [](const char* key) -> std::optional<std::string> {
    QSettings settings(QStringLiteral("Quillon AddIn"), QStringLiteral("Quillon AddIn"));
    settings.beginGroup(QString::fromUtf8(kSettingsGroup));
    const QVariant value = settings.value(QString::fromUtf8(key));
    if (!value.isValid()) return std::nullopt;
    return value.toString().toStdString();
  };
  connect(Toolbar, &QToolButton::clicked, this, &onlinesearch::Toolbar_Click);
}

void onlinesearch::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Form_Load();  // each opening runs the load step again
}

void onlinesearch::Form_Load() {
  widgets::MartenComboBox& list = server->model();
  list.Clear();
  const double widthTwips = widgets::MartenComboBox::FromPixels(server->width(), list.ScaleUnits());
  list.SetColWidth(0, static_cast<float>(widthTwips - 250));
  for (const SearchSite& site : SearchSites()) list.AddItem(site.name);
  list.Sort(0);
  list.SetListIndex(0);
}

void onlinesearch::Toolbar_Click() {
  const std::string typed = abbrev->text().toStdString();
  if (typed.empty()) {
    host::MsgBox("Please enter an abbreviation to search for", host::MsgBoxButtons::kOkOnly,
                 host::MsgBoxIcon::kNone, library::kAddinTitle);
    return;
  }
  lastAddress_.clear();
  const widgets::MartenComboBox& list = server->model();
  if (list.ListIndex() >= 0) {
    if (const SearchSite* site = FindSearchSite(list.List(list.ListIndex()))) {
      lastAddress_ = SearchAddress(*site, BaseAddressOf(*site, readSetting), typed);
    }
  }
  // An empty address would open nothing useful: it is not handed on.
  if (!lastAddress_.empty() && openAddress) openAddress(lastAddress_);
}

}  // namespace quillon::ui
