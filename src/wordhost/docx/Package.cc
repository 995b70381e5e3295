#include "wordhost/docx/Package.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>

#include "wordhost/docx/Deflate.h"
#include "wordhost/docx/DocxError.h"

namespace quillon::docx {
namespace {

struct ArchiveCloser {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ArchivePtr = std::unique_ptr<zip_t, ArchiveCloser>;

struct FileCloser {
  void operator()(zip_file_t* file) const { zip_fclose(file); }
};

std::string ZipErrorText(zip_error_t* error) {
  std::string text = zip_error_strerror(error);
  zip_error_fini(error);
  return text;
}

// Opens bytes as an archive; the source keeps pointing at bytes, which must outlive it.
// flags are zip_open flags (ZIP_RDONLY for reading).
ArchivePtr OpenArchive(const std::string& bytes, int flags, zip_source_t** sourceOut = nullptr) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = nullptr;
  if (flags & ZIP_RDONLY) {
    source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  } else {
    // Writing through a buffer source frees the buffer it started from when the new archive
    // is committed, whatever the ownership flag says; so it gets a malloc'd copy it owns.
    void* copy = std::malloc(bytes.empty() ? 1 : bytes.size());
    if (copy == nullptr) throw DocxError("out of memory");
    std::memcpy(copy, bytes.data(), bytes.size());
    source = zip_source_buffer_create(copy, bytes.size(), 1, &error);
    if (source == nullptr) std::free(copy);
  }
  if (source == nullptr) throw DocxError("cannot read the package: " + ZipErrorText(&error));
  zip_t* archive = zip_open_from_source(source, flags, &error);
  if (archive == nullptr) {
    zip_source_free(source);
    int code = zip_error_code_zip(&error);
    if (code == ZIP_ER_NOZIP || code == ZIP_ER_INCONS) {
      zip_error_fini(&error);
      throw DocxError("not a .docx document (not a valid zip archive)");
    }
    throw DocxError("cannot open the package: " + ZipErrorText(&error));
  }
  zip_error_fini(&error);
  if (sourceOut != nullptr) *sourceOut = source;
  return ArchivePtr(archive);
}

}  // namespace

Package::Package(std::string bytes) : bytes_(std::move(bytes)) {
  // An empty buffer is a valid empty archive to libzip; to a user it is an empty file.
  if (bytes_.empty()) throw DocxError("the file is empty, not a .docx document");
  ArchivePtr archive = OpenArchive(bytes_, ZIP_RDONLY | ZIP_CHECKCONS);
  zip_int64_t count = zip_get_num_entries(archive.get(), 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive.get(), static_cast<zip_uint64_t>(i), 0, &stat) != 0 ||
        (stat.valid & ZIP_STAT_NAME) == 0) {
      throw DocxError("the package's table of contents is damaged");
    }
    names_.emplace_back(stat.name);
    sizes_.push_back((stat.valid & ZIP_STAT_SIZE) ? stat.size : 0);
  }
}

Package Package::FromBytes(std::string bytes) {
  if (bytes.size() > kMaxPackageSize) throw DocxError("the package is too large");
  return Package(std::move(bytes));
}

Package Package::FromFile(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) {
    throw DocxError("cannot open the file: " + std::string(std::strerror(errno)));
  }
  if (S_ISDIR(info.st_mode)) throw DocxError("it is a directory, not a .docx document");
  if (!S_ISREG(info.st_mode)) throw DocxError("it is not a regular file, not a .docx document");
  if (static_cast<uint64_t>(info.st_size) > kMaxPackageSize) {
    throw DocxError("the file is larger than " + std::to_string(kMaxPackageSize >> 20) +
                    " MiB, more than a .docx document may be");
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) throw DocxError("cannot open the file: " + std::string(std::strerror(errno)));
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  if (size < 0 || static_cast<uint64_t>(size) > kMaxPackageSize) {
    throw DocxError("cannot read the file");
  }
  in.seekg(0);
  std::string bytes(static_cast<size_t>(size), '\0');
  if (!in.read(bytes.data(), size)) throw DocxError("cannot read the file");
  return Package(std::move(bytes));
}

bool Package::Has(const std::string& name) const {
  return std::find(names_.begin(), names_.end(), name) != names_.end();
}

std::string Package::Read(const std::string& name) const {
  UncheckedPart part = ReadUnchecked(name);
  CheckPart(name, part);
  return std::move(part.content);
}

Package::UncheckedPart Package::ReadUnchecked(const std::string& name) const {
  auto it = std::find(names_.begin(), names_.end(), name);
  if (it == names_.end()) throw DocxError("the package has no part " + name);
  size_t index = static_cast<size_t>(it - names_.begin());
  uint64_t declared = sizes_[index];
  if (declared > kMaxPartSize) {
    throw DocxError(name + " unpacks to " + std::to_string(declared >> 20) +
                    " MiB, more than the " + std::to_string(kMaxPartSize >> 20) +
                    " MiB a part may have");
  }
  ArchivePtr archive = OpenArchive(bytes_, ZIP_RDONLY);
  zip_stat_t stat;
  zip_stat_init(&stat);
  zip_stat_index(archive.get(), index, 0, &stat);
  constexpr zip_uint64_t kNeeded = ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC | ZIP_STAT_COMP_SIZE;
  // A plain deflated part is inflated here and its CRC-32 left to the caller; anything else
  // (stored, other methods, encryption) goes through libzip, which checks it while unpacking.
  const bool inflateHere =
      (stat.valid & kNeeded) == kNeeded && stat.comp_method == ZIP_CM_DEFLATE &&
      stat.comp_size <= bytes_.size() &&
      ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) == 0 || stat.encryption_method == ZIP_EM_NONE);
  std::unique_ptr<zip_file_t, FileCloser> file(
      zip_fopen_index(archive.get(), index, inflateHere ? ZIP_FL_COMPRESSED : 0));
  if (!file) {
    throw DocxError("cannot unpack part " + name + ": " +
                    zip_error_strerror(zip_get_error(archive.get())));
  }
  auto readAll = [&](std::string& buffer) {
    size_t filled = 0;
    while (filled < buffer.size()) {
      zip_int64_t n = zip_fread(file.get(), buffer.data() + filled, buffer.size() - filled);
      if (n < 0) {
        throw DocxError("part " + name +
                        " is damaged: " + zip_error_strerror(zip_file_get_error(file.get())));
      }
      if (n == 0) break;
      filled += static_cast<size_t>(n);
    }
    return filled;
  };
  // Unpack one byte more than declared, and stop there: an entry whose data inflates beyond
  // its declared size is corrupt, and never unpacks further than that.
  UncheckedPart part;
  part.content.assign(static_cast<size_t>(declared) + 1, '\0');
  size_t filled = 0;
  if (inflateHere) {
    std::string compressed(static_cast<size_t>(stat.comp_size), '\0');
    compressed.resize(readAll(compressed));
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) throw DocxError("cannot unpack part " + name);
    stream.next_in = reinterpret_cast<Bytef*>(compressed.data());
    stream.avail_in = static_cast<uInt>(compressed.size());
    stream.next_out = reinterpret_cast<Bytef*>(part.content.data());
    stream.avail_out = static_cast<uInt>(part.content.size());
    int status = inflate(&stream, Z_FINISH);
    filled = stream.total_out;
    inflateEnd(&stream);
    if (status != Z_STREAM_END && status != Z_BUF_ERROR && filled <= declared) {
      throw DocxError("part " + name + " is damaged: its compressed data is invalid");
    }
    part.crc = stat.crc;
  } else {
    filled = readAll(part.content);
  }
  if (filled != declared) {
    throw DocxError(name + " is damaged: it unpacks to " +
                    std::string(filled > declared ? "more" : "less") + " than the " +
                    std::to_string(declared) + " bytes it declares");
  }
  part.content.resize(filled);
  return part;
}

void Package::CheckPart(const std::string& name, const UncheckedPart& part) {
  if (!part.crc) return;
  const auto* data = reinterpret_cast<const Bytef*>(part.content.data());
  if (static_cast<uint32_t>(crc32_z(0, data, part.content.size())) != *part.crc) {
    throw DocxError("part " + name + " is damaged: CRC error");
  }
}

namespace {

// Adds or replaces the parts in archive, closes it and returns the bytes its buffer source
// then holds. Consumes archive.
std::string Finish(ArchivePtr archive, zip_source_t* source,
                   const std::vector<std::pair<std::string, std::string>>& parts) {
  for (const auto& [name, content] : parts) {
    zip_source_t* data = zip_source_buffer(archive.get(), content.data(), content.size(), 0);
    if (data == nullptr) throw DocxError("cannot write part " + name);
    zip_int64_t index = zip_file_add(archive.get(), name.c_str(), data, ZIP_FL_OVERWRITE);
    if (index < 0) {
      zip_source_free(data);
      throw DocxError("cannot write part " + name + ": " +
                      zip_error_strerror(zip_get_error(archive.get())));
    }
    zip_set_file_compression(archive.get(), static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE,
                             kDeflateLevel);
  }
  // Keep the buffer source alive past zip_close: it holds the new archive's bytes.
  zip_source_keep(source);
  if (zip_close(archive.get()) != 0) {
    std::string message = zip_error_strerror(zip_get_error(archive.get()));
    zip_source_free(source);
    throw DocxError("cannot write the package: " + message);
  }
  archive.release();
  std::string out;
  bool ok = zip_source_open(source) == 0;
  if (ok) {
    char buffer[1 << 16];
    zip_int64_t n;
    while ((n = zip_source_read(source, buffer, sizeof buffer)) > 0) {
      out.append(buffer, static_cast<size_t>(n));
    }
    ok = n == 0;
    zip_source_close(source);
  }
  zip_source_free(source);
  if (!ok) throw DocxError("cannot write the package");
  return out;
}

}  // namespace

namespace {

uint32_t Get16(const std::string& b, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8;
}

uint32_t Get32(const std::string& b, size_t at) {
  return Get16(b, at) | Get16(b, at + 2) << 16;
}

void Put16(std::string& out, uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void Set32(std::string& out, size_t at, uint32_t v) {
  for (int k = 0; k < 4; ++k)
    out[at + static_cast<size_t>(k)] = static_cast<char>((v >> (8 * k)) & 0xFF);
}

struct StoredRecord {
  std::string name;
  size_t central = 0;  // offset of its central directory record
  size_t centralSize = 0;
  size_t local = 0;      // offset of its local header
  size_t localSize = 0;  // local header, data and data descriptor
  uint32_t time = 0;     // DOS time and date, as one value
};

// Reads the central directory of a plain (not zip64, single-disk) archive. Returns false for
// anything else, which the caller then writes through libzip instead.
bool ReadDirectory(const std::string& b, std::vector<StoredRecord>& records, size_t& eocd) {
  if (b.size() < 22) return false;
  size_t lowest = b.size() > 65557 ? b.size() - 65557 : 0;
  eocd = std::string::npos;
  for (size_t at = b.size() - 22 + 1; at-- > lowest;) {
    if (Get32(b, at) == 0x06054b50) {
      eocd = at;
      break;
    }
  }
  if (eocd == std::string::npos || Get16(b, eocd + 4) != 0 || Get16(b, eocd + 6) != 0) return false;
  uint32_t count = Get16(b, eocd + 10);
  uint32_t offset = Get32(b, eocd + 16);
  if (count == 0xFFFF || offset == 0xFFFFFFFF || offset > eocd) return false;
  size_t at = offset;
  for (uint32_t i = 0; i < count; ++i) {
    if (at + 46 > eocd || Get32(b, at) != 0x02014b50) return false;
    StoredRecord r;
    uint32_t compressed = Get32(b, at + 20);
    uint32_t size = Get32(b, at + 24);
    size_t nameLength = Get16(b, at + 28);
    r.centralSize = 46 + nameLength + Get16(b, at + 30) + Get16(b, at + 32);
    r.local = Get32(b, at + 42);
    r.time = Get32(b, at + 12);
    if (compressed == 0xFFFFFFFF || size == 0xFFFFFFFF || r.local == 0xFFFFFFFF ||
        at + r.centralSize > eocd || r.local + 30 > offset || Get32(b, r.local) != 0x04034b50) {
      return false;
    }
    r.name = b.substr(at + 46, nameLength);
    r.central = at;
    size_t dataEnd = r.local + 30 + Get16(b, r.local + 26) + Get16(b, r.local + 28) + compressed;
    if (Get16(b, at + 8) & 0x0008) {
      // A data descriptor follows the data, with or without its signature.
      dataEnd += (dataEnd + 4 <= b.size() && Get32(b, dataEnd) == 0x08074b50) ? 16 : 12;
    }
    if (dataEnd > offset) return false;
    r.localSize = dataEnd - r.local;
    at += r.centralSize;
    records.push_back(std::move(r));
  }
  return true;
}

// Writes a new local header and central record for a deflated part into out/central.
void AddPart(std::string& out, std::string& central, const std::string& name,
             const DeflatedPart& part, uint32_t time) {
  const std::string& data = part.data;
  const uint32_t crc = part.crc;
  bool utf8 = std::any_of(name.begin(), name.end(), [](char c) { return c & 0x80; });
  uint32_t offset = static_cast<uint32_t>(out.size());
  Put32(out, 0x04034b50);
  Put16(out, 20);
  Put16(out, utf8 ? 0x0800 : 0);
  Put16(out, 8);
  Put32(out, time);
  Put32(out, crc);
  Put32(out, static_cast<uint32_t>(data.size()));
  Put32(out, static_cast<uint32_t>(part.size));
  Put16(out, static_cast<uint32_t>(name.size()));
  Put16(out, 0);
  out += name;
  out += data;
  Put32(central, 0x02014b50);
  Put16(central, 20);
  Put16(central, 20);
  Put16(central, utf8 ? 0x0800 : 0);
  Put16(central, 8);
  Put32(central, time);
  Put32(central, crc);
  Put32(central, static_cast<uint32_t>(data.size()));
  Put32(central, static_cast<uint32_t>(part.size));
  Put16(central, static_cast<uint32_t>(name.size()));
  Put16(central, 0);
  Put16(central, 0);
  Put16(central, 0);
  Put16(central, 0);
  Put32(central, 0);
  Put32(central, offset);
  central += name;
}

}  // namespace

std::string Package::Write(const std::map<std::string, DeflatedPart>& replacements) const {
  if (replacements.empty()) return bytes_;
  // Plain archives are written here: every part not replaced is copied as stored, local header
  // and all, and only replaced parts are deflated. Others (zip64) go through libzip.
  std::vector<StoredRecord> records;
  size_t eocd = 0;
  if (bytes_.size() < 0xFFFF0000u && ReadDirectory(bytes_, records, eocd)) {
    std::string out;
    std::string central;
    size_t size = bytes_.size();
    for (const auto& [name, part] : replacements) size += part.data.size() + 2 * name.size() + 76;
    out.reserve(size);
    std::map<std::string, const DeflatedPart*> added;
    for (const auto& [name, part] : replacements) added.emplace(name, &part);
    // 1980-01-01 00:00 for parts the package did not have.
    constexpr uint32_t kDosEpoch = (1u << 21) | (1u << 16);
    for (const StoredRecord& r : records) {
      auto replaced = added.find(r.name);
      if (replaced != added.end()) {
        AddPart(out, central, r.name, *replaced->second, r.time);
        added.erase(replaced);
        continue;
      }
      size_t offset = out.size();
      out.append(bytes_, r.local, r.localSize);
      size_t at = central.size();
      central.append(bytes_, r.central, r.centralSize);
      Set32(central, at + 42, static_cast<uint32_t>(offset));
    }
    for (const auto& [name, part] : added) AddPart(out, central, name, *part, kDosEpoch);
    size_t count = records.size() + added.size();
    if (count >= 0xFFFF || out.size() + central.size() >= 0xFFFFFFFFu) {
      throw DocxError("the package is too large to write");
    }
    uint32_t centralOffset = static_cast<uint32_t>(out.size());
    out += central;
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<uint32_t>(count));
    Put16(out, static_cast<uint32_t>(count));
    Put32(out, static_cast<uint32_t>(central.size()));
    Put32(out, centralOffset);
    // Keep the archive comment.
    out.append(bytes_, eocd + 20, std::string::npos);
    return out;
  }
  // libzip deflates the parts again: such archives are too rare to teach it deflated ones.
  std::vector<std::pair<std::string, std::string>> parts;
  for (const auto& [name, part] : replacements) parts.emplace_back(name, InflatePart(part));
  zip_source_t* source = nullptr;
  ArchivePtr archive = OpenArchive(bytes_, 0, &source);
  return Finish(std::move(archive), source, parts);
}

std::string Package::Create(const std::vector<std::pair<std::string, std::string>>& parts) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(nullptr, 0, 0, &error);
  if (source == nullptr) throw DocxError("cannot create a package: " + ZipErrorText(&error));
  zip_t* archive = zip_open_from_source(source, ZIP_TRUNCATE, &error);
  if (archive == nullptr) {
    zip_source_free(source);
    throw DocxError("cannot create a package: " + ZipErrorText(&error));
  }
  zip_error_fini(&error);
  return Finish(ArchivePtr(archive), source, parts);
}

}  // namespace quillon::docx
