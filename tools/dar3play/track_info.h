// What a file is: stream format, length and tags, read through the flat API, and the ways
// dar3play prints it.
#pragma once

#include <string>

#include "dar3/dar3.h"
#include "tools/dar3play/replay_gain.h"

struct TrackTags {
  std::string title, artist, album, year, comment, track, genre;
};

struct TrackInfo {
  std::string path;
  MP3_STREAM_INFO format{};
  MP3_TIME length{};
  TrackTags tags;
  int tag_version = 0;         // 2, 1, or 0 for no tag
  ReplayGainInfo replay_gain;  // filled by the caller, which has the opened source
  // A web radio's name (icy-name), filled by the caller: such a stream is live, its length
  // unknown (the figures above are those of what was read to open it).
  std::string station;
};

// Reads everything from an open player. Fields the player can't give stay empty.
TrackInfo ReadTrackInfo(MP3_HANDLE player, const std::string& path);

// "MPEG-1 Layer III, 44100 Hz, joint stereo, 128 kbit/s CBR"
std::string DescribeFormat(const MP3_STREAM_INFO& format);
// The title from the tags, or the file name without its folders.
std::string DisplayTitle(const TrackInfo& info);
// m:ss, or h:mm:ss from an hour on.
std::string FormatClock(uint32_t ms);

std::string InfoAsText(const TrackInfo& info);
std::string InfoAsJson(const TrackInfo& info);
