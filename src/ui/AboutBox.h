// The About dialog: the product's name, version and purpose, shown modally.
#pragma once

#include <QDialog>

namespace quillon::ui {

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* parent = nullptr);
};

}  // namespace quillon::ui
