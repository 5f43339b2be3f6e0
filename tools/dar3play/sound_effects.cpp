#include "tools/dar3play/sound_effects.h"

namespace {

constexpr int kEqBands = 10;  // the FFT equalizer's default bands

struct EqPreset {
  const char* name;
  int preamp_db;
  int gains_db[kEqBands];
};

// Bands: 0-115, -240, -455, -800, -2000, -4500, -9000, -13000, -15000 Hz, and the top. The
// preamp makes room for the boost so the loudest band does not clip.
constexpr EqPreset kPresets[kEqPresetCount] = {
    {"flat", 0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},       {"bass", -7, {9, 8, 6, 3, 0, 0, 0, 0, 0, 0}},
    {"treble", -7, {0, 0, 0, 0, 0, 2, 5, 7, 9, 9}},    {"vocal", -4, {-5, -4, -2, 2, 5, 5, 2, -2, -4, -5}},
    {"loudness", -6, {8, 6, 3, 0, -2, 0, 2, 5, 7, 7}},
};

// Echo taps start a quarter second back; the wet part a little below the dry one.
constexpr int kEchoDelayMs = 250;
constexpr int kEchoInputGainDb = 0;
constexpr int kEchoGainDb = -3;
constexpr int kEchoOutputGainDb = -3;

}  // namespace

const char* EqPresetName(int preset) { return preset >= 0 && preset < kEqPresetCount ? kPresets[preset].name : "?"; }

int FindEqPreset(const std::string& name) {
  for (int i = 0; i < kEqPresetCount; ++i) {
    if (name == kPresets[i].name) return i;
  }
  return -1;
}

int ApplyEqPreset(MP3_HANDLE player, int preset) {
  if (preset <= 0 || preset >= kEqPresetCount) return Mp3_EnableEQ(player, 0, 1);
  const EqPreset& p = kPresets[preset];
  if (!Mp3_SetEQParam(player, 1, p.preamp_db, p.gains_db, kEqBands)) return 0;
  return Mp3_EnableEQ(player, 1, 1);
}

int ApplyEcho(MP3_HANDLE player, int mode) {
  if (mode < 0 || mode >= kEchoModeCount) {
    return Mp3_SetSfxParam(player, 0, 0, kEchoDelayMs, kEchoInputGainDb, kEchoGainDb, kEchoOutputGainDb);
  }
  return Mp3_SetSfxParam(player, 1, mode, kEchoDelayMs, kEchoInputGainDb, kEchoGainDb, kEchoOutputGainDb);
}

int StartReverseFromEnd(MP3_HANDLE player) {
  if (!Mp3_ReverseMode(player, 1)) return 0;
  MP3_TIME length{};
  if (!Mp3_GetSongLength(player, &length)) return 0;
  MP3_TIME end{};
  end.ms = length.ms;
  return Mp3_Seek(player, TIME_FORMAT_MS, &end, MOVE_FROM_START);
}
