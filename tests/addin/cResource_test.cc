#include "addin/cResource.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <filesystem>
#include <functional>

#include "addin/BMPLoader.h"
#include "addin/FakeHost.h"
#include "addin/OwnResources.h"
#include "addin/PictureFromDib.h"
#include "library/LibraryFiles.h"
#include "support/ReadOnly.h"
#include "support/TempDir.h"
#include "ui/ArtworkBytes.h"
#include "widgets/c32bppDIB.h"

namespace quillon::addin {
namespace {

namespace fs = std::filesystem;
using testing::RaisedBy;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

const std::string kFixture = QUILLON_RESOURCE_FIXTURE;

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

// Whether the dynamic loader still holds the library at path.
bool StillLoaded(const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle != nullptr;
}

// A library stays loaded until another replaces it, it is closed (closing again, or with none
// loaded, is harmless) or the resource goes.
TEST(cResourceLibrary, LoadedUntilReplacedClosedOrDestroyed) {
  TempDir dir;
  const std::string first = dir.File("first.so");
  fs::copy_file(kFixture, first);
  {
    cResource resource;
    resource.CloseLibrary();
    resource.SetLibraryFilePath(first);
    ASSERT_TRUE(StillLoaded(first));
    resource.SetLibraryFilePath(kFixture);
    // (The new handle may well have the old one's value: the loader reuses its memory.)
    EXPECT_FALSE(StillLoaded(first));
    EXPECT_TRUE(StillLoaded(kFixture));
    EXPECT_NE(resource.hLibrary(), nullptr);
    EXPECT_EQ(resource.LibraryFilePath(), kFixture);
    resource.CloseLibrary();
    resource.CloseLibrary();
    EXPECT_EQ(resource.hLibrary(), nullptr);
    EXPECT_EQ(resource.LibraryFilePath(), "");
    EXPECT_FALSE(StillLoaded(kFixture));
    resource.SetLibraryFilePath(kFixture);
  }
  EXPECT_FALSE(StillLoaded(kFixture));
}

TEST(cResourceLibrary, FailuresRaiseThePlatformNumberWithPathInDescriptionAndSource) {
  TempDir dir;
  WriteFile(dir.File("empty.so"), "");
  WriteFile(dir.File("cut.so"), ReadFile(kFixture).substr(0, 64));
  const struct {
    const char* name;
    std::string path;
    long number;
  } cases[] = {
      {"missing file", dir.File("absent.so"), 2},
      {"empty path", "", 2},
      {"folder", dir.Path().string(), 5},
      {"picture file", "tests/data/images/bits24.bmp", 193},
      {"empty file", dir.File("empty.so"), 193},
      {"cut-off library", dir.File("cut.so"), 193},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    cResource resource;
    resource.SetLibraryFilePath(kFixture);
    const host::HostError error = RaisedBy([&] { resource.SetLibraryFilePath(c.path); });
    EXPECT_EQ(error.Number(), c.number);
    EXPECT_EQ(error.Description(), "The LoadLibrary API failed with the error number " +
                                       std::to_string(c.number) +
                                       " while trying to load the file '" + c.path + "'");
    EXPECT_EQ(error.Source(), "cResource.LibraryFilePath_Let (" + c.path + ")");
    EXPECT_EQ(resource.hLibrary(), nullptr);
    EXPECT_EQ(resource.LibraryFilePath(), "");
    EXPECT_FALSE(StillLoaded(kFixture)) << "the earlier library is freed first";
  }
}

TEST(cResourceLibrary, UnreadableFileIsAccessDenied) {
  TempDir dir;
  const std::string path = dir.File("locked.so");
  fs::copy_file(kFixture, path);
  fs::permissions(path, fs::perms::owner_write);
  fs::permissions(dir.Path(), fs::perms::owner_all | fs::perms::others_exec);
  cResource resource;
  testing::ScopedUnprivileged asNobody;
  EXPECT_EQ(RaisedBy([&] { resource.SetLibraryFilePath(path); }).Number(), kErrLoadAccessDenied);
}

class cResourceDll : public ::testing::Test {
 protected:
  void SetUp() override { resource.SetLibraryFilePath(kFixture); }
  cResource resource;
};

// Names match in any case; what was loaded outlives the library.
TEST_F(cResourceDll, StringsAndDataByNumberAndByName) {
  EXPECT_EQ(resource.DLL_LoadString(1), "Abbreviation bar");
  EXPECT_EQ(resource.DLL_LoadString("gREETING"),
            "Gr\xC3\xBC\xC3\x9F"
            "e");
  EXPECT_EQ(resource.DLL_LoadData("Empty"), std::vector<uint8_t>());
  const std::vector<uint8_t> data = resource.DLL_LoadData(1);
  const host::Picture bitmap = resource.DLL_LoadBitmap(1);
  resource.CloseLibrary();
  EXPECT_EQ(data, Bytes(ReadFile("tests/data/images/grey1.png")));
  EXPECT_EQ(bitmap.handle->pixels.front(), 0xFF0000u);
}

TEST_F(cResourceDll, PicturesOfEveryKind) {
  const struct {
    const char* name;
    std::function<host::Picture(const cResource&)> load;
    int type;
    int32_t width, height;
    uint32_t topLeft, topRight;  // 0x00BBGGRR; transparent pixels show black
  } cases[] = {
      {"icon", [](const cResource& r) { return r.DLL_LoadIcon(1); }, host::kPicTypeIcon, 6, 4,
       0xFF0000, 0x000000},
      {"icon's small size", [](const cResource& r) { return r.DLL_LoadIcon("twosizes", 8, 8); },
       host::kPicTypeIcon, 8, 8, 0, 0},
      {"icon's largest size", [](const cResource& r) { return r.DLL_LoadIcon("TwoSizes"); },
       host::kPicTypeIcon, 16, 16, 0, 0},
      {"cursor", [](const cResource& r) { return r.DLL_LoadCursor(1); }, host::kPicTypeIcon, 6, 4,
       0xFF0000, 0x000000},
      {"bitmap file", [](const cResource& r) { return r.DLL_LoadBitmap(1); }, host::kPicTypeBitmap,
       9, 6, 0xFF0000, 0x1FA0E0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const host::Picture picture = c.load(resource);
    EXPECT_EQ(picture.type, c.type);
    ASSERT_NE(picture.handle, nullptr);
    EXPECT_EQ(picture.handle->width, c.width);
    EXPECT_EQ(picture.handle->height, c.height);
    ASSERT_EQ(picture.handle->pixels.size(), size_t(c.width * c.height));
    if (c.topLeft != 0 || c.topRight != 0) {
      EXPECT_EQ(picture.handle->pixels.front(), c.topLeft);
      EXPECT_EQ(picture.handle->pixels[size_t(c.width - 1)], c.topRight);
    }
  }
}

// Bytes that are not a picture of their kind give no bitmap, which the creation refuses.
TEST_F(cResourceDll, UnknownResourcesRaiseNotFoundAndNonPicturesInvalidPicture) {
  const struct {
    const char* name;
    std::function<void(const cResource&)> load;
    const char* id;  // nullptr: found, but not a picture
    const char* loader;
  } cases[] = {
      {"unknown number", [](auto& r) { r.DLL_LoadString(2); }, "2", "DLL_LoadString"},
      {"number of a named one", [](auto& r) { r.DLL_LoadString(0); }, "0", "DLL_LoadString"},
      {"unknown name", [](auto& r) { r.DLL_LoadIcon("Nope"); }, "Nope", "DLL_LoadIcon"},
      {"another kind's id", [](auto& r) { r.DLL_LoadCursor("TwoSizes"); }, "TwoSizes",
       "DLL_LoadCursor"},
      {"entry without bytes", [](auto& r) { r.DLL_LoadData(99); }, "99", "DLL_LoadData"},
      {"bitmap", [](auto& r) { r.DLL_LoadBitmap(-1); }, "-1", "DLL_LoadBitmap"},
      {"picture bytes as a bitmap", [](auto& r) { r.DLL_LoadBitmap(3); }, nullptr,
       "DLL_LoadBitmap"},
      {"bitmap bytes as an icon", [](auto& r) { r.DLL_LoadIcon(3); }, nullptr, "DLL_LoadIcon"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const host::HostError error = RaisedBy([&] { c.load(resource); });
    EXPECT_EQ(error.Number(), c.id ? kErrResourceNotFound : kErrInvalidPicture);
    EXPECT_EQ(error.Description(),
              c.id ? "Resource with identifier '" + std::string(c.id) + "' not found"
                   : "Invalid bitmap handle");
    EXPECT_EQ(error.Source(), std::string("cResource.") + c.loader);
  }
}

TEST(cResourceLibrary, WithoutATableOrALibraryNothingIsFound) {
  cResource resource;
  EXPECT_EQ(RaisedBy([&] { resource.DLL_LoadString(1); }).Number(), kErrResourceNotFound);
  resource.SetLibraryFilePath(QUILLON_CDECL_FIXTURE);
  EXPECT_NE(resource.hLibrary(), nullptr);
  EXPECT_EQ(RaisedBy([&] { resource.DLL_LoadData(1); }).Number(), kErrResourceNotFound);
}

TEST(cResourcePicture, CreationRefusesBadDescriptions) {
  auto bitmap = std::make_shared<host::Bitmap>(host::Bitmap{2, 1, {0x10, 0x20}});
  auto ragged = std::make_shared<host::Bitmap>(host::Bitmap{2, 2, {0x10}});
  const host::Picture good{host::kPicTypeIcon, bitmap, std::nullopt};
  const host::Picture metafile{host::kPicTypeMetafile, bitmap, std::nullopt};
  const host::Picture noHandle{host::kPicTypeBitmap, nullptr, std::nullopt};
  const host::Picture badSides{host::kPicTypeBitmap, ragged, std::nullopt};
  const struct {
    const host::Picture* description;
    PictureFailure failure;
  } cases[] = {{nullptr, PictureFailure::kBadPointer},
               {&metafile, PictureFailure::kBadPictureType},
               {&noHandle, PictureFailure::kBadBitmapHandle},
               {&badSides, PictureFailure::kBadArgument}};
  for (const auto& c : cases) {
    const host::HostError error = RaisedBy([&] { CreatePicture(c.description, "test"); });
    EXPECT_EQ(error.Description(), PictureFailureText(c.failure));
    EXPECT_EQ(error.Source(), "test");
  }
  const host::Picture made = CreatePicture(&good, "test");
  EXPECT_EQ(made.type, host::kPicTypeIcon);
  EXPECT_EQ(made.handle, bitmap);
}

TEST(cResourceOwn, DataIsTheCompiledInFiles) {
  const cResource resource;
  const std::pair<int32_t, const char*> pictures[] = {{ui::kArtOpen, "01-open.png"},
                                                      {ui::kArtLibrary, "11-library.png"},
                                                      {ui::kArtSearchLarge, "search64.png"}};
  for (const auto& [item, file] : pictures) {
    EXPECT_EQ(resource.RES_LoadData(item), Bytes(ReadFile(std::string("src/ui/artwork/") + file)))
        << file;
  }
  const std::span<const unsigned char> empty = library::EmptyLibraryTemplate();
  EXPECT_EQ(resource.RES_LoadData("emptylibrary"),
            std::vector<uint8_t>(empty.begin(), empty.end()));
}

TEST(cResourceOwn, BarFacesAreBitmapsOfTheArtworkFiles) {
  const cResource resource;
  const std::pair<int32_t, const char*> faces[] = {{ui::kArtBarInsertLast, "12-bar-last.bmp"},
                                                   {ui::kArtBarExport, "13-bar-export.bmp"},
                                                   {ui::kArtBarList, "14-bar-list.bmp"},
                                                   {ui::kArtBarLookup, "15-bar-lookup.bmp"},
                                                   {ui::kArtBarUpdate, "16-bar-update.bmp"}};
  for (const auto& [item, file] : faces) {
    SCOPED_TRACE(file);
    widgets::c32bppDIB expected;
    ASSERT_TRUE(expected.LoadPicture_File(std::string("src/ui/artwork/") + file));
    const host::Picture face = resource.RES_LoadBitmap(item);
    EXPECT_EQ(face.type, host::kPicTypeBitmap);
    EXPECT_EQ(face.handle->pixels, PictureFromDib(expected).handle->pixels);
    EXPECT_EQ(face.handle->width, 16);
  }
}

// The picture loader of the list views finds the same resources once the add-in registered them.
TEST(cResourceOwn, RegisteredForThePictureLoader) {
  widgets::ResourceRegistry registry;
  RegisterOwnResources(registry);
  widgets::c32bppDIB picture;
  ASSERT_TRUE(picture.LoadPicture_Resource(ui::kArtBarUpdate, widgets::kResBitmap, &registry));
  EXPECT_EQ(picture.Width(), 16);
  EXPECT_TRUE(picture.LoadPicture_Resource(ui::kArtOpen, std::string("custom"), &registry));
  EXPECT_FALSE(picture.LoadPicture_Resource(ui::kArtOpen, widgets::kResBitmap, &registry));
  const auto bytes = registry.Find("CUSTOM", kEmptyLibraryResourceId);
  ASSERT_TRUE(bytes);
  EXPECT_TRUE(std::ranges::equal(*bytes, library::EmptyLibraryTemplate()));
}

TEST(cResourceOwn, WhatTheAddinDoesNotCarryIsNotFound) {
  const cResource resource;
  const std::pair<std::function<void()>, const char*> cases[] = {
      {[&] { resource.RES_LoadString(1); }, "cResource.RES_LoadString"},
      {[&] { resource.RES_LoadIcon(ui::kArtBarUpdate); }, "cResource.RES_LoadIcon"},
      {[&] { resource.RES_LoadCursor(1); }, "cResource.RES_LoadCursor"},
      {[&] { resource.RES_LoadBitmap(ui::kArtOpen); }, "cResource.RES_LoadBitmap"},
      {[&] { resource.RES_LoadData(ui::kArtBarUpdate); }, "cResource.RES_LoadData"},
  };
  for (const auto& [load, source] : cases) {
    const host::HostError error = RaisedBy(load);
    EXPECT_EQ(error.Number(), kErrResourceNotFound) << source;
    EXPECT_EQ(error.Source(), source);
  }
}

// A file is replaced by a rename: a reader that had it open still sees the whole old content.
TEST(cResourceSave, BothWritersWriteExactlyTheBytes) {
  TempDir dir;
  const std::string path = dir.File("face.bmp");
  WriteFile(path, "old");
  const int reader = ::open(path.c_str(), O_RDONLY);
  ASSERT_GE(reader, 0);
  const std::vector<uint8_t> cases[] = {
      {}, {0, 1, 0, 255, '\n', '\r'}, Bytes(std::string(70000, 'x'))};
  for (const std::vector<uint8_t>& bytes : cases) {
    cResource::SaveData_Pointer(bytes.data(), bytes.size(), dir.File("pointer.bin"));
    cResource::SaveData_Array(bytes, path);
    EXPECT_EQ(Bytes(ReadFile(dir.File("pointer.bin"))), bytes);
    EXPECT_EQ(Bytes(ReadFile(path)), bytes);
  }
  char seen[8] = {};
  EXPECT_EQ(::read(reader, seen, sizeof seen), 3);
  ::close(reader);
  EXPECT_EQ(std::string(seen), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 2);  // no temporary left
}

// What the file writer refuses (its own tests check the target stays) raises the file error.
TEST(cResourceSave, FailuresRaise) {
  TempDir dir;
  const std::string missingFolder = dir.File("absent/out.bin");
  const host::HostError error =
      RaisedBy([&] { cResource::SaveData_Array(Bytes("x"), missingFolder); });
  EXPECT_EQ(error.Number(), kErrFileAccess);
  EXPECT_NE(error.Description().find("absent/out.bin"), std::string::npos) << error.Description();
  EXPECT_EQ(error.Source(), "cResource.SaveData_Array");
  const host::HostError nullData =
      RaisedBy([&] { cResource::SaveData_Pointer(nullptr, 4, dir.File("null.bin")); });
  EXPECT_EQ(nullData.Number(), kErrInvalidCall);
  EXPECT_EQ(nullData.Source(), "cResource.SaveData_Pointer");
  EXPECT_FALSE(fs::exists(dir.File("null.bin")));
}

}  // namespace
}  // namespace quillon::addin
