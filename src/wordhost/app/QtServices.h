// wordhost's platform services: the desktop clipboard with formats by name, and the per-user
// settings store in a QSettings file ($XDG_CONFIG_HOME/<application>/<application>.conf).
#pragma once

#include <QImage>
#include <QMimeData>
#include <memory>

#include "addin/host/Clipboard.h"
#include "addin/host/SettingsStore.h"

namespace quillon::wordhost {

// The clipboard through QClipboard. Formats are MIME types: CF_DIB is
// "application/x-quillon-dib", a registered name N is "application/x-quillon;value=\"N\"".
class QtClipboard : public host::Clipboard {
 public:
  bool Open() override;
  void Close() override;
  void Empty() override;
  uint32_t RegisterFormat(const std::string& name) override;
  std::optional<std::vector<uint8_t>> GetData(uint32_t format) override;
  bool SetData(uint32_t format, std::vector<uint8_t> block) override;
  host::ClipboardContent Save() override;
  void Restore(const host::ClipboardContent& content) override;
  // Returns the MIME type of format; empty for an unknown one.
  QString MimeType(uint32_t format) const;

 private:
  std::vector<std::string> names_;      // registered formats, number 0xC000 + index
  std::unique_ptr<QMimeData> pending_;  // what an open clipboard will hold at Close
};

// Returns the face a command bar button takes from the clipboard: the "Toolbar Button Face"
// picture with the pixels the "Toolbar Button Mask" marks white made transparent. A null
// image when the clipboard holds no face or the blocks cannot be read.
QImage FaceFromBlocks(const std::vector<uint8_t>& face, const std::vector<uint8_t>& mask);

class QtSettingsStore : public host::SettingsStore {
 public:
  std::optional<std::string> GetSetting(const std::string& application, const std::string& section,
                                        const std::string& key) override;
  void SaveSetting(const std::string& application, const std::string& section,
                   const std::string& key, const std::string& value) override;
};

}  // namespace quillon::wordhost
