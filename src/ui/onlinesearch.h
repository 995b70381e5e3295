// The online search form: an abbreviation, a list of four acronym sites, and a search button
// that opens the chosen site's search address in the desktop's browser. Nothing is fetched.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QToolButton;

namespace quillon::widgets::qt {
class MartenComboBoxWidget;
}

namespace quillon::ui {

class onlinesearch : public QDialog {
  Q_OBJECT

 public:
  // The settings group that holds the sites' base addresses.
  static constexpr const char* kSettingsGroup = "OnlineSearch";

  explicit onlinesearch(QWidget* parent = nullptr);

  // Fills the site list: cleared, column 0 as wide as the control less 250 twips, the four
  // sites added and sorted on column 0, the first row chosen.
  void Form_Load();
  // Runs a search: an empty abbreviation is refused with a message; otherwise the chosen
  // site's address (empty when no row is chosen) is opened when it is not empty.
  void Toolbar_Click();

  // Opens an address; by default the desktop's URL handler (never a shell command line).
  std::function<void(const std::string& address)> openAddress;
  // Reads a stored setting of the group; by default the per-user settings file.
  std::function<std::optional<std::string>(const char* key)> readSetting;
  // The address the last search built ("" when none).
  const std::string& lastAddress() const { return lastAddress_; }

  QLineEdit* abbrev;
  widgets::qt::MartenComboBoxWidget* server;
  QToolButton* Toolbar;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  std::string lastAddress_;
};

}  // namespace quillon::ui
