#pragma once
// Full-screen pictures around the level: title, the four story pages and the two end screens.
#include <vector>

#include "tools/assetgen/indexed_image.h"

namespace assetgen {

// The sprite frames are reused as large pixel-art figures; their marker colours are swapped
// for look-alikes so the pictures never carry the hero or thug colour.
IndexedImage TitlePicture(const std::vector<IndexedImage>& hero, const std::vector<IndexedImage>& thugs);
IndexedImage StoryPicture(int page, const std::vector<IndexedImage>& hero, const std::vector<IndexedImage>& thugs);
IndexedImage GameOverPicture(const std::vector<IndexedImage>& hero);
IndexedImage VictoryPicture(const std::vector<IndexedImage>& hero);

}  // namespace assetgen
