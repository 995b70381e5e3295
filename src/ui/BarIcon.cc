// quillon_bar_icon BMP PNG: turns one of the bar's button pictures into the PNG the extension
// shows on its button, black pixels transparent (the mask colour the add-in's buttons use).
// Runs at build time.
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

#include "widgets/BmpReader.h"
#include "widgets/PngWriter.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: quillon_bar_icon PICTURE.bmp ICON.png\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  quillon::widgets::DecodedImage image;
  if (!quillon::widgets::ReadBmp(bytes, image) || image.premultiplied) {
    std::cerr << "quillon_bar_icon: " << argv[1] << " is no bitmap it can read\n";
    return 1;
  }
  for (size_t at = 0; at + 3 < image.pixels.size(); at += 4) {
    const bool black =
        image.pixels[at] == 0 && image.pixels[at + 1] == 0 && image.pixels[at + 2] == 0;
    image.pixels[at + 3] = black ? 0 : 255;
  }
  image.hasAlpha = true;
  std::vector<uint8_t> png;
  if (!quillon::widgets::WritePng(image, png)) {
    std::cerr << "quillon_bar_icon: cannot encode " << argv[2] << '\n';
    return 1;
  }
  std::ofstream out(argv[2], std::ios::binary);
  out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  if (!out) {
    std::cerr << "quillon_bar_icon: cannot write " << argv[2] << '\n';
    return 1;
  }
  return 0;
}
