// The Abbreviation bar's commands over the .docx host, with the manager played by a function
// and the shared state in an INI store of the test's own.
#include "hosts/libreoffice/extension/BarCommands.h"

#include "addin/Connect.h"
#include "document/DocumentFixture.h"
#include "library/IniSettingsStore.h"

namespace quillon::libreoffice {
namespace {

using docx::testing::P;
using docx::testing::R;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(BarCommandUrls, EachButtonHasItsUrl) {
  ASSERT_EQ(kBarCommands.size(), addin::kBarButtons.size());
  for (size_t i = 0; i < kBarCommands.size(); ++i) {
    // The URL names the button by the tag the add-in gives it.
    EXPECT_STREQ(kBarCommands[i].name, addin::kBarButtons[i].tag);
    EXPECT_EQ(CommandOfUrl("vnd.quillon:" + std::string(kBarCommands[i].name)),
              kBarCommands[i].command);
  }
  for (const char* url :
       {"vnd.quillon:buttonupdate", "vnd.quillon:ButtonUpdate?x", ".uno:ButtonUpdate"}) {
    EXPECT_EQ(CommandOfUrl(url), std::nullopt) << url;
  }
}

class BarCommandsTest : public document::DocumentTest {
 protected:
  BarCommandsTest() : store(dir.File("config")) {
    host::Platform().settings = &store;
    AddEntry("UN", "United Nations");
    AddEntry("WHO", "World Health Organization");
    library = library::State().LibraryPath;
    // Another host left the library open; this one starts from nothing.
    library::SaveSharedState(store);
    library::ResetState();
  }
  ~BarCommandsTest() override { host::Platform().settings = nullptr; }

  std::optional<std::string> Stored(const char* key) {
    return store.GetSetting(library::kSharedSettingsApplication, library::kSharedSettingsSection,
                            key);
  }
  void Store(const char* key, const std::string& value) {
    store.SaveSetting(library::kSharedSettingsApplication, library::kSharedSettingsSection, key,
                      value);
  }
  void Run(BarCommand command) { RunBarCommand(command, word, pick); }

  library::IniSettingsStore store;
  std::string library;
  std::vector<std::string> picksFrom;  // the library each manager run was given
  std::optional<PickedEntry> choice;
  ManagerPicker pick = [this](const std::string& library) {
    picksFrom.push_back(library);
    return choice;
  };
};

TEST_F(BarCommandsTest, QuillonLooksTheSelectionUpAndInsertsTheChosenEntry) {
  Open(P(R("See WH here.")));
  word.Selection().SetRange(4, 6);
  std::optional<std::string> lastWhenPicking;
  pick = [&](const std::string& library) {
    picksFrom.push_back(library);
    lastWhenPicking = Stored("LastSelectedAbb");
    return std::optional<PickedEntry>({"UN", "United Nations"});
  };
  Run(BarCommand::kQuillon);

  EXPECT_THAT(picksFrom, ElementsAre(library));
  EXPECT_EQ(lastWhenPicking, "WHO");  // the manager finds the looked-up entry selected
  ASSERT_THAT(Results(), ElementsAre("{UN-#" + library::EntryIdOf("UN", "United Nations") + "}"));
  EXPECT_EQ(Shown(), "See " + Results()[0] + " here.\r");
  EXPECT_EQ(Stored("LastSelectedAbb"), "UN");
  EXPECT_EQ(Stored("LastSelectedText"), "United Nations");
  EXPECT_THAT(messages.Texts(), ElementsAre());
}

// Only the library the user opens in the manager knows the entry, as written right to left.
TEST_F(BarCommandsTest, QuillonInsertsWithTheLibraryOpenedInTheManager) {
  std::string other = dir.File("other.abb");
  library::CreateLibrary(other);
  AddEntry("ABC", "Alef Bet", "R");
  library::ResetState();
  Open(P(R("Text.")));
  pick = [&](const std::string&) {
    Store("LibraryPath", other);
    return std::optional<PickedEntry>({"ABC", "Alef Bet"});
  };
  Run(BarCommand::kQuillon);
  ASSERT_EQ(doc().Fields().Count(), 1);
  EXPECT_THAT(Code(1), HasSubstr("<ABB>ABC</ABB><Text>Alef Bet</Text><Direction>RTL</Direction>"));
  EXPECT_EQ(Stored("LibraryPath"), other);
}

TEST_F(BarCommandsTest, QuillonWithoutAChoiceLeavesTheDocument) {
  Open(P(R("Text.")));
  const std::string before = Shown();
  Run(BarCommand::kQuillon);
  EXPECT_EQ(picksFrom.size(), 1u);
  pick = [](const std::string&) -> std::optional<PickedEntry> {
    throw ManagerError("cannot run quillon-manager");
  };
  Run(BarCommand::kQuillon);
  EXPECT_EQ(Shown(), before);
  EXPECT_THAT(messages.Texts(), ElementsAre("The library manager cannot be shown: cannot run "
                                            "quillon-manager"));
  EXPECT_EQ(messages.shown[0].title, library::kAddinTitle);
}

TEST_F(BarCommandsTest, TheDocumentButtonsRunTheAddinsRoutines) {
  Open(P(R("First ") + document::Placeholder("WHO", "World Health Organization") + R(", again ") +
         document::Placeholder("WHO", "World Health Organization") + R(".")));
  Run(BarCommand::kUpdateDocument);
  EXPECT_THAT(Results(), ElementsAre("World Health Organization (WHO)", "WHO"));

  // The pair another host selected last is the one inserted.
  Store("LastSelectedAbb", "UN");
  Store("LastSelectedText", "United Nations");
  word.Selection().SetRange(0, 0);
  Run(BarCommand::kInsertLastSelected);
  EXPECT_EQ(Results().front(), "{UN-#" + library::EntryIdOf("UN", "United Nations") + "}");
}

TEST_F(BarCommandsTest, WithNoLibraryAnywhereTheUserIsTold) {
  Store("LibraryPath", "");
  Open(P(R("Text.")));
  Run(BarCommand::kInsertLastSelected);
  Run(BarCommand::kQuillon);
  EXPECT_THAT(picksFrom, ElementsAre(""));
  EXPECT_THAT(messages.Texts(), ElementsAre("Open a library first"));
  EXPECT_EQ(Shown(), "Text.\r");
}

}  // namespace
}  // namespace quillon::libreoffice
