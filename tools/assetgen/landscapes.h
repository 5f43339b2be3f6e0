#pragma once
// The thirteen level screens, left to right: home street, shops, park, avenue, two alleys,
// subway, two rooftops, docks, container yard, warehouse and the villain's hall.
#include "tools/assetgen/indexed_image.h"

namespace assetgen {

IndexedImage DrawLandscape(int screen);  // screen 0..12, for "landscape<screen + 1>.BMP"

}  // namespace assetgen
