#include "ui/addentry.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/Text.h"
#include "library/AddinState.h"

namespace quillon::ui {

addentry::addentry(QWidget* parent)
    : QDialog(parent),
      Text1(new QLineEdit(this)),
      Text2(new QLineEdit(this)),
      Combo1(new QComboBox(this)),
      addbutton(new QPushButton(QStringLiteral("ADD"), this)),
      allsmall(new QPushButton(QStringLiteral("All Small"), this)) {
  setWindowTitle(QStringLiteral("Add Entry"));
  setModal(true);
  const char* captions[] = {"Abbreviation", "Text", "Direction"};
  for (size_t i = 0; i < Label1.size(); ++i)
    Label1[i] = new QLabel(QString::fromUtf8(captions[i]), this);
  Text1->setObjectName("Text1");
  Text2->setObjectName("Text2");
  Text2->setMinimumWidth(320);
  Combo1->setObjectName("Combo1");
  Combo1->addItem(QStringLiteral("Left to right"));
  Combo1->addItem(QStringLiteral("Right to left!"));
  Combo1->setPlaceholderText(QStringLiteral("Left to right"));
  Combo1->setCurrentIndex(-1);  // nothing chosen when the dialog opens
  addbutton->setObjectName("addbutton");
  allsmall->setObjectName("allsmall");
  addbutton->setDefault(true);

  auto* grid = new QGridLayout(this);
  grid->addWidget(Label1[0], 0, 0);
  grid->addWidget(Text1, 0, 1);
  grid->addWidget(Label1[1], 1, 0);
  grid->addWidget(Text2, 1, 1);
  grid->addWidget(Label1[2], 2, 0);
  grid->addWidget(Combo1, 2, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(allsmall);
  buttons->addWidget(addbutton);
  grid->addLayout(buttons, 3, 0, 1, 2);

  connect(addbutton, &QPushButton::clicked, this, &addentry::addbutton_Click);
  connect(allsmall, &QPushButton::clicked, this, &addentry::allsmall_Click);
}

void addentry::addbutton_Click() {
  library::AddinState& state = library::State();
  state.PendingAbb = Text1->text().toStdString();
  state.PendingText = Text2->text().toStdString();
  state.PendingDirection.assign(1, Combo1->currentIndex() == 1 ? 'R' : 'L');
  accept();
}

void addentry::allsmall_Click() {
  Text2->setText(QString::fromStdString(LowerCase(Text2->text().toStdString())));
}

}  // namespace quillon::ui
