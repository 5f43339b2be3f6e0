#pragma once
// Shared helpers of the asset tests: where the build wrote the files, what must be there, and
// pictures read back through the game's own BMP loader.
#include <cstdint>
#include <string>
#include <vector>

namespace assettest {

std::string AssetDir();
std::string AssetPath(const std::string& name);
std::vector<uint8_t> ReadBytes(const std::string& path);

// Every file the game opens, with its exact case.
std::vector<std::string> ExpectedFiles();
std::vector<std::string> HeroStrips();
std::vector<std::string> ThugStrips();
std::vector<std::string> Landscapes();
std::vector<std::string> FullScreenPictures();  // title, story and end pictures

struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;  // top row first
  std::vector<uint8_t> rgb;     // 256 x (r, g, b)
  uint8_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
  // Pixels of `index` inside [x0, x1) x [y0, y1).
  int Count(uint8_t index, int x0, int y0, int x1, int y1) const;
  int Count(uint8_t index) const { return Count(index, 0, 0, width, height); }
};

// Loads with LoadBitmapFile; fails the calling test when the loader refuses the file.
Picture LoadPicture(const std::string& name);

// Pixels of a strip cell as the game cuts it (cell k from (1 + 73k, 1)).
Picture Cell(const Picture& strip, int k);

}  // namespace assettest
