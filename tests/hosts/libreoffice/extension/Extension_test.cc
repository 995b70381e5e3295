// The built quillon.oxt installed into a scratch LibreOffice profile, its bar's commands
// dispatched headlessly on documents loaded in that LibreOffice, against the same routines run
// on Quillon's own .docx model.
#include <gmock/gmock.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/DispatchHelper.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDispatchHelper.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/util/theMacroExpander.hpp>
#include <osl/file.hxx>
#include <rtl/uri.hxx>

#include <filesystem>
#include <iterator>

#include "addin/Connect.h"
#include "document/Export.h"
#include "hosts/libreoffice/LibreOfficeSession.h"
#include "hosts/libreoffice/UnoSession.h"
#include "library/AddinState.h"
#include "library/IniSettingsStore.h"
#include "library/LibraryFiles.h"
#include "library/LibraryFixture.h"
#include "support/DocumentFiles.h"
#include "support/ScriptedMessageBox.h"
#include "support/TempDir.h"
#include "widgets/BmpReader.h"
#include "widgets/ImageDecoder.h"
#include "wordhost/docx/Application.h"
#include "wordhost/docx/Document.h"

namespace quillon::libreoffice {
namespace {

namespace fs = std::filesystem;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;
using testing::Shown;

constexpr uid_t kNobody = 65534;

// Runs unopkg to add the extension at oxt to the profile folder, as an unprivileged user when
// this process is root (unopkg refuses a per-user installation by root). Returns its status.
int AddExtension(const std::string& profile, const std::string& oxt) {
  OUString profileUrl = FileUrl(profile);
  const std::string url = ToUtf8(profileUrl);
  const std::string environment = "-env:UserInstallation=" + url;
  const std::string home = fs::path(profile).parent_path().string();
  pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0) {
      if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
        ::_exit(126);
      }
    }
    ::setenv("HOME", home.c_str(), 1);
    ::execl(QUILLON_LO_PROGRAM "/unopkg", "unopkg", "add", environment.c_str(), oxt.c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class ExtensionTest : public ::testing::Test {
 protected:
  // One installation and one LibreOffice for all the tests: installing and starting take seconds.
  static void SetUpTestSuite() {
    ASSERT_TRUE(SofficeInstalled()) << "soffice is missing: scripts/setup.sh installs it";
    root_ = std::make_unique<testing::TempDir>();
    fs::permissions(root_->Path(), fs::perms(0755));
    const std::string install = root_->File("install");
    fs::create_directory(install);
    fs::copy_file(QUILLON_OXT, install + "/quillon.oxt");
    if (::geteuid() == 0) {
      for (const std::string& path : {install, install + "/quillon.oxt"}) {
        ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0) << path;
      }
    }
    ASSERT_EQ(AddExtension(install + "/profile", install + "/quillon.oxt"), 0);

    // What soffice and the extension inside it read: where settings live, where messages are
    // logged, and the stand-in for the library manager.
    fs::create_directory(root_->File("manager"));
    ::setenv("XDG_CONFIG_HOME", root_->File("config").c_str(), 1);
    ::setenv("QUILLON_MESSAGE_LOG", root_->File("messages.log").c_str(), 1);
    ::setenv("QUILLON_MANAGER", fs::absolute("tests/data/manager/fake-manager.sh").c_str(), 1);
    ::setenv("FAKE_MANAGER_DIR", root_->File("manager").c_str(), 1);
    SessionOptions options;
    options.profileTemplate = install + "/profile";
    session_ = std::make_unique<LibreOfficeSession>(options);
  }
  static void TearDownTestSuite() {
    session_.reset();
    root_.reset();
  }

  void SetUp() override {
    ASSERT_NE(session_, nullptr);
    fs::remove(root_->File("messages.log"));
    fs::remove_all(root_->File("config"));
    fs::copy_file(QUILLON_SOURCE_DIR "/samples/sample-thesis.docx", sample);
    fs::copy_file(QUILLON_SOURCE_DIR "/samples/sample-library.abb", library);
  }
  // Loads document into the LibreOffice with the extension, dispatches the command URL on its
  // frame as a click on the bar does, and writes the document as .docx to output.
  static void Dispatch(const std::string& document, const std::string& url,
                       const std::string& output) {
    Reference<css::lang::XComponent> component = LoadHidden(*session_, document);
    try {
      Reference<css::frame::XModel> model(component, UNO_QUERY_THROW);
      Reference<css::frame::XDispatchProvider> frame(model->getCurrentController()->getFrame(),
                                                     UNO_QUERY_THROW);
      Reference<css::frame::XDispatchHelper> helper =
          css::frame::DispatchHelper::create(session_->uno().context);
      helper->executeDispatch(frame, ToOUString(url), "", 0, {});
      css::uno::Sequence<css::beans::PropertyValue> arguments(1);
      arguments.getArray()[0].Name = "FilterName";
      arguments.getArray()[0].Value <<= OUString("MS Word 2007 XML");
      Reference<css::frame::XStorable>(component, UNO_QUERY_THROW)
          ->storeToURL(FileUrl(output), arguments);
    } catch (const css::uno::Exception& e) {
      ADD_FAILURE() << url << ": " << ToUtf8(e.Message);
    }
    CloseDocument(component);
  }
  testing::TempDir dir;
  std::string sample = dir.File("thesis.docx");
  std::string library = dir.File("sample.abb");
  std::string written = dir.File("written.docx");
  static inline std::unique_ptr<testing::TempDir> root_;
  static inline std::unique_ptr<LibreOfficeSession> session_;
};

// Returns the bytes of the file a configured picture URL ("vnd.sun.star.expand:" + a path
// with macros) names, as soffice expands it.
std::vector<uint8_t> PictureAt(LibreOfficeSession& session, const OUString& url) {
  OUString expanded = url;
  const OUString prefix = "vnd.sun.star.expand:";
  if (url.startsWith(prefix)) {
    expanded = rtl::Uri::decode(url.copy(prefix.getLength()), rtl_UriDecodeWithCharset,
                                RTL_TEXTENCODING_UTF8);
    expanded = css::util::theMacroExpander::get(session.uno().context)->expandMacros(expanded);
  }
  OUString path;
  if (osl::FileBase::getSystemPathFromFileURL(expanded, path) != osl::FileBase::E_None) {
    ADD_FAILURE() << "no file URL: " << ToUtf8(expanded);
    return {};
  }
  std::string bytes = testing::ReadFile(ToUtf8(path));
  return {bytes.begin(), bytes.end()};
}

TEST_F(ExtensionTest, WriterHasTheBarWithTheAddinsButtonsAndPictures) {
  Reference<css::lang::XMultiServiceFactory> provider =
      css::configuration::theDefaultProvider::get(session_->uno().context);
  // Node names hold dots and slashes, which a hierarchical path would take apart: step by
  // name from the root node.
  auto read = [&](const char* root, std::initializer_list<std::string> path) {
    OUString value;
    try {
      css::uno::Sequence<css::uno::Any> arguments(1);
      css::beans::PropertyValue nodePath;
      nodePath.Name = "nodepath";
      nodePath.Value <<= OUString::createFromAscii(root);
      arguments.getArray()[0] <<= nodePath;
      css::uno::Any node(provider->createInstanceWithArguments(
          "com.sun.star.configuration.ConfigurationAccess", arguments));
      for (const std::string& name : path) {
        node = Reference<css::container::XNameAccess>(node, UNO_QUERY_THROW)
                   ->getByName(ToOUString(name));
      }
      node >>= value;
    } catch (const css::uno::Exception& e) {
      ADD_FAILURE() << root << " " << *std::prev(path.end()) << ": " << ToUtf8(e.Message);
    }
    return value;
  };
  const char* addons = "/org.openoffice.Office.Addons/AddonUI";
  const std::string bar = "org.quillon.writer.AbbreviationBar";
  EXPECT_EQ(ToUtf8(read("/org.openoffice.Office.UI.WriterWindowState/UIElements/States",
                        {"private:resource/toolbar/addon_" + bar, "UIName"})),
            "Abbreviation bar");
  for (size_t i = 0; i < addin::kBarButtons.size(); ++i) {
    const addin::BarButton& button = addin::kBarButtons[i];
    SCOPED_TRACE(button.tag);
    const std::string item = "m" + std::to_string(i + 1);
    EXPECT_EQ(ToUtf8(read(addons, {"OfficeToolBar", bar, item, "Title"})), button.tooltip);
    EXPECT_EQ(ToUtf8(read(addons, {"OfficeToolBar", bar, item, "URL"})),
              std::string("vnd.quillon:") + button.tag);

    // The button's picture: the add-in's artwork with its black pixels transparent.
    std::vector<uint8_t> png = PictureAt(
        *session_, read(addons, {"Images", std::string("org.quillon.writer.image.") + button.tag,
                                 "UserDefinedImages", "ImageSmallURL"}));
    widgets::DecodedImage picture;
    ASSERT_TRUE(widgets::DecodeImage(png, 0, 0, picture));
    std::string artwork;
    for (const auto& entry : fs::directory_iterator(QUILLON_SOURCE_DIR "/src/ui/artwork")) {
      const std::string name = entry.path().filename().string();
      if (name.starts_with(std::to_string(button.picture) + "-")) artwork = entry.path().string();
    }
    std::string bmp = testing::ReadFile(artwork);
    widgets::DecodedImage original;
    ASSERT_TRUE(widgets::ReadBmp(std::vector<uint8_t>(bmp.begin(), bmp.end()), original))
        << artwork;
    ASSERT_EQ(picture.width, original.width);
    ASSERT_EQ(picture.height, original.height);
    size_t black = 0;
    for (size_t at = 0; at + 3 < original.pixels.size(); at += 4) {
      const bool isBlack =
          original.pixels[at] == 0 && original.pixels[at + 1] == 0 && original.pixels[at + 2] == 0;
      black += isBlack;
      EXPECT_EQ(picture.pixels[at + 3], isBlack ? 0 : 255) << "pixel " << at / 4;
      if (!isBlack) {
        EXPECT_EQ(picture.pixels[at + 1], original.pixels[at + 1]) << "pixel " << at / 4;
      }
    }
    EXPECT_GT(black, 0u);
  }
}

// Export through Writer fills the shared library as through the .docx model, with the same
// messages, and leaves the document's text.
TEST_F(ExtensionTest, ExportFillsTheSharedLibraryAsTheDocxModelDoes) {
  testing::ScriptedMessageBox messages;
  const std::string viaDocx = dir.File("docx.abb"), viaWriter = dir.File("writer.abb");
  for (const std::string& path : {viaDocx, viaWriter}) {
    ASSERT_EQ(library::CreateLibrary(path), library::CreateOutcome::kCreated);
  }
  docx::Application word(docx::Document::Open(sample));
  library::ResetState();
  library::State().AddinTitle = library::kAddinTitle;
  library::State().LibraryPath = viaDocx;
  document::ButtonExport_click(word);
  library::ResetState();
  library::IniSettingsStore(root_->File("config"))
      .SaveSetting(library::kSharedSettingsApplication, library::kSharedSettingsSection,
                   "LibraryPath", viaWriter);
  Dispatch(sample, "vnd.quillon:ButtonExport", written);

  EXPECT_FALSE(library::LibraryEntries(viaWriter).empty());
  EXPECT_EQ(library::LibraryEntries(viaWriter), library::LibraryEntries(viaDocx));
  std::string shown;
  for (const auto& m : messages.shown) shown += m.title + ": " + m.text + "\n";
  EXPECT_EQ(testing::ReadFile(root_->File("messages.log")), shown);
  EXPECT_EQ(Shown(written), Shown(sample));
}

TEST_F(ExtensionTest, QuillonRunsTheManagerOnTheSharedLibraryAndKeepsItsChoice) {
  const std::string manager = root_->File("manager");
  testing::WriteFile(manager + "/pick", "FFT\tFast Fourier Transform\n");
  testing::WriteFile(manager + "/status", "0");
  // The user takes a moment to choose; Writer handles its own events meanwhile.
  testing::WriteFile(manager + "/delay", "0.3");
  library::IniSettingsStore shared(root_->File("config"));
  auto setting = [&](const char* key) {
    return shared.GetSetting(library::kSharedSettingsApplication, library::kSharedSettingsSection,
                             key);
  };
  shared.SaveSetting(library::kSharedSettingsApplication, library::kSharedSettingsSection,
                     "LibraryPath", library);
  Dispatch(sample, "vnd.quillon:Abbrev", written);
  EXPECT_EQ(testing::ReadFile(manager + "/args"), "--pick\n" + library + "\n");
  EXPECT_EQ(setting("LastSelectedAbb"), "FFT");
  EXPECT_EQ(setting("LastSelectedText"), "Fast Fourier Transform");
  EXPECT_EQ(testing::ReadFile(root_->File("messages.log")), "");  // the extension showed nothing
  EXPECT_THAT(Shown(written), ::testing::StartsWith("{FFT-#}"));
}

}  // namespace
}  // namespace quillon::libreoffice
