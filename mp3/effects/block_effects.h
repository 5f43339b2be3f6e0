#pragma once
// The player's per-block and per-frame sound effects, free of player state: volume factors,
// vocal cut, reverse order, channel mixing on decoded frames, and the VU reading.
#include <mad.h>

#include <cstddef>
#include <cstdint>

#include "dar3/dar3.h"

// Loudness curve of a level 0..100: 1.0 at 100, 10^(v/100)/10 - 0.1 below (0 at 0).
double LoudnessFactor(double level);

// Multiplies 16-bit samples by the factors, truncating toward zero; mono blocks use `left`.
void ApplyPlayerVolume(char* block, uint32_t bytes, uint32_t channels, double left, double right);

// (L, R) becomes (L - R, R - L) on 16-bit stereo blocks, saturated to the 16-bit range so loud
// passages do not wrap into full-scale clicks.
void VocalCutBlock(char* block, uint32_t bytes, uint32_t channels);

// Reverses the order of the sample frames of a 16-bit block (samples when mono, pairs when
// stereo).
void ReverseBlock(char* block, uint32_t bytes, uint32_t channels);

// A mix factor (28 fraction bits) from a percentage, as MixChannels stores it; INT32_MAX (8.0)
// from 800 % up.
int32_t MixFactorFromPercent(unsigned int percent);
// Both channels' subband samples become the weighted sum of the two (two-channel frames only),
// saturated to the 32-bit sample range.
void MixChannelsFrame(mad_frame* frame, int32_t left_factor, int32_t right_factor);

// The VU level of a channel's mean absolute 16-bit sample: 0 below 21.61, else
// 33 * log10(mean / 23169) + 100 truncated, at most 100.
uint32_t VuLevel(double mean);
// Averages the absolute left and right samples over bytes/2 of the 16-bit stereo block from
// `offset` (moved back so that bytes/2 + 4 bytes remain), and maps them with VuLevel.
void VuFromBlock(const char* block, uint32_t bytes, uint32_t offset, uint32_t channels, uint32_t* left,
                 uint32_t* right);

// A duration of an MP3_TIME record in milliseconds: MS, SEC and HMS formats; others give 0.
uint32_t TimeToMs(int format, const MP3_TIME* time);
