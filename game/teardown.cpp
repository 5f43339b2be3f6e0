#include "game/teardown.h"

#include "dar3/ruve3.hpp"
#include "display/display.h"
#include "game/world.h"
#include "sound/midi.h"
#include "sound/sound.h"
#include "sprites/sprite.h"

namespace {
void DestroyScreenPictures(int count) {
  for (int i = 0; i < count; ++i) DestroyBitmapImage(&ScreenImages[i]);
}
}  // namespace

int TitleShutdown() {
  DestroyBitmapImage(&ScreenImages[0]);
  return 1;
}

int StoryShutdown() {
  // One black frame between the story and the level.
  FillSurface(back_surface, 0, nullptr);
  LockBackSurface();
  UnlockBackSurface();
  FlipDisplay();
  MidiDeleteAll();
  MidiShutdown();
  DestroyScreenPictures(4);
  return 1;
}

int LevelShutdown() {
  StopAllSoundEffects();
  DeleteAllSoundEffects();
  SoundShutdown();
  MidiDeleteAll();
  MidiShutdown();
  DestroyScreenPictures(SCREEN_COUNT);
  DestroyBitmapImage(&EndScreenImage);
  if (Mp3Player != nullptr) {
    Mp3Player->Release();
    Mp3Player = nullptr;  // released: nothing may reach it again
  }
  DestroySprite(&Hero);
  for (Sprite& thug : Thugs) DestroySprite(&thug);
  // The faces' frames would otherwise outlive the display.
  DestroySprite(&HeroFace);
  DestroySprite(&ThugFace);
  DisplayShutdown();
  return 1;
}
