// The effect settings dar3play offers, shared by the decoder and the interactive keys.
#pragma once

#include <string>

#include "dar3/dar3.h"

constexpr int kEqPresetCount = 5;  // flat, bass, treble, vocal, loudness
constexpr int kEchoModeCount = 10;
constexpr int kEchoOff = -1;

const char* EqPresetName(int preset);
// The preset index for a name, or -1.
int FindEqPreset(const std::string& name);

// Flat switches the FFT equalizer off; the others load their gains and switch it on.
int ApplyEqPreset(MP3_HANDLE player, int preset);
// Reverse play from the end of the song: the decoding thread walks back from the seek point.
int StartReverseFromEnd(MP3_HANDLE player);
// Echo mode 0..9, or kEchoOff.
int ApplyEcho(MP3_HANDLE player, int mode);
