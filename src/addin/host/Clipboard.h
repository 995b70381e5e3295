// The desktop clipboard: blocks of bytes under formats, standard ones by number and the
// others registered by name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillon::host {

// A device-independent bitmap: the 40-byte info header, the colour table, the pixel rows.
inline constexpr uint32_t kCfDib = 8;

// Everything the clipboard held, by the host's own format names, to put back later.
struct ClipboardContent {
  std::vector<std::pair<std::string, std::vector<uint8_t>>> items;
};

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Opens the clipboard for this program; false when another holds it.
  virtual bool Open() = 0;
  // Closes it; what was placed becomes visible to other programs.
  virtual void Close() = 0;
  // Empties it and makes this program its owner. REQUIRES: open.
  virtual void Empty() = 0;
  // Returns the number of the format registered under name (the same number for the same
  // name), or 0 when it cannot be registered.
  virtual uint32_t RegisterFormat(const std::string& name) = 0;
  // Returns the block held under format, or std::nullopt. REQUIRES: open.
  virtual std::optional<std::vector<uint8_t>> GetData(uint32_t format) = 0;
  // Places block under format; false when the clipboard refuses it (the block is then
  // dropped). REQUIRES: open.
  virtual bool SetData(uint32_t format, std::vector<uint8_t> block) = 0;
  // Returns a copy of everything the clipboard holds now.
  virtual ClipboardContent Save() = 0;
  // Replaces the clipboard's content with content.
  virtual void Restore(const ClipboardContent& content) = 0;
};

}  // namespace quillon::host
