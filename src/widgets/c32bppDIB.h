// One picture as a 32-bit bitmap with an alpha channel: blue, green, red, alpha bytes with the
// colours premultiplied by alpha, rows stored bottom-up as a device-independent bitmap holds
// them. It loads PNG, GIF, icon, cursor and BMP data (recognised by content) with its own
// readers, saves 32-bit BMP and PNG, and composes itself onto a 32-bit surface with opacity and
// per-pixel alpha. Copies are deep: a picture list can hold them by value.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "widgets/ImageData.h"
#include "widgets/Resources.h"

namespace quillon::widgets {

// A 32-bit drawing target: premultiplied BGRA pixels, top row first, stride bytes a row. The
// window layer draws such a surface with Qt.
struct Surface32 {
  uint8_t* bits = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t stride = 0;  // bytes from one row to the next
};

class c32bppDIB {
 public:
  // The question SaveToFile asks before replacing a file (Yes/No, No as default).
  static constexpr const char* kOverwriteQuestion = "Overwrite current file?";
  // Files and streams shorter than this are refused without decoding.
  static constexpr size_t kMinimumDataLength = 57;

  // How the class talks to the user: the add-in connects its message boxes.
  struct Messages {
    // Shows a failure to read a file (the system's description of the error).
    std::function<void(const std::string& description)> showError;
    // Asks a yes/no question; returns true for Yes.
    std::function<bool(const std::string& question)> askYesNo;
  };

  // An empty picture with high-quality interpolation on.
  c32bppDIB() = default;

  void SetMessages(Messages messages) { messages_ = std::move(messages); }

  // ---- Loading: each returns true on success and leaves the picture empty on failure ----------

  // Reads and decodes path. Fails without a message when the file does not exist or is shorter
  // than 57 bytes; a file that exists but cannot be read shows the system's description through
  // Messages::showError. wantedWidth/Height choose among an icon's sizes (0: the largest).
  // keepSource holds a copy of the file's bytes for GetOrginalFormat.
  bool LoadPicture_File(const std::string& path, int32_t wantedWidth = 0, int32_t wantedHeight = 0,
                        bool keepSource = false);
  // Decodes length bytes of stream from start (length 0: to the end). Fails when that is
  // shorter than 57 bytes or start is past the end.
  bool LoadPicture_Stream(std::span<const uint8_t> stream, int32_t wantedWidth = 0,
                          int32_t wantedHeight = 0, size_t start = 0, size_t length = 0,
                          bool keepSource = false);
  // Loads resource id of section from provider (nullptr: the add-in's own resources). A
  // numbered section (kResBitmap, kResIcon, kResCursor) looks in "BITMAP", "ICON" or "CURSOR"
  // (a bitmap may be stored without its file header, as resource sections store them); a
  // named section looks in that type. Fails when there is no such resource or it does not
  // decode.
  bool LoadPicture_Resource(int32_t id, const std::variant<int32_t, std::string>& section,
                            const ResourceRegistry* provider = nullptr, int32_t wantedWidth = 0,
                            int32_t wantedHeight = 0);
  // Decodes the held source bytes again; fails when none are held.
  bool LoadPicture_FromOrignalFormat(int32_t wantedWidth = 0, int32_t wantedHeight = 0);
  // Copies the held source bytes into out; returns false when none are held.
  bool GetOrginalFormat(std::vector<uint8_t>& out) const;
  // Takes a decoded picture (straight or premultiplied as it says). Returns false when it is
  // empty or beyond the size limit.
  bool LoadDecoded(const DecodedImage& image);

  // Creates an empty picture of width x |height| pixels, all transparent; a width of 0 gives a
  // picture without pixels (BitsPointer null) that still has a Handle. Returns false (and
  // leaves the picture empty) when width < 0, height == 0 or the size passes kMaxImagePixels.
  bool InitializeDIB(int32_t width, int32_t height);
  // Releases the pixels and any held source bytes.
  void DestroyDIB();

  // ---- State --------------------------------------------------------------------------------

  // Non-null while a picture is held; identifies it (the pixel buffer's address, or the
  // object's for a zero-wide picture; any load, InitializeDIB or DestroyDIB invalidates it).
  const void* Handle() const {
    if (!created_) return nullptr;
    return bits_.empty() ? static_cast<const void*>(this) : bits_.data();
  }
  // The first byte of the bottom row; null when empty. Invalidated like Handle.
  uint8_t* BitsPointer() { return bits_.empty() ? nullptr : bits_.data(); }
  const uint8_t* BitsPointer() const { return bits_.empty() ? nullptr : bits_.data(); }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int32_t scanWidth() const { return width_ * 4; }
  // Whether the pixels carry transparency.
  bool Alpha() const { return alpha_; }
  void SetAlpha(bool alpha) { alpha_ = alpha; }
  ImageFormat ImageType() const { return imageType_; }
  bool HighQualityInterpolation() const { return highQuality_; }
  void SetHighQualityInterpolation(bool on) { highQuality_ = on; }
  // The class always blends per pixel itself.
  bool isAlphaBlendFriendly() const { return true; }
  // There is no GDI+ on this platform.
  bool isGDIplusEnabled() const { return false; }
  // Whether zlib's functions are there (PNG reading and saving need them).
  bool isZlibEnabled() const;

  // The premultiplied pixel at (x, y), y counted from the top, as 0xAARRGGBB.
  // REQUIRES: 0 <= x < Width(), 0 <= y < Height().
  uint32_t PixelAt(int32_t x, int32_t y) const;

  // ---- Drawing --------------------------------------------------------------------------------

  // Composes the source rectangle (srcX, srcY, srcWidth, srcHeight) of the picture onto the
  // destination rectangle (x, y, width, height) of target, clipped to target. A width or height
  // of 0 means the picture's own; negative srcX/srcY count as 0. Nothing is drawn (false) when
  // the picture or target is empty, a source width or height is negative, opacity is 0, or the
  // source rectangle passes the picture's right or bottom edge. opacity is taken as
  // |opacity| mod 100 with 0 meaning 100 (150 draws at 50). blendAlpha uses the per-pixel alpha
  // of a picture that has it. Stretching interpolates bilinearly when HighQualityInterpolation
  // or setStretchMode is on, and takes the nearest pixel otherwise.
  bool Render(Surface32& target, int32_t x, int32_t y, int32_t width = 0, int32_t height = 0,
              int32_t srcX = 0, int32_t srcY = 0, int32_t srcWidth = 0, int32_t srcHeight = 0,
              int32_t opacity = 100, bool blendAlpha = true, bool setStretchMode = false) const;

  // ---- Saving ---------------------------------------------------------------------------------

  // Writes the picture as a 32-bit BMP (54-byte header, rows bottom-up, premultiplied). When
  // path exists and askOverwrite is set, asks kOverwriteQuestion through Messages::askYesNo
  // and returns false on No (or when nothing can ask). Returns false when empty or the file
  // cannot be written.
  bool SaveToFile(const std::string& path, bool askOverwrite = false) const;
  // The same BMP into out.
  bool SaveToStream(std::vector<uint8_t>& out) const;
  // Writes the picture as PNG (straight alpha; RGB when it has no alpha). Returns false when
  // empty or the file cannot be written.
  bool SaveToPNG(const std::string& path) const;
  bool SaveToPNG(std::vector<uint8_t>& out) const;

 private:
  bool Decode(std::span<const uint8_t> data, int32_t wantedWidth, int32_t wantedHeight);
  // The picture as straight-alpha, top-down pixels.
  DecodedImage Unpremultiplied() const;

  std::vector<uint8_t> bits_;  // bottom row first
  bool created_ = false;
  int32_t width_ = 0;
  int32_t height_ = 0;
  bool alpha_ = false;
  ImageFormat imageType_ = ImageFormat::kNone;
  bool highQuality_ = true;
  std::vector<uint8_t> source_;
  Messages messages_;
};

}  // namespace quillon::widgets
