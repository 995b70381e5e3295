// The library manager window: the open library as a three-column list, the row of picture
// buttons, the count and status labels, and the in-place edit of a row. Its routines work on
// the application-wide state (library::State()) and the library and document layers; it
// reaches the document only through a host application, which may be absent (then "Insert in
// Word" says so).
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "widgets/ImageList.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace quillon::host {
class Application;
}
namespace quillon::widgets {
class ListView;
}
namespace quillon::widgets::qt {
class ListViewWidget;
class MartenComboBoxWidget;
}  // namespace quillon::widgets::qt

namespace quillon::ui {

class Form1 : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* kNoDocumentText = "There is no document to insert into";

  // word (not owned, may be null) is the host whose active document Insert, OK and Delete
  // change. The window loads at once (Form_Load).
  explicit Form1(host::Application* word = nullptr, QWidget* parent = nullptr);
  ~Form1() override;

  // ---- Routines other parts call ----
  // Empties the list (items, then columns) and, unless clearOnly is 1, lists the library.
  void RefreshListView(int16_t clearOnly);
  // Lists the open library into list (cleared before) with the manager's column headings.
  void ListLibrary(widgets::ListView& list);
  // Shows the open library: list, caption, count. Does nothing when none is open.
  void ShowLibrary();
  // Selects the items whose abbreviation and meaning are exactly abb and text (and makes the
  // pair the last selected one, the item current and visible); unselects the others.
  void SelectEntry(const std::string& abb, const std::string& text);
  // Enables or disables every button but "About".
  void SetToolbarEnabled(bool on);
  // The last selected item's pair; abb and text keep their values when nothing is selected.
  void GetSelectedEntry(std::string& abb, std::string& text) const;

  // ---- Commands ----
  // The button with that index (0 open, 1 create, 2 add, 3 insert, 4 delete, 5 search,
  // 7 about); other indexes do nothing.
  void Toolbar_Click(int index);
  // Starts the in-place edit of item index.
  void ListView1_DblClick(int32_t index);
  // Commits the in-place edit.
  void OK_Click();
  // Whether the in-place editors are shown.
  bool Editing() const;

  // How the modal dialogs are shown; tests put their own in place. Each returns when the
  // dialog is closed.
  std::function<void()> showAddEntry;
  std::function<void()> showOnlineSearch;
  std::function<void()> showAbout;
  // Inserts the chosen pair into the document; returns false when it could not. By default
  // the placeholder insertion into word's document; "--pick" prints the pair instead.
  std::function<bool(const std::string& abb, const std::string& text)> insertPair;
  // Milliseconds waited after a new library file is written (the writes settle).
  int createSettleMs = 300;

  // ---- Controls ----
  widgets::qt::ListViewWidget* ListView1;
  std::array<QToolButton*, 8> Toolbar{};  // index 6 stays empty
  QLabel* NumberOFAbbrev;
  QLabel* status;
  QLineEdit* Text1;
  QLineEdit* Text2;
  widgets::qt::MartenComboBoxWidget* Combo1;
  QPushButton* OK;
  widgets::ImageList ImageList1;
  // The item being edited in place.
  int32_t EditRow = 0;

 signals:
  // The window unloaded itself (after Insert or OK).
  void unloaded();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Form_Load();
  void Unload();
  void ColumnClick(int32_t column);
  void ItemClick(int32_t item);
  void LayoutControls();

  host::Application* word_;
};

// The window caption without a library.
inline constexpr const char* kManagerCaption = "Quillon plugin";

}  // namespace quillon::ui
