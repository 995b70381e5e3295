#include "widgets/ImageDecoder.h"

#include "widgets/BmpReader.h"
#include "widgets/GifReader.h"
#include "widgets/IconReader.h"
#include "widgets/PngReader.h"

namespace quillon::widgets {

ImageFormat SniffImageFormat(Bytes data) {
  if (IsPng(data)) return ImageFormat::kPng;
  if (IsGif(data)) return ImageFormat::kGif;
  if (IsIcon(data)) return Le16(&data[2]) == 2 ? ImageFormat::kCursor : ImageFormat::kIcon;
  if (IsBmp(data)) return ImageFormat::kBitmap;
  return ImageFormat::kNone;
}

bool DecodeImage(Bytes data, int32_t wantedWidth, int32_t wantedHeight, DecodedImage& out) {
  if (IsPng(data)) return ReadPng(data, out);
  if (IsGif(data)) return ReadGif(data, out);
  if (IsIcon(data)) return ReadIcon(data, wantedWidth, wantedHeight, out);
  if (IsBmp(data)) return ReadBmp(data, out);
  return false;
}

}  // namespace quillon::widgets
