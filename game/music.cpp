#include "game/music.h"

#include "dar3/ruve3.hpp"
#include "game/data_dir.h"
#include "game/world.h"

namespace {
constexpr int kMusicBufferMs = 800;
}

void SwitchMusicTrack(const char* name) {
  if (Mp3Player == nullptr) return;
  Mp3Player->Stop();
  if (!Mp3Player->OpenFile(name, kMusicBufferMs, 0, 0)) CheckDataFile(name);
  Mp3Player->Play();
}

void StopMusic() {
  if (Mp3Player != nullptr) Mp3Player->Stop();
}
