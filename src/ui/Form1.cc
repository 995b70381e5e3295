#include "ui/Form1.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QToolButton>

#include "addin/host/Platform.h"
#include "document/DocumentUpdate.h"
#include "document/Insertion.h"
#include "library/AddinState.h"
#include "library/BrowseFunction.h"
#include "library/LibraryFiles.h"
#include "library/SQLlite.h"
#include "ui/AboutBox.h"
#include "ui/Artwork.h"
#include "ui/addentry.h"
#include "ui/onlinesearch.h"
#include "widgets/ListViewRows.h"
#include "widgets/qt/ListViewWidget.h"
#include "widgets/qt/MartenComboBoxWidget.h"

namespace quillon::ui {
namespace {

constexpr int kButtonSize = 40;
constexpr int kMargin = 10;

void Tell(const std::string& text) {
  host::MsgBox(text, host::MsgBoxButtons::kOkOnly, host::MsgBoxIcon::kNone,
               library::State().AddinTitle);
}

bool Ask(const std::string& text) {
  return host::MsgBox(text, host::MsgBoxButtons::kYesNo, host::MsgBoxIcon::kNone,
                      library::State().AddinTitle) == host::MsgBoxResult::kYes;
}

struct ButtonInfo {
  int index;
  const char* tooltip;
  int32_t picture;
};
constexpr ButtonInfo kButtons[] = {
    {0, "Open database", kArtOpen},
    {1, "Create a new database", kArtCreate},
    {2, "Add Abbreviation", kArtAdd},
    {3, "Insert in Word", kArtInsert},
    {4, "Delete abbreviation", kArtDelete},
    {5, "Online search", kArtSearch},
    {7, "About", kArtAbout},
};

}  // namespace

Form1::Form1(host::Application* word, QWidget* parent)
    : QWidget(parent),
      ListView1(new widgets::qt::ListViewWidget(this)),
      NumberOFAbbrev(new QLabel(this)),
      status(new QLabel(this)),
      Text1(new QLineEdit(this)),
      Text2(new QLineEdit(this)),
      Combo1(new widgets::qt::MartenComboBoxWidget(this)),
      OK(new QPushButton(QStringLiteral("OK"), this)),
      ImageList1(MakeImageList1()),
      word_(word) {
  setWindowTitle(QString::fromUtf8(kManagerCaption));
  setWindowIcon(ArtworkIcon(kArtLibrary));
  ListView1->setObjectName("ListView1");
  NumberOFAbbrev->setObjectName("NumberOFAbbrev");
  status->setObjectName("status");
  Text1->setObjectName("Text1");
  Text2->setObjectName("Text2");
  Combo1->setObjectName("Combo1");
  OK->setObjectName("OK");
  for (const ButtonInfo& b : kButtons) {
    auto* button = new QToolButton(this);
    button->setObjectName(QStringLiteral("Toolbar%1").arg(b.index));
    button->setToolTip(QString::fromUtf8(b.tooltip));
    button->setIcon(ArtworkIcon(b.picture));
    button->setIconSize(QSize(32, 32));
    button->setAutoRaise(true);
    connect(button, &QToolButton::clicked, this, [this, index = b.index] { Toolbar_Click(index); });
    Toolbar[static_cast<size_t>(b.index)] = button;
  }
  for (QWidget* editor : {static_cast<QWidget*>(Text1), static_cast<QWidget*>(Text2),
                          static_cast<QWidget*>(Combo1), static_cast<QWidget*>(OK)}) {
    editor->hide();
  }
  connect(OK, &QPushButton::clicked, this, &Form1::OK_Click);

  widgets::ListView& list = ListView1->model();
  list.SetProperty("Font", widgets::Font{"Sans Serif", 10.0});
  list.events().DblClick = [this](int32_t item) { ListView1_DblClick(item); };
  list.events().ColumnClick = [this](int32_t column) { ColumnClick(column); };
  list.events().Click = [this](int32_t item) { ItemClick(item); };

  showAddEntry = [this] {
    addentry dialog(this);
    dialog.exec();
  };
  showOnlineSearch = [this] {
    onlinesearch dialog(this);
    dialog.exec();
  };
  showAbout = [this] {
    AboutBox dialog(this);
    dialog.exec();
  };
  insertPair = [this](const std::string& abb, const std::string& text) {
    return word_ != nullptr && document::InsertPlaceholder(*word_, abb, text);
  };

  resize(720, 460);
  LayoutControls();
  Form_Load();
}

Form1::~Form1() = default;

// ---- layout ----

void Form1::resizeEvent(QResizeEvent*) {
  LayoutControls();
}

void Form1::LayoutControls() {
  // The list above the button row: the window's width, its height less the row and 20.
  const int listHeight = std::max(height() - kButtonSize - 20, 0);
  ListView1->setGeometry(0, 0, width(), listHeight);
  ListView1->model().SetWidth(width());
  int x = kMargin;
  const int y = listHeight + 10;
  for (QToolButton* button : Toolbar) {
    if (!button) continue;
    button->setGeometry(x, y, kButtonSize, kButtonSize);
    x += kButtonSize + 4;
  }
  NumberOFAbbrev->setGeometry(x + 12, y, 220, kButtonSize / 2);
  status->setGeometry(x + 12, y + kButtonSize / 2, std::max(width() - x - 24, 0), kButtonSize / 2);
}

// ---- loading and the list ----

void Form1::Form_Load() {
  library::AddinState& state = library::State();
  status->setText(QString());
  SetToolbarEnabled(true);
  widgets::ListView& list = ListView1->model();
  if (!state.LibraryPath.empty()) {
    list.SetRedraw(false);
    list.Clear();
    ListLibrary(list);
    list.SetRedraw(true);
    setWindowTitle(
        QString::fromStdString(std::string(kManagerCaption) + " - " + state.LibraryPath));
    NumberOFAbbrev->setText(
        QString::fromStdString(library::AbbreviationCountText(library::CountAbbreviations())));
    if (!state.LastSelectedAbb.empty()) SelectEntry(state.LastSelectedAbb, state.LastSelectedText);
  } else {
    list.AddColumn("L/R", "Direction", 0, 30);
    list.AddColumn("abb", "Abbreviation", 0, 200);
    list.AddColumn("abbtext", "Text", 0, list.Width() - 250);
  }
}

void Form1::ListLibrary(widgets::ListView& list) {
  const library::AddinState& state = library::State();
  widgets::ListViewRows rows(list);
  const library::QueryResult& listing =
      library::ListAbbreviations(state.LibraryPath, state.SortColumn, state.SortOrder, rows);
  const bool listed = listing.RowCount != 0;
  int32_t column = 0;
  for (const library::ListingHeading& heading : library::ListingHeadings(listed, list.Width())) {
    if (listed) {
      list.SetColumnCaption(column, heading.caption);
      list.SetColumnWidth(column, heading.width);
    } else {
      list.AddColumn(heading.key, heading.caption, 0, heading.width);
    }
    ++column;
  }
}

void Form1::RefreshListView(int16_t clearOnly) {
  widgets::ListView& list = ListView1->model();
  // Painting waits until the list is complete.
  list.SetRedraw(false);
  list.Clear();  // every item at once (one by one from the top costs quadratic time)
  while (list.ColumnCount() > 0) list.RemoveColumn(0);
  if (clearOnly != 1) ListLibrary(list);
  list.SetRedraw(true);
}

void Form1::ShowLibrary() {
  const library::AddinState& state = library::State();
  if (state.LibraryPath.empty()) return;
  RefreshListView(0);
  setWindowTitle(QString::fromStdString(std::string(kManagerCaption) + " - " + state.LibraryPath));
  NumberOFAbbrev->setText(
      QString::fromStdString(library::AbbreviationCountText(library::CountAbbreviations())));
}

void Form1::SelectEntry(const std::string& abb, const std::string& text) {
  widgets::ListView& list = ListView1->model();
  library::AddinState& state = library::State();
  if (list.ColumnCount() < 3) return;
  list.SetRedraw(false);
  int32_t found = -1;
  for (int32_t i = 0; i < list.ItemCount(); ++i) {
    if (list.ItemText(i, 1) == abb && list.ItemText(i, 2) == text) {
      list.SetItemSelected(i, true);
      state.LastSelectedAbb = abb;
      state.LastSelectedText = text;
      list.SetSelectedItem(i);
      found = i;
    } else {
      list.SetItemSelected(i, false);
    }
  }
  list.SetRedraw(true);
  if (found >= 0) ListView1->MakeSureVisible(found, -1);
}

void Form1::SetToolbarEnabled(bool on) {
  for (size_t i = 0; i < Toolbar.size(); ++i) {
    if (Toolbar[i] && i != 7) Toolbar[i]->setEnabled(on);
  }
}

void Form1::GetSelectedEntry(std::string& abb, std::string& text) const {
  const widgets::ListView& list = ListView1->model();
  if (list.ColumnCount() < 3) return;
  for (int32_t i = 0; i < list.ItemCount(); ++i) {
    if (list.ItemSelected(i)) {
      abb = list.ItemText(i, 1);
      text = list.ItemText(i, 2);
    }
  }
}

void Form1::ItemClick(int32_t item) {
  const widgets::ListView& list = ListView1->model();
  if (item < 0 || item >= list.ItemCount() || list.ColumnCount() < 3) return;
  library::State().LastSelectedAbb = list.ItemText(item, 1);
  library::State().LastSelectedText = list.ItemText(item, 2);
}

void Form1::ColumnClick(int32_t column) {
  library::AddinState& state = library::State();
  if (!state.LastSelectedAbb.empty()) SelectEntry(state.LastSelectedAbb, state.LastSelectedText);
  const int16_t c = static_cast<int16_t>(column + 1);
  if (c == state.SortColumn) {
    if (state.SortOrder == 1) {
      state.SortOrder = 2;
    } else if (state.SortOrder == 2) {
      state.SortOrder = 1;
    }
  } else {
    state.SortOrder = 1;
  }
  state.SortColumn = c;
  if (state.SortOrder == 0) state.SortOrder = 1;
}

// ---- commands ----

void Form1::Toolbar_Click(int index) {
  library::AddinState& state = library::State();
  switch (index) {
    case 0:  // Open
      state.LibraryPath = library::ChooseLibraryToOpen();
      ShowLibrary();
      break;
    case 1: {  // Create
      state.LibraryPath = library::ChooseLibraryToSave();
      if (state.LibraryPath.empty()) return;
      library::CreateOutcome outcome;
      try {
        outcome = library::CreateLibrary(state.LibraryPath);
      } catch (const library::LibraryFileError& e) {
        // The file could not be written: nothing is open and the user is told why.
        state.LibraryPath.clear();
        Tell(e.what());
        return;
      }
      if (outcome == library::CreateOutcome::kDeclined) return;
      if (createSettleMs > 0) QThread::msleep(static_cast<unsigned long>(createSettleMs));
      ShowLibrary();
      break;
    }
    case 2: {  // Add
      if (state.LibraryPath.empty()) {
        Tell("Open database first");
        return;
      }
      if (showAddEntry) showAddEntry();
      if (state.PendingAbb.empty()) return;
      library::CheckAbbrevExistance_Add_todB(
          state.LibraryPath, state.PendingAbb, state.PendingText, state.PendingDirection, true,
          [this](const std::string& abb, const std::string& text) {
            RefreshListView(0);
            SelectEntry(abb, text);
          });
      break;
    }
    case 3: {  // Insert
      GetSelectedEntry(state.PendingAbb, state.PendingText);
      if (state.PendingAbb.empty()) {
        Tell("Please select an Abbreviation first");
        return;
      }
      if (!word_ && !insertPair) {
        Tell(kNoDocumentText);
        return;
      }
      status->setText(QStringLiteral("Inserting abbreviation to file"));
      hide();
      const bool inserted = insertPair && insertPair(state.PendingAbb, state.PendingText);
      status->setText(QString());
      if (!inserted) {
        // Nothing went in: the window comes back with the pair still chosen.
        if (!word_) Tell(kNoDocumentText);
        show();
        return;
      }
      Unload();
      state.PendingAbb.clear();
      state.PendingText.clear();
      break;
    }
    case 4: {  // Delete
      if (state.LibraryPath.empty()) {
        Tell("Please open a database first");
        return;
      }
      std::string abb, text;
      GetSelectedEntry(abb, text);
      if (abb.empty()) {
        Tell("Please select an Abbreviation first");
        return;
      }
      if (!Ask("Abbreviation deleting, Are you sure?")) return;
      library::DeleteAbbreviation(state.LibraryPath, abb, text);
      RefreshListView(0);
      // Without a document there are no fields to disconnect.
      if (word_ && Ask("Disconnect corresponding abbreviations' links in the document?\r"
                       "Clicking No- makes it appear in the abbreviation list.")) {
        document::DeleteRemovedFields(*word_, abb, text);
      }
      break;
    }
    case 5:
      if (showOnlineSearch) showOnlineSearch();
      break;
    case 7:
      if (showAbout) showAbout();
      break;
    default:
      break;
  }
}

// ---- the in-place edit ----

void Form1::ListView1_DblClick(int32_t index) {
  widgets::ListView& list = ListView1->model();
  if (index < 0 || index >= list.ItemCount() || list.ColumnCount() < 3) return;
  const std::string abb = list.ItemText(index, 1);
  const std::string text = list.ItemText(index, 2);
  const auto direction = ListView1->GetItemRect(0, index);
  const auto abbCell = ListView1->GetItemRect(1, index);
  const auto textCell = ListView1->GetItemRect(2, index);
  if (!direction || !abbCell || !textCell) return;
  SetToolbarEnabled(false);
  ListView1->setEnabled(false);
  const QPoint origin = ListView1->pos();

  widgets::MartenComboBox& combo = Combo1->model();
  combo.Clear();  // a second edit must not add the items again
  combo.AddItem("L");
  combo.AddItem("R");
  const int comboWidth = std::max(direction->Right - direction->Left + 4, 44);
  Combo1->setGeometry(origin.x() + direction->Left - 4, origin.y() + direction->Top - 1, comboWidth,
                      direction->Bottom - direction->Top + 2);
  Combo1->show();
  Combo1->raise();

  auto place = [&](QLineEdit* edit, const widgets::PixelRect& cell, const std::string& value) {
    edit->setText(QString::fromStdString(value));
    edit->setGeometry(origin.x() + cell.Left, origin.y() + cell.Top, cell.Right - cell.Left,
                      cell.Bottom - cell.Top);
    edit->show();
    edit->raise();
  };
  // The abbreviation box starts right of the combo box when that is wider than its cell.
  widgets::PixelRect abbRect = *abbCell;
  abbRect.Left = std::max(abbRect.Left, direction->Left - 4 + comboWidth);
  place(Text1, abbRect, abb);
  place(Text2, *textCell, text);
  OK->adjustSize();
  OK->move(Text2->x() + Text2->width() - OK->width(), Text2->y() + Text2->height());
  OK->show();
  OK->raise();
  EditRow = index;
  Text1->setFocus();
}

bool Form1::Editing() const {
  return !OK->isHidden();
}

void Form1::OK_Click() {
  widgets::ListView& list = ListView1->model();
  library::AddinState& state = library::State();
  if (EditRow < 0 || EditRow >= list.ItemCount()) return;
  const std::string oldAbb = list.ItemText(EditRow, 1);
  const std::string oldText = list.ItemText(EditRow, 2);
  SetToolbarEnabled(true);
  std::string direction;
  switch (Combo1->model().ListIndex()) {
    case 0:
      direction = "L";
      break;
    case 1:
      direction = "R";
      break;
    default: {
      const int32_t current = list.SelectedItem() >= 0 ? list.SelectedItem() : EditRow;
      direction = list.ItemText(current, 0);
    }
  }
  const std::string newAbb = Text1->text().toStdString();
  Text1->clear();
  const std::string newText = Text2->text().toStdString();
  Text2->clear();
  list.SetItemText(EditRow, 0, direction);
  list.SetItemText(EditRow, 1, newAbb);
  list.SetItemText(EditRow, 2, newText);
  Text1->hide();
  Text2->hide();
  OK->hide();
  Combo1->hide();
  ListView1->setEnabled(true);
  EditRow = 0;
  status->setText(QStringLiteral("Updating library ... "));
  library::UpdateAbbreviation(state.LibraryPath, oldAbb, oldText, newAbb, newText, direction);
  RefreshListView(0);
  status->setText(QStringLiteral("Updating document ... "));
  if (word_) {
    document::RenameEntryFields(*word_, document::kRenameFields, oldAbb, oldText, newAbb, newText);
  }
  status->setText(QString());
  Unload();
}

void Form1::Unload() {
  close();
  emit unloaded();
}

}  // namespace quillon::ui
