#include "wordhost/app/QtServices.h"

#include <QApplication>
#include <QClipboard>
#include <QSettings>

#include "addin/host/HostError.h"

namespace quillon::wordhost {
namespace {

constexpr uint32_t kFirstRegistered = 0xC000;

QByteArray Bytes(const std::vector<uint8_t>& block) {
  return QByteArray(reinterpret_cast<const char*>(block.data()),
                    static_cast<qsizetype>(block.size()));
}

std::vector<uint8_t> Block(const QByteArray& bytes) {
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
         uint32_t(b[at + 3]) << 24;
}

}  // namespace

bool QtClipboard::Open() {
  if (pending_) return false;
  pending_ = std::make_unique<QMimeData>();
  // Writing adds to what is there, as the platform's clipboard does until it is emptied.
  if (const QMimeData* current = QApplication::clipboard()->mimeData()) {
    for (const QString& format : current->formats())
      pending_->setData(format, current->data(format));
  }
  return true;
}

void QtClipboard::Close() {
  if (!pending_) return;
  QApplication::clipboard()->setMimeData(pending_.release());
}

void QtClipboard::Empty() {
  if (pending_) pending_ = std::make_unique<QMimeData>();
}

uint32_t QtClipboard::RegisterFormat(const std::string& name) {
  if (name.empty()) return 0;
  for (size_t i = 0; i < names_.size(); ++i)
    if (names_[i] == name) return kFirstRegistered + static_cast<uint32_t>(i);
  names_.push_back(name);
  return kFirstRegistered + static_cast<uint32_t>(names_.size() - 1);
}

QString QtClipboard::MimeType(uint32_t format) const {
  if (format == host::kCfDib) return QStringLiteral("application/x-quillon-dib");
  if (format >= kFirstRegistered && format - kFirstRegistered < names_.size()) {
    return QStringLiteral("application/x-quillon;value=\"%1\"")
        .arg(QString::fromStdString(names_[format - kFirstRegistered]));
  }
  return {};
}

std::optional<std::vector<uint8_t>> QtClipboard::GetData(uint32_t format) {
  const QString mime = MimeType(format);
  if (mime.isEmpty()) return std::nullopt;
  const QMimeData* data = pending_ ? pending_.get() : QApplication::clipboard()->mimeData();
  if (data == nullptr || !data->hasFormat(mime)) return std::nullopt;
  return Block(data->data(mime));
}

bool QtClipboard::SetData(uint32_t format, std::vector<uint8_t> block) {
  const QString mime = MimeType(format);
  if (!pending_ || mime.isEmpty()) return false;
  pending_->setData(mime, Bytes(block));
  return true;
}

host::ClipboardContent QtClipboard::Save() {
  host::ClipboardContent content;
  if (const QMimeData* current = QApplication::clipboard()->mimeData()) {
    for (const QString& format : current->formats())
      content.items.push_back({format.toStdString(), Block(current->data(format))});
  }
  return content;
}

void QtClipboard::Restore(const host::ClipboardContent& content) {
  auto data = std::make_unique<QMimeData>();
  for (const auto& [format, block] : content.items)
    data->setData(QString::fromStdString(format), Bytes(block));
  QApplication::clipboard()->setMimeData(data.release());
}

QImage FaceFromBlocks(const std::vector<uint8_t>& face, const std::vector<uint8_t>& mask) {
  if (face.size() < 40 || Le32(face, 0) != 40) return {};
  const int32_t width = static_cast<int32_t>(Le32(face, 4));
  const int32_t height = static_cast<int32_t>(Le32(face, 8));
  const uint32_t bits = Le32(face, 12) >> 16;
  if (width <= 0 || height <= 0 || width > 30000 || height > 30000 || bits != 32 ||
      face.size() < 40 + size_t(width) * size_t(height) * 4) {
    return {};
  }
  QImage image(width, height, QImage::Format_ARGB32);
  const bool masked = mask.size() >= 48 && Le32(mask, 4) == uint32_t(width) &&
                      Le32(mask, 8) == uint32_t(height) && (Le32(mask, 12) >> 16) == 1;
  const size_t maskStride = (size_t(width) + 31) / 32 * 4;
  const bool maskComplete = masked && mask.size() >= 48 + maskStride * size_t(height);
  for (int32_t y = 0; y < height; ++y) {
    const size_t row = 40 + size_t(height - 1 - y) * size_t(width) * 4;
    const size_t maskRow = 48 + size_t(height - 1 - y) * maskStride;
    for (int32_t x = 0; x < width; ++x) {
      const size_t at = row + size_t(x) * 4;
      bool transparent = false;
      if (maskComplete) transparent = (mask[maskRow + size_t(x) / 8] & (0x80 >> (x % 8))) != 0;
      image.setPixel(x, y, transparent ? 0 : qRgb(face[at + 2], face[at + 1], face[at]));
    }
  }
  return image;
}

std::optional<std::string> QtSettingsStore::GetSetting(const std::string& application,
                                                       const std::string& section,
                                                       const std::string& key) {
  QSettings settings(QString::fromStdString(application), QString::fromStdString(application));
  const QString name = QString::fromStdString(section + "/" + key);
  if (!settings.contains(name)) return std::nullopt;
  return settings.value(name).toString().toStdString();
}

void QtSettingsStore::SaveSetting(const std::string& application, const std::string& section,
                                  const std::string& key, const std::string& value) {
  QSettings settings(QString::fromStdString(application), QString::fromStdString(application));
  settings.setValue(QString::fromStdString(section + "/" + key), QString::fromStdString(value));
  settings.sync();
  if (settings.status() != QSettings::NoError) {
    throw host::HostError(host::kErrCommandFailed, "The settings file cannot be written: " +
                                                       settings.fileName().toStdString());
  }
}

}  // namespace quillon::wordhost
