#include "wordhost/AddinRegistry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "base/AtomicFile.h"
#include "support/TempDir.h"
#include "wordhost/AddinLoader.h"

namespace quillon::wordhost {
namespace {

RegisteredAddin Quillon(const std::string& path) {
  return {"Quillon.Connect", "My Add-In", "Add-In Project Template", 3, path};
}

// Registering writes a section per add-in, replaces the one of the same ProgID and keeps the
// others; an unwritable place is an error.
TEST(AddinRegistry, RegisterWritesTheSectionAndReadsBackOrThrowsWhenUnwritable) {
  testing::TempDir dir;
  const std::string path = dir.File("cfg/wordhost/addins.ini");
  RegisterAddin(path, Quillon("/opt/q/libquillon-addin.so"));
  EXPECT_EQ(testing::ReadFile(path),
            "[Quillon.Connect]\nFriendlyName=My Add-In\nDescription=Add-In Project Template\n"
            "LoadBehavior=3\nPath=/opt/q/libquillon-addin.so\n\n");
  RegisterAddin(path, {"Other.Addin", "Other", "", 0, "/x.so"});
  RegisterAddin(path, Quillon("/b.so"));
  const auto addins = ReadAddinRegistry(path);
  ASSERT_EQ(addins.size(), 2u);
  EXPECT_EQ(addins[0].Path, "/b.so");
  EXPECT_TRUE(LoadsAtStartup(addins[0]));
  EXPECT_EQ(addins[1].ProgId, "Other.Addin");
  EXPECT_FALSE(LoadsAtStartup(addins[1]));
  std::ofstream(dir.File("file")) << "x";
  EXPECT_THROW(RegisterAddin(dir.File("file/addins.ini"), Quillon("/a.so")), FileError);
}

TEST(AddinRegistry, ReadingSkipsWhatItDoesNotUnderstand) {
  testing::TempDir dir;
  const std::string path = dir.File("addins.ini");
  std::ofstream(path) << "stray=1\n; comment\n[A]\r\nLoadBehavior = x3\nnonsense\nPath = /a.so \n"
                         "[B]\nLoadBehavior=2\n";
  const auto addins = ReadAddinRegistry(path);
  ASSERT_EQ(addins.size(), 2u);
  EXPECT_EQ(std::tie(addins[0].ProgId, addins[0].LoadBehavior, addins[0].Path),
            std::make_tuple("A", 0, "/a.so"));
  EXPECT_TRUE(LoadsAtStartup(addins[1]));
  EXPECT_TRUE(ReadAddinRegistry(dir.File("missing.ini")).empty());
}

TEST(AddinRegistry, PathFollowsXdgConfigHome) {
  const char* saved = std::getenv("XDG_CONFIG_HOME");
  const std::string keep = saved ? saved : "";
  setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(AddinRegistryPath(), "/cfg/wordhost/addins.ini");
  setenv("XDG_CONFIG_HOME", "", 1);
  setenv("HOME", "/home/u", 1);
  EXPECT_EQ(AddinRegistryPath(), "/home/u/.config/wordhost/addins.ini");
  if (saved)
    setenv("XDG_CONFIG_HOME", keep.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
}

TEST(PluginLoading, FilesThatAreNotPluginsAreReported) {
  testing::TempDir dir;
  std::ofstream(dir.File("junk.so")) << "not a library";
  struct Case {
    std::string path;
    const char* says;
  };
  const Case cases[] = {{dir.File("missing.so"), "cannot load"},
                        {dir.File("junk.so"), "cannot load"},
                        {"libz.so.1", "has no entry point"}};
  for (const Case& c : cases) {
    std::string error;
    EXPECT_EQ(LoadPlugin(c.path, error), nullptr) << c.path;
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
  }
  EXPECT_THROW(RegisterPlugin(dir.File("junk.so"), dir.File("addins.ini")), FileError);
  EXPECT_TRUE(ReadAddinRegistry(dir.File("addins.ini")).empty());
}

}  // namespace
}  // namespace quillon::wordhost
