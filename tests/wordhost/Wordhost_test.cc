// The desktop host headless, with the real add-in plug-in loaded into it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <QToolBar>
#include <filesystem>
#include <fstream>

#include "addin/host/Platform.h"
#include "library/AddinState.h"
#include "support/Commands.h"
#include "support/ScriptedMessageBox.h"
#include "support/TempDir.h"
#include "wordhost/app/DocumentView.h"
#include "wordhost/app/MainWindow.h"
#include "wordhost/app/QtServices.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/Selection.h"
#include "wordhost/docx/TextExport.h"

namespace quillon::wordhost {
namespace {

const std::string kPlugin = QUILLON_BINARY_DIR "/lib/libquillon-addin.so";
const std::string kQuillon = QUILLON_BINARY_DIR "/src/cli/quillon";

// Returns what `quillon command 'file'` prints.
std::string Quillon(const std::string& command, const std::string& file) {
  return testing::CommandOutput("'" + kQuillon + "' " + command + " '" + file + "'" +
                                (command == "fields" ? " --json" : ""));
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class WordhostTest : public ::testing::Test {
 protected:
  WordhostTest() {
    setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
    std::filesystem::copy_file(QUILLON_SOURCE_DIR "/samples/sample-thesis.docx", doc);
    std::filesystem::copy_file(QUILLON_SOURCE_DIR "/samples/sample-library.abb", lib);
    host::Platform().clipboard = &clipboard;
    host::Platform().settings = &settings;
    library::ResetState();
  }
  ~WordhostTest() override {
    window.reset();
    host::Platform() = {};
    library::ResetState();
  }

  MainWindow& Open() {
    window = std::make_unique<MainWindow>(doc);
    window->show();
    return *window;
  }
  int ConnectQuillon() {
    return window->ConnectAddins(
        {{"Quillon.Connect", "My Add-In", "Add-In Project Template", 3, kPlugin}});
  }
  QAction* Button(const char* tag) {
    for (const auto& bar : window->commandBars().Bars())
      for (QAction* action : bar->toolBar()->actions())
        if (action->objectName() == tag) return action;
    return nullptr;
  }
  docx::Document& Document() { return *window->application().document(); }

  testing::TempDir dir;
  const std::string doc = dir.File("thesis.docx");
  const std::string lib = dir.File("library.abb");
  QtClipboard clipboard;
  QtSettingsStore settings;
  testing::ScriptedMessageBox messages;
  std::unique_ptr<MainWindow> window;
};

// A plug-in that does not load is reported and skipped; ours puts up its bar, which keeps its
// placement over a disconnection and is listed under View > Toolbars.
TEST_F(WordhostTest, PluginPutsUpTheBarWithFivePictureButtons) {
  QApplication::clipboard()->setText(QStringLiteral("the user's text"));
  Open();
  std::ofstream(dir.File("broken.so")) << "not a plug-in";
  ASSERT_EQ(window->ConnectAddins({{"Broken.Addin", "", "", 3, dir.File("broken.so")},
                                   {"Quillon.Connect", "My Add-In", "", 3, kPlugin}}),
            1);
  ASSERT_EQ(window->loadFailures.size(), 1u);
  EXPECT_NE(window->loadFailures[0].find("Broken.Addin"), std::string::npos);
  auto bar = window->commandBars().Item("Abbreviation bar");
  ASSERT_TRUE(bar);
  EXPECT_TRUE(bar->Visible());
  EXPECT_EQ(std::make_tuple(bar->Position(), bar->Left(), bar->Top()),
            std::make_tuple(4, 135L, 149L));
  const char* tags[] = {"Abbrev", "ButtonUpdate", "ButtonInsertList", "ButtonInsertLastSelected",
                        "ButtonExport"};
  for (const char* tag : tags) {
    QAction* action = Button(tag);
    ASSERT_NE(action, nullptr) << tag;
    const QImage face = action->icon().pixmap(16, 16).toImage();
    ASSERT_FALSE(face.isNull()) << tag;
    // The pictures stand on black, which the mask makes transparent.
    EXPECT_EQ(qAlpha(face.pixel(0, 0)), 0) << tag;
  }
  EXPECT_EQ(Button("Abbrev")->toolTip(), QStringLiteral("Quillon"));
  // Connecting left the user's clipboard as it was.
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("the user's text"));

  bar->SetPosition(1);
  window->DisconnectAddins();
  EXPECT_FALSE(window->commandBars().Item("Abbreviation bar"));
  EXPECT_EQ(settings.GetSetting("Quillon AddIn", "ToolBar", "Position"), "1");
  EXPECT_TRUE(settings.GetSetting("Quillon AddIn", "ToolBar", "Width"));
  ASSERT_EQ(ConnectQuillon(), 1);
  bar = window->commandBars().Item("Abbreviation bar");
  EXPECT_EQ(bar->Position(), 1);

  window->toolbarsMenu().aboutToShow();
  ASSERT_EQ(window->toolbarsMenu().actions().size(), 1);
  window->toolbarsMenu().actions()[0]->setChecked(false);
  EXPECT_FALSE(bar->Visible());
}

TEST_F(WordhostTest, FiveButtonsSaveAndSaveAsLeaveAnUpdatedDocumentAndItsCopy) {
  Open();
  ASSERT_EQ(ConnectQuillon(), 1);
  library::State().LibraryPath = lib;
  // Select "Neural" in the title: the manager finds its entry, Insert last selected puts a
  // field over the selection.
  const std::string shown = docx::ShowText(Document(), false);
  const long at = static_cast<long>(shown.find("Neural"));
  Document().selection().SetRange(at, at + 6);
  Button("Abbrev")->trigger();
  EXPECT_FALSE(library::State().LastSelectedAbb.empty());
  bool managerShown = false;
  for (QWidget* w : QApplication::topLevelWidgets())
    managerShown |= w->isVisible() && w->windowTitle().startsWith(QStringLiteral("Quillon plugin"));
  EXPECT_TRUE(managerShown);
  const std::string abb = library::State().LastSelectedAbb;
  const size_t fieldsBefore = Document().fieldIndex().Count();
  Button("ButtonInsertLastSelected")->trigger();
  EXPECT_EQ(Document().fieldIndex().Count(), fieldsBefore + 1);
  Button("ButtonUpdate")->trigger();
  Button("ButtonInsertList")->trigger();
  Button("ButtonExport")->trigger();
  EXPECT_EQ(
      messages.Texts(),
      (std::vector<std::string>{
          "Abbrevations' formattings are updated according to their position in text",
          "Abbreviation list is updated", "Abbreviations exported correctly to the open library"}));
  ASSERT_TRUE(window->SaveTo());

  const std::string json = Quillon("fields", doc);
  // No placeholder is left, the new field is there, and the list marker.
  EXPECT_EQ(Count(json, "-#"), 0u) << json.substr(0, 400);
  EXPECT_GE(Count(json, "<ABB>" + abb + "</ABB>"), 1u);
  EXPECT_EQ(Count(json, "Abbreviation List"), 1u);
  const std::string text = Quillon("show", doc);
  EXPECT_NE(text.find("Abbreviation\tMeaning\tPage"), std::string::npos) << text.substr(0, 300);

  // Typing, Enter and Backspace at the start, then Save As: the file saved before is untouched.
  DocumentView& view = window->view();
  view.setFocus();
  Document().selection().SetRange(0, 0);
  QTest::keyClicks(&view, "Draft ");
  QTest::keyClick(&view, Qt::Key_Return);
  QTest::keyClick(&view, Qt::Key_Backspace);
  QTest::keyClick(&view, Qt::Key_Backspace);
  const std::string target = dir.File("copy.docx");
  ASSERT_TRUE(window->SaveTo(target));
  const std::string copy = Quillon("show", target);
  EXPECT_EQ(copy.rfind("DraftLearning to See Faults", 0), 0u) << copy.substr(0, 80);
  EXPECT_EQ(Quillon("show", doc), text);
}

}  // namespace
}  // namespace quillon::wordhost
