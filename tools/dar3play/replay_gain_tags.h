// Reads a file's ReplayGain values: ID3v2 TXXX:REPLAYGAIN_* frames first, then RVA2, then the
// LAME tag of the first frame (what the encoder measured), as the later taggers know better.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "tools/dar3play/replay_gain.h"

// Nothing for what is not a regular file (standard input, a URL) or holds no values.
ReplayGainInfo ReadReplayGain(const std::string& path);

// The same from the first bytes of a file or stream: its ID3v2 tags and its first frame.
ReplayGainInfo ReplayGainFromHead(std::span<const uint8_t> head);

// The parts, on bytes in memory: an ID3v2 tag at the start of `tag`, and the audio's first
// frame at the start of `frame`. Each fills what it finds and returns whether it found any.
bool ReplayGainFromId3v2(std::span<const uint8_t> tag, ReplayGainInfo* info);
bool ReplayGainFromLameFrame(std::span<const uint8_t> frame, ReplayGainInfo* info);
