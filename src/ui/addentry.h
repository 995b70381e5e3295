// The add-entry dialog: takes an abbreviation, its meaning and its writing direction, and on
// ADD leaves them in the application-wide PendingAbb, PendingText and PendingDirection.
// Closing it any other way stores nothing.
#pragma once

#include <QDialog>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillon::ui {

class addentry : public QDialog {
  Q_OBJECT

 public:
  explicit addentry(QWidget* parent = nullptr);

  // Stores the entered values (direction "R" for "Right to left!", otherwise "L") and closes
  // the dialog accepted.
  void addbutton_Click();
  // Replaces the meaning by its lower-case form; the abbreviation is left alone.
  void allsmall_Click();

  std::array<QLabel*, 3> Label1{};
  QLineEdit* Text1;
  QLineEdit* Text2;
  QComboBox* Combo1;
  QPushButton* addbutton;
  QPushButton* allsmall;
};

}  // namespace quillon::ui
