// What a file is: stream format, length and tags, read through the flat API, and the ways
// dar3play prints it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "dar3/dar3.h"
#include "tools/dar3play/net/stream_notes.h"
#include "tools/dar3play/replay_gain.h"

struct TrackTags {
  std::string title, artist, album, year, comment, track, genre;
};

struct TrackInfo {
  std::string path;  // as given; a web address without its password
  MP3_STREAM_INFO format{};
  MP3_TIME length{};
  TrackTags tags;
  int tag_version = 0;         // 2, 1, or 0 for no tag
  ReplayGainInfo replay_gain;  // filled by the caller, which has the opened source
  // Filled by the caller for a web address, of which only a part has been read: the length
  // the player counted is not the track's.
  std::optional<WebStreamFacts> web;
};

// Reads everything from an open player. Fields the player can't give stay empty.
TrackInfo ReadTrackInfo(MP3_HANDLE player, const std::string& path);

// "MPEG-1 Layer III, 44100 Hz, joint stereo, 128 kbit/s CBR"
std::string DescribeFormat(const MP3_STREAM_INFO& format);
// The title from the tags, or the file name without its folders.
std::string DisplayTitle(const TrackInfo& info);
// m:ss, or h:mm:ss from an hour on.
std::string FormatClock(uint32_t ms);

// A web address's length: known only when the server gave the size, and then estimated from
// it and the (average) bit rate. nullopt when unknown.
std::optional<uint32_t> WebLengthMs(const TrackInfo& info);

std::string InfoAsText(const TrackInfo& info);
std::string InfoAsJson(const TrackInfo& info);
