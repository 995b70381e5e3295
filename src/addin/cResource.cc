#include "addin/cResource.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "addin/BMPLoader.h"
#include "addin/OwnResources.h"
#include "addin/PictureFromDib.h"
#include "addin/host/HostError.h"
#include "base/AtomicFile.h"
#include "base/Text.h"
#include "widgets/Resources.h"
#include "widgets/c32bppDIB.h"

namespace quillon::addin {
namespace {

// The platform's result codes, as the signed numbers its errors carry.
constexpr long ResultCode(uint32_t code) {
  return static_cast<long>(static_cast<int32_t>(code));
}

std::string IdText(const ResourceId& id) {
  if (const int32_t* number = std::get_if<int32_t>(&id)) return std::to_string(*number);
  return std::get<std::string>(id);
}

// Returns the entry of kind named id in table, or null. Malformed entries (bytes missing for
// a size above 0) count as absent.
const QuillonResource* FindEntry(const QuillonResourceTable* table, int32_t kind,
                                 const ResourceId& id) {
  if (table == nullptr || table->entries == nullptr) return nullptr;
  const int32_t* number = std::get_if<int32_t>(&id);
  for (size_t i = 0; i < table->count; ++i) {
    const QuillonResource& entry = table->entries[i];
    if (entry.kind != kind || (entry.bytes == nullptr && entry.size > 0)) continue;
    const bool matches =
        number ? entry.name == nullptr && entry.id == *number
               : entry.name != nullptr &&
                     CompareTextIgnoreCase(entry.name, std::get<std::string>(id)) == 0;
    if (matches) return &entry;
  }
  return nullptr;
}

// Returns the bytes of the resource; raises kErrResourceNotFound when there is none.
std::span<const unsigned char> ResourceBytes(const QuillonResourceTable* table, int32_t kind,
                                             const ResourceId& id, const std::string& source) {
  const QuillonResource* entry = FindEntry(table, kind, id);
  if (entry == nullptr) {
    throw host::HostError(kErrResourceNotFound,
                          "Resource with identifier '" + IdText(id) + "' not found", source);
  }
  if (entry->size == 0) return {};
  return {entry->bytes, entry->size};
}

[[noreturn]] void RaisePictureFailure(PictureFailure failure, const std::string& source) {
  throw host::HostError(PictureFailureNumber(failure), std::string(PictureFailureText(failure)),
                        source);
}

// Decodes a bitmap, icon or cursor resource into a picture. Bytes that are not a picture of
// that kind give no bitmap, which the picture creation refuses.
host::Picture DecodePicture(int32_t kind, std::span<const unsigned char> bytes, int32_t wantedWidth,
                            int32_t wantedHeight, const std::string& source) {
  host::Picture description;
  try {
    widgets::c32bppDIB dib;
    bool decoded = false;
    if (kind == QUILLON_RESOURCE_BITMAP) {
      description.type = host::kPicTypeBitmap;
      // The image class knows how resource sections store bitmaps (with or without the file
      // header); a registry of this one resource lets it read them so.
      widgets::ResourceRegistry single;
      single.Add(widgets::ResourceTypeName(widgets::kResBitmap), 1, bytes);
      decoded = dib.LoadPicture_Resource(1, widgets::kResBitmap, &single) &&
                dib.ImageType() == widgets::ImageFormat::kBitmap;
    } else {
      description.type = host::kPicTypeIcon;
      decoded = dib.LoadPicture_Stream(bytes, wantedWidth, wantedHeight) &&
                (dib.ImageType() == widgets::ImageFormat::kIcon ||
                 dib.ImageType() == widgets::ImageFormat::kCursor);
    }
    if (decoded) description.handle = PictureFromDib(dib).handle;
  } catch (const std::bad_alloc&) {
    RaisePictureFailure(PictureFailure::kOutOfMemory, source);
  }
  return CreatePicture(&description, source);
}

std::string LoadString(const QuillonResourceTable* table, const ResourceId& id,
                       const std::string& source) {
  const std::span<const unsigned char> bytes =
      ResourceBytes(table, QUILLON_RESOURCE_STRING, id, source);
  return {bytes.begin(), bytes.end()};
}

host::Picture LoadPicture(const QuillonResourceTable* table, int32_t kind, const ResourceId& id,
                          int32_t wantedWidth, int32_t wantedHeight, const std::string& source) {
  return DecodePicture(kind, ResourceBytes(table, kind, id, source), wantedWidth, wantedHeight,
                       source);
}

std::vector<uint8_t> LoadData(const QuillonResourceTable* table, const ResourceId& id,
                              const std::string& source) {
  const std::span<const unsigned char> bytes =
      ResourceBytes(table, QUILLON_RESOURCE_DATA, id, source);
  return {bytes.begin(), bytes.end()};
}

// The number LibraryFilePath raises for a file that the system refused with errno.
long LoadErrorOfErrno(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return kErrLoadAccessDenied;
    case ENAMETOOLONG:
      return kErrLoadNameTooLong;
    default:
      return kErrLoadFileNotFound;
  }
}

// Returns 0 when path names a readable file that starts like a shared object, else the number
// to raise. Reading the first bytes ourselves keeps the loader away from folders, devices and
// pipes (where it would block) and tells "not a library" from other failures.
long CheckLibraryFile(const std::string& path) {
  if (path.empty()) return kErrLoadFileNotFound;
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return LoadErrorOfErrno(errno);
  if (S_ISDIR(info.st_mode)) return kErrLoadAccessDenied;
  if (!S_ISREG(info.st_mode)) return kErrLoadBadFormat;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return LoadErrorOfErrno(errno);
  unsigned char magic[4] = {};
  const ssize_t got = ::read(fd, magic, sizeof magic);
  ::close(fd);
  constexpr unsigned char kElfMagic[4] = {0x7F, 'E', 'L', 'F'};
  if (got != static_cast<ssize_t>(sizeof magic) || std::memcmp(magic, kElfMagic, 4) != 0) {
    return kErrLoadBadFormat;
  }
  return 0;
}

// The number LibraryFilePath raises when the dynamic loader refused a file that looked like a
// library; the loader tells why only in words.
long LoadErrorOfLoaderMessage(const char* message) {
  const std::string_view text = message ? message : "";
  if (text.find("cannot open shared object file") != std::string_view::npos) {
    return kErrLoadModuleNotFound;  // the file was readable, so a library it needs is missing
  }
  if (text.find("undefined symbol") != std::string_view::npos) return kErrLoadProcNotFound;
  return kErrLoadBadFormat;
}

void SaveData(std::string_view bytes, const std::string& path, const std::string& source) {
  try {
    WriteFileAtomically(path, bytes);
  } catch (const FileError& e) {
    throw host::HostError(kErrFileAccess, e.what(), source);
  }
}

}  // namespace

std::string_view PictureFailureText(PictureFailure failure) {
  switch (failure) {
    case PictureFailure::kBadMetafileSize:
      return "Invalid metafile dimentions specified.";
    case PictureFailure::kBadPictureType:
      return "Invalid picture type specified.";
    case PictureFailure::kBadBitmapHandle:
      return "Invalid bitmap handle";
    case PictureFailure::kCatastrophic:
      return "Catastrophic Failure.";
    case PictureFailure::kOutOfMemory:
      return "Ran out of memory.";
    case PictureFailure::kBadPointer:
      return "The address in pPictDesc or ppvObj is not valid. For example, it may be NULL.";
    case PictureFailure::kBadArgument:
      return "One or more arguments are invalid.";
    case PictureFailure::kNoInterface:
      return "The object does not support the interface specified in riid.";
    case PictureFailure::kUnknown:
      break;
  }
  return "Unknown Error.";
}

long PictureFailureNumber(PictureFailure failure) {
  switch (failure) {
    case PictureFailure::kBadMetafileSize:
    case PictureFailure::kBadPictureType:
    case PictureFailure::kBadBitmapHandle:
      return kErrInvalidPicture;
    case PictureFailure::kCatastrophic:
      return ResultCode(0x8000FFFFu);
    case PictureFailure::kOutOfMemory:
      return ResultCode(0x8007000Eu);
    case PictureFailure::kBadPointer:
      return ResultCode(0x80004003u);
    case PictureFailure::kBadArgument:
      return ResultCode(0x80070057u);
    case PictureFailure::kNoInterface:
      return ResultCode(0x80004002u);
    case PictureFailure::kUnknown:
      break;
  }
  return ResultCode(0x80004005u);
}

host::Picture CreatePicture(const host::Picture* description, const std::string& source) {
  if (description == nullptr) RaisePictureFailure(PictureFailure::kBadPointer, source);
  if (description->type != host::kPicTypeBitmap && description->type != host::kPicTypeIcon) {
    RaisePictureFailure(PictureFailure::kBadPictureType, source);
  }
  const std::shared_ptr<const host::Bitmap>& bitmap = description->handle;
  if (!bitmap) RaisePictureFailure(PictureFailure::kBadBitmapHandle, source);
  if (bitmap->width < 0 || bitmap->height < 0 ||
      bitmap->pixels.size() !=
          static_cast<size_t>(bitmap->width) * static_cast<size_t>(bitmap->height)) {
    RaisePictureFailure(PictureFailure::kBadArgument, source);
  }
  return {description->type, bitmap, description->palette};
}

cResource::~cResource() {
  CloseLibrary();
}

void cResource::SetLibraryFilePath(const std::string& path) {
  CloseLibrary();
  long error = CheckLibraryFile(path);
  void* library = nullptr;
  if (error == 0) {
    // A bare file name would send the loader searching its folders; the file checked above
    // is the one to load.
    const std::string loadPath = path.find('/') == std::string::npos ? "./" + path : path;
    dlerror();  // forget an earlier failure's message
    library = dlopen(loadPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) error = LoadErrorOfLoaderMessage(dlerror());
  }
  if (library == nullptr) {
    throw host::HostError(error,
                          "The LoadLibrary API failed with the error number " +
                              std::to_string(error) + " while trying to load the file '" + path +
                              "'",
                          "cResource.LibraryFilePath_Let (" + path + ")");
  }
  library_ = library;
  path_ = path;
  // dlsym hands out functions as object pointers; this platform lets them convert back.
  if (auto tableOf =
          reinterpret_cast<QuillonResourcesFunction>(dlsym(library_, QUILLON_RESOURCES_SYMBOL))) {
    table_ = tableOf();
  }
}

void cResource::CloseLibrary() {
  if (library_ != nullptr) dlclose(library_);
  library_ = nullptr;
  table_ = nullptr;
  path_.clear();
}

std::string cResource::DLL_LoadString(const ResourceId& id) const {
  return LoadString(table_, id, "cResource.DLL_LoadString");
}

host::Picture cResource::DLL_LoadIcon(const ResourceId& id, int32_t wantedWidth,
                                      int32_t wantedHeight) const {
  return LoadPicture(table_, QUILLON_RESOURCE_ICON, id, wantedWidth, wantedHeight,
                     "cResource.DLL_LoadIcon");
}

host::Picture cResource::DLL_LoadCursor(const ResourceId& id, int32_t wantedWidth,
                                        int32_t wantedHeight) const {
  return LoadPicture(table_, QUILLON_RESOURCE_CURSOR, id, wantedWidth, wantedHeight,
                     "cResource.DLL_LoadCursor");
}

host::Picture cResource::DLL_LoadBitmap(const ResourceId& id) const {
  return LoadPicture(table_, QUILLON_RESOURCE_BITMAP, id, 0, 0, "cResource.DLL_LoadBitmap");
}

std::vector<uint8_t> cResource::DLL_LoadData(const ResourceId& id) const {
  return LoadData(table_, id, "cResource.DLL_LoadData");
}

std::string cResource::RES_LoadString(const ResourceId& id) const {
  return LoadString(&OwnResourceTable(), id, "cResource.RES_LoadString");
}

host::Picture cResource::RES_LoadIcon(const ResourceId& id, int32_t wantedWidth,
                                      int32_t wantedHeight) const {
  return LoadPicture(&OwnResourceTable(), QUILLON_RESOURCE_ICON, id, wantedWidth, wantedHeight,
                     "cResource.RES_LoadIcon");
}

host::Picture cResource::RES_LoadCursor(const ResourceId& id, int32_t wantedWidth,
                                        int32_t wantedHeight) const {
  return LoadPicture(&OwnResourceTable(), QUILLON_RESOURCE_CURSOR, id, wantedWidth, wantedHeight,
                     "cResource.RES_LoadCursor");
}

host::Picture cResource::RES_LoadBitmap(const ResourceId& id) const {
  return LoadPicture(&OwnResourceTable(), QUILLON_RESOURCE_BITMAP, id, 0, 0,
                     "cResource.RES_LoadBitmap");
}

std::vector<uint8_t> cResource::RES_LoadData(const ResourceId& id) const {
  return LoadData(&OwnResourceTable(), id, "cResource.RES_LoadData");
}

void cResource::SaveData_Pointer(const void* data, size_t size, const std::string& path) {
  if (data == nullptr && size > 0) {
    throw host::HostError(kErrInvalidCall, "Invalid procedure call or argument",
                          "cResource.SaveData_Pointer");
  }
  SaveData(std::string_view(static_cast<const char*>(data), size), path,
           "cResource.SaveData_Pointer");
}

void cResource::SaveData_Array(std::span<const uint8_t> data, const std::string& path) {
  SaveData(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()), path,
           "cResource.SaveData_Array");
}

}  // namespace quillon::addin
