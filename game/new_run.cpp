#include "game/new_run.h"

#include "dar3/ruve3.hpp"
#include "game/crt_random.h"
#include "game/world.h"

void PrepareNewRun() {
  ResetGameValues();
  CrtSrand(1);
  // The records were released by LevelShutdown; zero-filled as at program start.
  Hero = Sprite{};
  for (Sprite& thug : Thugs) thug = Sprite{};
  HeroFace = Sprite{};
  ThugFace = Sprite{};
  SoundHurt = SoundAlert = SoundPunch = SoundJump = SoundLaugh = SoundSwing = -1;
  if (Mp3Player == nullptr) Mp3Player = CreateRUVe3();
}
