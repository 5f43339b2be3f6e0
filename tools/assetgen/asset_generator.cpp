#include "tools/assetgen/asset_generator.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <future>

#include "tools/assetgen/bmp_writer.h"
#include "tools/assetgen/contact_sheet.h"
#include "tools/assetgen/faces.h"
#include "tools/assetgen/id3_tags.h"
#include "tools/assetgen/landscapes.h"
#include "tools/assetgen/mp3_encoder.h"
#include "tools/assetgen/palette_file.h"
#include "tools/assetgen/png_preview.h"
#include "tools/assetgen/songs.h"
#include "tools/assetgen/sound_effects.h"
#include "tools/assetgen/sprite_strips.h"
#include "tools/assetgen/story_screens.h"

namespace assetgen {
namespace {

std::string Join(const std::string& dir, const std::string& name) { return dir + "/" + name; }

void WriteBmp(const std::string& dir, const std::string& name, const IndexedImage& img) {
  WriteFile(Join(dir, name), EncodeBmp8(img, SharedPalette()));
}

Bytes MusicFile(const TrackSpec& spec) {
  Bytes mp3 = EncodeMp3(RenderTrack(spec), spec);
  if (!spec.tagged) return mp3;
  const TrackTags tags{spec.title, "Jed Grimstorm", "Jed Grimstorm Soundtrack", "2026", "1"};
  Bytes file = EncodeId3v23(tags);
  file.insert(file.end(), mp3.begin(), mp3.end());
  Bytes v1 = EncodeId3v1(tags);
  file.insert(file.end(), v1.begin(), v1.end());
  return file;
}

}  // namespace

void GenerateAssets(const GeneratorOptions& o) {
  std::filesystem::create_directories(o.output_dir);
  if (!o.preview_dir.empty()) std::filesystem::create_directories(o.preview_dir);
  const Palette& palette = SharedPalette();
  // Music takes longest: encode the tracks on worker threads while the pictures are drawn.
  std::vector<std::future<Bytes>> music;
  for (const TrackSpec& spec : MusicTracks()) music.push_back(std::async(std::launch::async, MusicFile, spec));
  for (const SoundEffect& fx : SoundEffects())
    WriteFile(Join(o.output_dir, fx.file_name), EncodeWav(fx.samples, fx.sample_rate, fx.depth));
  {
    std::string text = EncodePaletteText(palette);
    WriteFile(Join(o.output_dir, "PALDATA2.PAL"), Bytes(text.begin(), text.end()));
  }

  const std::vector<IndexedImage> hero = HeroFrames();
  for (int a = 0; a < kHeroAnimations; ++a) {
    char name[32];
    std::snprintf(name, sizeof name, "hero%d.BMP", a);
    WriteBmp(o.output_dir, name, MakeStrip(hero, a));
  }
  const std::vector<IndexedImage> thugs = ThugFrames();
  for (int b = 0; b < kThugAnimations; ++b) {
    char name[32];
    std::snprintf(name, sizeof name, "thug%d.bmp", b);
    WriteBmp(o.output_dir, name, MakeStrip(thugs, b));
  }
  WriteBmp(o.output_dir, "face0.BMP", HeroFacePicture());
  WriteBmp(o.output_dir, "face1.BMP", ThugFacePicture());
  std::vector<IndexedImage> pictures;
  pictures.push_back(TitlePicture(hero, thugs));
  WriteBmp(o.output_dir, "Grimstorm0.BMP", pictures.back());
  for (int page = 0; page < 4; ++page) {
    pictures.push_back(StoryPicture(page, hero, thugs));
    WriteBmp(o.output_dir, "intro" + std::to_string(page) + ".BMP", pictures.back());
  }
  pictures.push_back(GameOverPicture(hero));
  WriteBmp(o.output_dir, "gameover.bmp", pictures.back());
  pictures.push_back(VictoryPicture(hero));
  WriteBmp(o.output_dir, "gamewin.bmp", pictures.back());
  std::vector<IndexedImage> screens;
  for (int s = 0; s < 13; ++s) {
    screens.push_back(DrawLandscape(s));
    char name[32];
    std::snprintf(name, sizeof name, "landscape%d.BMP", s + 1);
    WriteBmp(o.output_dir, name, screens.back());
  }
  if (!o.preview_dir.empty()) {
    {  // everything on one sheet: screens at a quarter size, then frames and faces
      std::vector<IndexedImage> all = pictures;
      all.insert(all.end(), screens.begin(), screens.end());
      std::vector<IndexedImage> parts = {ScreenSheet(all, 6, 4), FrameSheet(hero, 13, pal::kTransparent, pal::kSky[3]),
                                         FrameSheet(thugs, 12, pal::kTransparent, pal::kSky[3]),
                                         FrameSheet({HeroFacePicture(), ThugFacePicture()}, 2, 0, 0)};
      int w = 0, h = 0;
      for (auto& part : parts) w = std::max(w, part.width()), h += part.height();
      IndexedImage sheet(w, h, pal::kGrey[9]);
      int y = 0;
      for (auto& part : parts) sheet.Blit(part, 0, y), y += part.height();
      WritePngPreview(Join(o.preview_dir, "contact_sheet.png"), sheet, palette, 1);
    }
    WritePngPreview(Join(o.preview_dir, "pictures.png"), ScreenSheet(pictures, 3, 2), palette, 1);
    for (size_t i = 0; i < pictures.size(); ++i)
      WritePngPreview(Join(o.preview_dir, "picture" + std::to_string(i) + ".png"), pictures[i], palette, 1);
    WritePngPreview(Join(o.preview_dir, "faces.png"), FrameSheet({HeroFacePicture(), ThugFacePicture()}, 2, 0, 0),
                    palette, 3);
    WritePngPreview(Join(o.preview_dir, "landscapes.png"), ScreenSheet(screens, 3, 2), palette, 1);
    for (size_t s = 0; s < screens.size(); ++s)
      WritePngPreview(Join(o.preview_dir, "landscape" + std::to_string(s + 1) + ".png"), screens[s], palette, 1);
    WritePngPreview(Join(o.preview_dir, "hero_frames.png"), FrameSheet(hero, 8, pal::kTransparent, pal::kSky[3]),
                    palette, 3);
    WritePngPreview(Join(o.preview_dir, "thug_frames.png"), FrameSheet(thugs, 8, pal::kTransparent, pal::kSky[3]),
                    palette, 3);
  }
  for (size_t i = 0; i < music.size(); ++i) WriteFile(Join(o.output_dir, MusicTracks()[i].file_name), music[i].get());
}

}  // namespace assetgen
