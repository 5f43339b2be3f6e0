// The decoding thread's effect stages, one hook each. A stage runs only while its switch is on,
// and the switches stay off until the operations that own each effect are in the build.
#include "mp3/dar3_player.h"

// Frame domain, between decoding and synthesis.
void DAr3::FrameStageMixChannels(mad_frame*) {}
// Takes fade_lock_ for one fade step per decoded frame.
void DAr3::FrameStageFade() {}

// Block domain, on the 16-bit stereo output before it is written.
void DAr3::BlockStageReverse(char*, uint32_t) {}
void DAr3::BlockStageVolume(char*, uint32_t) {}
void DAr3::BlockStageVocalCut(char*, uint32_t) {}
// The equalizer and echo stages live with their operations in dar3_dsp_effects.cpp.
