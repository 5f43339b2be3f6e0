// The decoding thread's effect stages, one hook each. A stage runs only while its switch is on.
#include "mp3/effects/block_effects.h"
#include "mp3/player/dar3_player.h"

// Frame domain, between decoding and synthesis.
void DAr3::FrameStageMixChannels(mad_frame* frame) { MixChannelsFrame(frame, mix_left_, mix_right_); }
// One fade step per decoded frame, under the fade's lock.
void DAr3::FrameStageFade() {
  fade_.Step([this](uint32_t event) { return Notify(event); });
  SyncFadeSwitches();
}

// Block domain, on the 16-bit stereo output before it is written.
void DAr3::BlockStageReverse(char* block, uint32_t bytes) { ReverseBlock(block, bytes, 2); }
void DAr3::BlockStageVolume(char* block, uint32_t bytes) {
  double left = 1.0, right = 1.0;
  fade_.Totals(&left, &right);
  if (left != 1.0 || right != 1.0) ApplyPlayerVolume(block, bytes, 2, left, right);
}
void DAr3::BlockStageVocalCut(char* block, uint32_t bytes) { VocalCutBlock(block, bytes, 2); }
// The equalizer and echo stages live with their operations in dar3_dsp_effects.cpp.
