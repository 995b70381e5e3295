// Resources of a resource library and of the add-in itself: strings, icons, cursors, bitmaps
// and raw data, and the writing of resource data to a file. A resource library is a shared
// object in the shape of addin/ResourceTable.h, loaded by setting LibraryFilePath; the DLL_
// members read it, the RES_ members read the add-in's own resources (OwnResourceTable()).
// Error rule: every failure raises host::HostError with a number, a description and a source
// naming the member ("cResource.Member"); the object keeps its state except where a member
// says otherwise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "addin/ResourceTable.h"
#include "addin/host/Picture.h"

namespace quillon::addin {

// Numbers LibraryFilePath raises, the platform's own for the same failures.
inline constexpr long kErrLoadFileNotFound = 2;      // the file does not exist
inline constexpr long kErrLoadAccessDenied = 5;      // a folder, or a file the user may not read
inline constexpr long kErrLoadModuleNotFound = 126;  // a library the file needs is missing
inline constexpr long kErrLoadProcNotFound = 127;    // a symbol the file needs is missing
inline constexpr long kErrLoadBadFormat = 193;       // not a loadable library for this machine
inline constexpr long kErrLoadNameTooLong = 206;     // the path is longer than the system allows
// Numbers the loaders and writers raise.
inline constexpr long kErrInvalidCall = 5;  // "Invalid procedure call or argument"
inline constexpr long kErrFileAccess = 75;  // a file that cannot be written
inline constexpr long kErrResourceNotFound = 326;

// Why a picture could not be made from a resource.
enum class PictureFailure {
  kBadMetafileSize,
  kBadPictureType,
  kBadBitmapHandle,
  kCatastrophic,
  kOutOfMemory,
  kBadPointer,
  kBadArgument,
  kNoInterface,
  kUnknown,
};

// Returns the message the picture creation reports for failure.
std::string_view PictureFailureText(PictureFailure failure);
// Returns the error number raised for failure: 481 (invalid picture) for a description the
// picture creation refuses, the platform's result code (a negative number) otherwise.
long PictureFailureNumber(PictureFailure failure);

// Returns the picture description asks for: a bitmap picture, or an icon picture (icons and
// cursors), sharing the description's bitmap. Raises the failure's HostError, with source,
// for a null description (kBadPointer), another type (kBadPictureType: this platform makes no
// metafile pictures), a null bitmap (kBadBitmapHandle) or a bitmap whose pixels do not fill
// its sides (kBadArgument). The other failures are raised by the loaders: kOutOfMemory when
// memory runs out while a picture is decoded.
host::Picture CreatePicture(const host::Picture* description, const std::string& source);

// A resource is named by its number or by its name.
using ResourceId = std::variant<int32_t, std::string>;

class cResource {
 public:
  cResource() = default;
  // Frees the loaded library, as CloseLibrary does.
  ~cResource();
  cResource(const cResource&) = delete;
  cResource& operator=(const cResource&) = delete;

  // Returns the path of the loaded library as it was set; empty while none is loaded.
  const std::string& LibraryFilePath() const { return path_; }
  // Frees any loaded library, then loads the library at path (a path without a folder names a
  // file in the current folder). On failure nothing is loaded, and the error raised has the
  // number kErrLoad..., the description "The LoadLibrary API failed with the error number " +
  // number + " while trying to load the file '" + path + "'" and the source
  // "cResource.LibraryFilePath_Let (" + path + ")". A library that exports no resource table
  // loads, and holds no resources.
  void SetLibraryFilePath(const std::string& path);
  // Returns the loaded library's handle; null while none is loaded. CloseLibrary and
  // SetLibraryFilePath invalidate it.
  void* hLibrary() const { return library_; }
  // Frees the loaded library; does nothing when none is loaded.
  void CloseLibrary();

  // The resource id of that kind from the loaded library, copied out (it stays valid when the
  // library is freed). Raise kErrResourceNotFound ("Resource with identifier 'id' not found")
  // when the library, or no library, holds none. The pictures raise a PictureFailure when the
  // bytes are not a picture of that kind. wantedWidth and wantedHeight choose among the sizes
  // an icon or cursor holds (0: the largest).
  std::string DLL_LoadString(const ResourceId& id) const;
  host::Picture DLL_LoadIcon(const ResourceId& id, int32_t wantedWidth = 0,
                             int32_t wantedHeight = 0) const;
  host::Picture DLL_LoadCursor(const ResourceId& id, int32_t wantedWidth = 0,
                               int32_t wantedHeight = 0) const;
  host::Picture DLL_LoadBitmap(const ResourceId& id) const;
  std::vector<uint8_t> DLL_LoadData(const ResourceId& id) const;

  // The same from the add-in's own resources.
  std::string RES_LoadString(const ResourceId& id) const;
  host::Picture RES_LoadIcon(const ResourceId& id, int32_t wantedWidth = 0,
                             int32_t wantedHeight = 0) const;
  host::Picture RES_LoadCursor(const ResourceId& id, int32_t wantedWidth = 0,
                               int32_t wantedHeight = 0) const;
  host::Picture RES_LoadBitmap(const ResourceId& id) const;
  std::vector<uint8_t> RES_LoadData(const ResourceId& id) const;

  // Write size bytes at data (or the bytes of data) as the whole content of path, atomically:
  // a reader sees the old or the new content, an existing file keeps its mode, links and
  // owner. Raise kErrFileAccess, with the cause and the file in the description, when the file
  // cannot be written (then it is as it was); SaveData_Pointer raises kErrInvalidCall for a
  // null data with a size above 0.
  static void SaveData_Pointer(const void* data, size_t size, const std::string& path);
  static void SaveData_Array(std::span<const uint8_t> data, const std::string& path);

 private:
  std::string path_;
  void* library_ = nullptr;
  // The loaded library's table; null when it exports none.
  const QuillonResourceTable* table_ = nullptr;
};

}  // namespace quillon::addin
