#include "game/setup.h"

#include <cstdio>

#include "display/display.h"
#include "game/data_dir.h"
#include "game/music.h"
#include "game/pictures.h"
#include "game/world.h"
#include "platform/window.h"
#include "sound/midi.h"
#include "sound/sound.h"
#include "sprites/sprite.h"

namespace {

constexpr int kSpriteWidth = 72;
constexpr int kSpriteHeight = 74;
constexpr int kHeroFrames = HERO_ANIM_COUNT * FRAMES_PER_ANIM;
constexpr int kThugFrames = THUG_ANIM_COUNT * FRAMES_PER_ANIM;
constexpr int kFaceSize = 100;
constexpr int32_t kFighterAttributes = SPRITE_MULTI_ANIM | SPRITE_VISIBLE;
constexpr int32_t kFaceAttributes = SPRITE_SINGLE_FRAME | SPRITE_VISIBLE | SPRITE_BOUNCE;
constexpr int kAnimSpeed = 4;
// LoadSpriteAnimation keeps count - 1 entries: four frames and the end marker.
constexpr int kAnimCount = FRAMES_PER_ANIM + 1;
constexpr uint32_t kSoundControls = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY;

void InitDisplay() { DisplayInit(SCREEN_PICTURE_WIDTH, SCREEN_PICTURE_HEIGHT, 8, 0); }

bool CreateFighter(Sprite* sprite, int frames) {
  return CreateSprite(sprite, 0, 0, kSpriteWidth, kSpriteHeight, frames, kFighterAttributes, DDSCAPS_SYSTEMMEMORY,
                      COLOR_KEY, 8) != 0;
}

// One strip file per animation: cell k of file a is frame 4a + k.
void LoadFighterAnimations(Sprite* sprite, const char* pattern, int anims, const int32_t (*table)[FRAMES_PER_ANIM]) {
  char name[80];
  for (int a = 0; a < anims; ++a) {
    std::snprintf(name, sizeof name, pattern, a);
    LoadSpriteCells(sprite, name, FRAMES_PER_ANIM * a, FRAMES_PER_ANIM);
    LoadSpriteAnimation(sprite, a, kAnimCount, table[a]);
  }
}

bool LoadFace(Sprite* face, const char* name) {
  const bool read = LoadBitmapFile(&LoadedBitmap, name) != 0;
  if (read)
    UseLoadedPalette();
  else
    DataFileFailed(name);
  if (!CreateSprite(face, 0, 0, kFaceSize, kFaceSize, 1, kFaceAttributes, DDSCAPS_SYSTEMMEMORY, 0, 8)) {
    UnloadBitmapFile(&LoadedBitmap);
    return false;
  }
  if (read) LoadSpriteFrame(face, &LoadedBitmap, 0, 0, 0, 0);
  UnloadBitmapFile(&LoadedBitmap);
  return true;
}

// Full-screen pictures from a numbered file pattern into consecutive screen slots.
void LoadScreenPictures(const char* pattern, int first_number, int count) {
  char name[80];
  for (int i = 0; i < count; ++i) {
    std::snprintf(name, sizeof name, pattern, i + first_number);
    LoadScreenPicture(&ScreenImages[i], name);
  }
  UseLoadedPalette();
}

int LoadGameSound(const char* name) {
  const int id = LoadWavSound(name, kSoundControls);
  if (id < 0) CheckDataFile(name);
  return id;
}

void FinishPhaseSetup() {
  ClipBackSurfaceToScreen();
  platform::ShowCursor(false);
}

}  // namespace

int GameInit() {
  SoundInit();
  MidiInit();
  SwitchMusicTrack(TitleMusicFile);
  InitDisplay();

  char name[80];
  std::snprintf(name, sizeof name, "Grimstorm0.BMP");
  LoadScreenPicture(&ScreenImages[0], name);
  UseLoadedPalette();
  ClipBackSurfaceToScreen();

  if (!CreateFighter(&Hero, kHeroFrames)) return 0;
  LoadFighterAnimations(&Hero, "hero%d.BMP", HERO_ANIM_COUNT, HeroAnimTable);
  SetSpriteAnimation(&Hero, HERO_STAND_RIGHT);
  SetSpriteAnimSpeed(&Hero, kAnimSpeed);
  SetSpriteVelocity(&Hero, 0, 0);
  SetSpritePosition(&Hero, 16, 200);

  for (Sprite& thug : Thugs)
    if (!CreateFighter(&thug, kThugFrames)) return 0;
  for (Sprite& thug : Thugs) LoadFighterAnimations(&thug, "thug%d.bmp", THUG_ANIM_COUNT, ThugAnimTable);
  for (Sprite& thug : Thugs) {
    SetSpriteAnimSpeed(&thug, kAnimSpeed);
    SetSpriteVelocity(&thug, 0, 0);
    thug.counters[THUG_HITS] = 0;
  }
  for (int t = 0; t < THUG_COUNT; ++t) {
    SetSpritePosition(&Thugs[t], ThugStart[t].x, THUG_START_Y);
    SetSpriteAnimation(&Thugs[t], ThugStart[t].anim);
  }

  if (!LoadFace(&HeroFace, "face0.BMP")) return 0;
  if (!LoadFace(&ThugFace, "face1.BMP")) return 0;
  platform::ShowCursor(false);
  return 1;
}

int StoryInit() {
  StoryFrameCount = 1;
  InitDisplay();
  SwitchMusicTrack(StoryMusicFile);
  LoadScreenPictures("intro%d.BMP", 0, 4);
  FinishPhaseSetup();
  return 1;
}

int LevelInit() {
  SoundInit();
  MidiInit();
  SoundHurt = LoadGameSound("hurt.WAV");
  SoundAlert = LoadGameSound("alert.wav");
  SoundPunch = LoadGameSound("punch.wav");
  SoundJump = LoadGameSound("jump.wav");
  SoundLaugh = LoadGameSound("LaughEvil.WAV");
  SoundSwing = LoadGameSound("jump.WAV");
  InitDisplay();
  LoadScreenPictures("landscape%d.BMP", 1, SCREEN_COUNT);
  FinishPhaseSetup();
  return 1;
}
