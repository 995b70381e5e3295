#include "ui/AboutBox.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/Artwork.h"

namespace quillon::ui {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Quillon"));
  setModal(true);
  auto* picture = new QLabel(this);
  picture->setPixmap(ArtworkIcon(kArtAbout).pixmap(48, 48));
  auto* text = new QLabel(
      QStringLiteral("<b>Quillon</b> " QUILLON_VERSION_TEXT
                     "<p>Keeps the abbreviations of a document consistent: a library of "
                     "abbreviations and their meanings, fields in the document, and an update "
                     "that writes each first use in full.</p>"),
      this);
  text->setWordWrap(true);
  text->setMinimumWidth(320);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addWidget(picture, 0, Qt::AlignTop);
  row->addWidget(text, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
}

}  // namespace quillon::ui
