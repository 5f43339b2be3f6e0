#include "tools/assetgen/icons.h"

#include "tools/assetgen/faces.h"
#include "tools/assetgen/indexed_image.h"
#include "tools/assetgen/palette.h"
#include "tools/assetgen/png_preview.h"

namespace assetgen {
namespace {

// The portrait (pixel (1, 1) on, kFaceSize square) resampled to size x size, nearest pixel.
IndexedImage IconPicture(const IndexedImage& face, int size) {
  IndexedImage icon(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) icon.Set(x, y, face.At(1 + x * kFaceSize / size, 1 + y * kFaceSize / size));
  return icon;
}

}  // namespace

std::vector<std::string> WriteIcons(const std::string& dir) {
  const IndexedImage face = HeroFacePicture();
  std::vector<std::string> paths;
  for (int size : kIconSizes) {
    paths.push_back(dir + "/jed-grimstorm-" + std::to_string(size) + ".png");
    WritePngPreview(paths.back(), IconPicture(face, size), SharedPalette(), 1);
  }
  return paths;
}

}  // namespace assetgen
