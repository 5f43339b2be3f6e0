#pragma once
// Message-bar portraits: 100 x 100 from pixel (1, 1) of a 104 x 102 picture. Black (index 0)
// is the faces' transparent colour, so the portraits use none.
#include "tools/assetgen/indexed_image.h"

namespace assetgen {

constexpr int kFaceSize = 100;

IndexedImage HeroFacePicture();  // "face0.BMP"
IndexedImage ThugFacePicture();  // "face1.BMP"

}  // namespace assetgen
