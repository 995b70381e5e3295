// The INI settings store against QSettings, which the desktop programs use on the same file.
#include "library/IniSettingsStore.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QSettings>
#include <QString>

#include "addin/host/HostError.h"
#include "library/AddinState.h"
#include "support/ReadOnly.h"
#include "support/TempDir.h"

namespace quillon::library {
namespace {

constexpr const char* kApp = "Quillon AddIn";

// Values that need QSettings' quoting and escapes, and some that need none.
const std::string kValues[] = {
    "/home/user/libraries/thesis.abb",
    "",
    "World Health Organization",
    "one, two; three = four",
    " blanks around ",
    "a \"quoted\" word and a back\\slash",
    "tab\there, new\nline, return\rend",
    "@at the start",
    "Ärzte ohne Grenzen — ✓ 中文",
    "control \x01 then hex digits \x02"
    "ab",
    "; only a comment?",
    "\"",
};

class IniSettingsStoreTest : public ::testing::Test {
 protected:
  std::string Folder() const { return dir.Path().string(); }
  IniSettingsStore Store() const { return IniSettingsStore(Folder()); }
  QString FileName() const { return QString::fromStdString(Store().FileOf(kApp)); }
  testing::TempDir dir;
};

// Each value goes from the store to QSettings under one key, and back under another.
TEST_F(IniSettingsStoreTest, ValuesTravelBothWaysBetweenItAndQSettings) {
  for (size_t i = 0; i < std::size(kValues); ++i) {
    Store().SaveSetting(kApp, "Library", "Key" + std::to_string(i), kValues[i]);
  }
  {
    QSettings settings(FileName(), QSettings::IniFormat);
    for (size_t i = 0; i < std::size(kValues); ++i) {
      SCOPED_TRACE(kValues[i]);
      QVariant value = settings.value(QString::fromStdString("Library/Key" + std::to_string(i)));
      ASSERT_TRUE(value.isValid());
      EXPECT_EQ(value.toString().toStdString(), kValues[i]);
      settings.setValue(QString::fromStdString("Back/Key" + std::to_string(i)),
                        QString::fromStdString(kValues[i]));
    }
    settings.setValue(QStringLiteral("ToolBar/Visible"), QStringLiteral("-1"));
    settings.sync();
    ASSERT_EQ(settings.status(), QSettings::NoError);
  }
  IniSettingsStore store = Store();
  for (size_t i = 0; i < std::size(kValues); ++i) {
    SCOPED_TRACE(kValues[i]);
    EXPECT_EQ(store.GetSetting(kApp, "Back", "Key" + std::to_string(i)), kValues[i]);
  }
  EXPECT_EQ(store.GetSetting(kApp, "ToolBar", "Visible"), "-1");
}

TEST_F(IniSettingsStoreTest, SavingOneKeyKeepsTheOthers) {
  IniSettingsStore store = Store();
  store.SaveSetting(kApp, "ToolBar", "Top", "149");
  store.SaveSetting(kApp, "Library", "LibraryPath", "/a.abb");
  store.SaveSetting(kApp, "ToolBar", "Left", "135");
  store.SaveSetting(kApp, "ToolBar", "Top", "200");
  store.SaveSetting(kApp, "Other App", "Top", "7");

  EXPECT_EQ(store.GetSetting(kApp, "ToolBar", "Top"), "200");
  EXPECT_EQ(store.GetSetting(kApp, "ToolBar", "Left"), "135");
  EXPECT_EQ(store.GetSetting(kApp, "Library", "LibraryPath"), "/a.abb");
  EXPECT_EQ(store.GetSetting(kApp, "Other App", "Top"), "7");
  EXPECT_EQ(store.GetSetting(kApp, "Library", "Top"), std::nullopt);
  EXPECT_EQ(store.GetSetting(kApp, "Missing", "Top"), std::nullopt);
  EXPECT_EQ(store.GetSetting("Another Program", "ToolBar", "Top"), std::nullopt);

  QSettings settings(FileName(), QSettings::IniFormat);
  EXPECT_EQ(settings.value(QStringLiteral("ToolBar/Top")).toString(), QStringLiteral("200"));
  EXPECT_EQ(settings.value(QStringLiteral("Other App/Top")).toString(), QStringLiteral("7"));
  EXPECT_EQ(settings.childGroups().size(), 3);
}

TEST_F(IniSettingsStoreTest, AFileItCannotWriteIsAHostError) {
  IniSettingsStore store = Store();
  store.SaveSetting(kApp, "Library", "LibraryPath", "/a.abb");
  testing::MakeReadOnly(Store().FileOf(kApp));
  testing::ScopedUnprivileged unprivileged;
  auto save = [&] { store.SaveSetting(kApp, "Library", "LibraryPath", "/b.abb"); };
  EXPECT_THAT(save, ::testing::Throws<host::HostError>(
                        ::testing::Property(&host::HostError::Number, host::kErrCommandFailed)));
  EXPECT_THAT(
      save, ::testing::ThrowsMessage<host::HostError>(::testing::HasSubstr("Quillon AddIn.conf")));
}

// The shared state goes through the store; a key never stored leaves its field as it is.
TEST_F(IniSettingsStoreTest, TheSharedStateGoesThroughTheStore) {
  IniSettingsStore store = Store();
  ResetState();
  State().LibraryPath = "/libraries/a, b.abb";
  State().LastSelectedText = "World Health Organization";
  SaveSharedState(store);
  ResetState();
  store.SaveSetting(kSharedSettingsApplication, kSharedSettingsSection, "LastSelectedAbb", "UN");
  LoadSharedState(store);
  EXPECT_EQ(State().LibraryPath, "/libraries/a, b.abb");
  EXPECT_EQ(State().LastSelectedAbb, "UN");
  EXPECT_EQ(State().LastSelectedText, "World Health Organization");
  testing::TempDir empty;
  IniSettingsStore nothingStored(empty.Path().string());
  LoadSharedState(nothingStored);
  EXPECT_EQ(State().LibraryPath, "/libraries/a, b.abb");
  ResetState();
}

}  // namespace
}  // namespace quillon::library
