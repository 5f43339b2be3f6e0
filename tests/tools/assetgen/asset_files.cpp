#include "tests/tools/assetgen/asset_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "display/bitmap.h"
#include "tests/support/files.h"

namespace assettest {

std::string AssetDir() { return JED_ASSET_DIR; }
std::string AssetPath(const std::string& name) { return AssetDir() + "/" + name; }

std::vector<uint8_t> ReadBytes(const std::string& path) { return test_support::ReadFileBytes(path); }

std::vector<std::string> HeroStrips() {
  std::vector<std::string> out;
  for (int i = 0; i <= 12; ++i) out.push_back("hero" + std::to_string(i) + ".BMP");
  return out;
}

std::vector<std::string> ThugStrips() {
  std::vector<std::string> out;
  for (int i = 0; i <= 5; ++i) out.push_back("thug" + std::to_string(i) + ".bmp");
  return out;
}

std::vector<std::string> Landscapes() {
  std::vector<std::string> out;
  for (int i = 1; i <= 13; ++i) out.push_back("landscape" + std::to_string(i) + ".BMP");
  return out;
}

std::vector<std::string> FullScreenPictures() {
  return {"Grimstorm0.BMP", "intro0.BMP", "intro1.BMP", "intro2.BMP", "intro3.BMP", "gamewin.bmp", "gameover.bmp"};
}

std::vector<std::string> ExpectedFiles() {
  std::vector<std::string> out = {"face0.BMP",         "face1.BMP",       "hurt.WAV",      "alert.wav", "punch.wav",
                                  "jump.wav",          "jump.WAV",        "LaughEvil.WAV", "FF6.mp3",   "CandC.mp3",
                                  "ChronoTrigger.mp3", "castlevania.mp3", "PALDATA2.PAL"};
  for (auto* list : {&HeroStrips, &ThugStrips, &Landscapes, &FullScreenPictures})
    for (const std::string& name : (*list)()) out.push_back(name);
  return out;
}

int Picture::Count(uint8_t index, int x0, int y0, int x1, int y1) const {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += At(x, y) == index;
  return n;
}

Picture LoadPicture(const std::string& name) {
  BitmapFile file{};
  Picture p;
  const std::string path = AssetPath(name);
  if (!LoadBitmapFile(&file, path.c_str())) {
    ADD_FAILURE() << "LoadBitmapFile refused " << path;
    return p;
  }
  EXPECT_EQ(file.info_header.biBitCount, 8) << name;
  p.width = file.info_header.biWidth;
  p.height = file.info_header.biHeight;
  p.pixels.assign(file.buffer, file.buffer + size_t(p.width) * size_t(p.height));
  for (const PALETTEENTRY& e : file.palette) p.rgb.insert(p.rgb.end(), {e.red, e.green, e.blue});
  UnloadBitmapFile(&file);
  return p;
}

Picture Cell(const Picture& strip, int k) {
  Picture c;
  c.width = 72;
  c.height = 74;
  c.rgb = strip.rgb;
  for (int y = 0; y < 74; ++y)
    for (int x = 0; x < 72; ++x) c.pixels.push_back(strip.At(1 + 73 * k + x, 1 + y));
  return c;
}

}  // namespace assettest
