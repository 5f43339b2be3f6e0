#include "tools/dar3play/track_info.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "tools/dar3play/net/url_password.h"

namespace {

std::string VersionName(int version) {
  switch (version) {
    case 1: return "MPEG-1";
    case 2: return "MPEG-2";
    case 4: return "MPEG-2.5";
    default: return "MPEG";
  }
}

int LayerNumber(int layer_bit) {
  switch (layer_bit) {
    case 1: return 1;
    case 2: return 2;
    case 4: return 3;
    default: return 0;
  }
}

const char* LayerRoman(int layer_bit) {
  switch (layer_bit) {
    case 1: return "I";
    case 2: return "II";
    case 4: return "III";
    default: return "?";
  }
}

const char* ModeName(int mode_bit) {
  switch (mode_bit) {
    case 1: return "mono";
    case 2: return "dual channel";
    case 4: return "joint stereo";
    case 8: return "stereo";
    default: return "unknown";
  }
}

std::string Field(MP3_HANDLE player, int version, int selector) {
  const int needed = Mp3_GetID3Field(player, version, selector, nullptr, 0);
  if (needed <= 1) return {};
  std::string text(size_t(needed), '\0');
  const int copied = Mp3_GetID3Field(player, version, selector, text.data(), needed);
  text.resize(size_t(copied > 0 ? copied : 0));
  return text;
}

bool LoadTags(MP3_HANDLE player, int version, TrackTags* tags) {
  MP3_ID3_FIELDS fields{};
  if (!Mp3_LoadID3(player, version, &fields)) return false;
  tags->title = Field(player, version, ID3_SELECT_TITLE);
  tags->artist = Field(player, version, ID3_SELECT_ARTIST);
  tags->album = Field(player, version, ID3_SELECT_ALBUM);
  tags->year = Field(player, version, ID3_SELECT_YEAR);
  tags->comment = Field(player, version, ID3_SELECT_COMMENT);
  tags->track = Field(player, version, ID3_SELECT_TRACK);
  tags->genre = Field(player, version, ID3_SELECT_GENRE);
  return true;
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", c);
          out += escape;
        } else {
          out += char(c);
        }
    }
  }
  return out + "\"";
}

std::string JsonNumber(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

// {"track_gain_db": -6.5, "track_peak": 0.98, "album_gain_db": null, ...}: null for what the
// file does not give.
std::string ReplayGainJson(const ReplayGainInfo& rg) {
  auto gain = [](const GainValue& v) { return v.present ? JsonNumber(v.gain_db) : std::string("null"); };
  auto peak = [](const GainValue& v) { return v.present && v.peak > 0 ? JsonNumber(v.peak) : std::string("null"); };
  return "{\"track_gain_db\": " + gain(rg.track) + ", \"track_peak\": " + peak(rg.track) +
         ", \"album_gain_db\": " + gain(rg.album) + ", \"album_peak\": " + peak(rg.album) +
         ", \"source\": " + (rg.source.empty() ? std::string("null") : JsonString(rg.source)) + "}";
}

}  // namespace

TrackInfo ReadTrackInfo(MP3_HANDLE player, const std::string& path) {
  TrackInfo info;
  info.path = HidePassword(path);
  Mp3_GetMp3Info(player, &info.format);
  Mp3_GetSongLength(player, &info.length);
  // v2 carries the longer texts; v1 is the fallback.
  if (LoadTags(player, ID3_TAG_V2, &info.tags)) {
    info.tag_version = 2;
  } else if (LoadTags(player, ID3_TAG_V1, &info.tags)) {
    info.tag_version = 1;
  }
  return info;
}

std::string DescribeFormat(const MP3_STREAM_INFO& format) {
  char text[160];
  std::snprintf(text, sizeof text, "%s Layer %s, %d Hz, %s, %d kbit/s %s", VersionName(format.version).c_str(),
                LayerRoman(format.layer), format.sample_rate, ModeName(format.channel_mode), format.bitrate,
                format.vbr ? "VBR" : "CBR");
  return text;
}

std::string DisplayTitle(const TrackInfo& info) {
  if (!info.tags.title.empty()) return info.tags.title;
  const size_t slash = info.path.find_last_of('/');
  return slash == std::string::npos ? info.path : info.path.substr(slash + 1);
}

std::string FormatClock(uint32_t ms) {
  const uint32_t seconds = ms / 1000;
  char text[32];
  if (seconds >= 3600) {
    std::snprintf(text, sizeof text, "%u:%02u:%02u", seconds / 3600, seconds / 60 % 60, seconds % 60);
  } else {
    std::snprintf(text, sizeof text, "%u:%02u", seconds / 60, seconds % 60);
  }
  return text;
}

std::optional<uint32_t> WebLengthMs(const TrackInfo& info) {
  if (!info.web || info.web->live || info.web->size < 0 || info.format.bitrate <= 0) return std::nullopt;
  // The audio's bytes at the (average) bit rate: kbit/s are bits per millisecond.
  const double audio_bytes = double(std::max<int64_t>(info.web->size - info.format.header_size, 0));
  const double ms = audio_bytes * 8 / info.format.bitrate;
  return uint32_t(std::min(ms, double(UINT32_MAX)));
}

namespace {

std::string LengthText(const TrackInfo& info) {
  char text[120];
  if (!info.web) {
    std::snprintf(text, sizeof text, "%s (%u ms, %u frames, %u bytes)", FormatClock(info.length.ms).c_str(),
                  info.length.ms, info.length.frames, info.length.bytes);
    return text;
  }
  if (info.web->live) return "unknown (a live stream)";
  const std::optional<uint32_t> ms = WebLengthMs(info);
  if (!ms) return "unknown (the server gives no size)";
  std::snprintf(text, sizeof text, "about %s (from the size, %lld bytes)", FormatClock(*ms).c_str(),
                static_cast<long long>(info.web->size));
  return text;
}

std::string JsonOrNull(const std::string& text) { return text.empty() ? std::string("null") : JsonString(text); }

std::string WebStreamJson(const std::optional<WebStreamFacts>& web) {
  if (!web) return "null";
  return "{\"station\": " + JsonOrNull(web->station) + ", \"title\": " + JsonOrNull(web->title) +
         ", \"live\": " + (web->live ? "true" : "false") +
         ", \"size\": " + (web->size < 0 ? std::string("null") : std::to_string(web->size)) + "}";
}

}  // namespace

std::string InfoAsText(const TrackInfo& info) {
  const MP3_STREAM_INFO& f = info.format;
  char numbers[400];
  std::snprintf(numbers, sizeof numbers,
                "format:      %s\n"
                "version:     %s\nlayer:       %d\nsample rate: %d\nchannels:    %d\n"
                "mode:        %s\nbitrate:     %d\nvbr:         %s\n"
                "length:      %s\n",
                DescribeFormat(f).c_str(), VersionName(f.version).c_str(), LayerNumber(f.layer), f.sample_rate,
                f.channels, ModeName(f.channel_mode), f.bitrate, f.vbr ? "yes" : "no", LengthText(info).c_str());
  std::string out = "file:        " + info.path + "\n";
  if (info.web) {
    if (!info.web->station.empty()) out += "station:     " + info.web->station + "\n";
    if (!info.web->title.empty()) out += "on air:      " + info.web->title + "\n";
  }
  out += numbers;
  out += "tag:         " + (info.tag_version ? "ID3v" + std::to_string(info.tag_version) : std::string("none")) + "\n";
  const TrackTags& t = info.tags;
  const std::pair<const char*, const std::string*> rows[] = {
      {"title", &t.title}, {"artist", &t.artist}, {"album", &t.album},    {"year", &t.year},
      {"track", &t.track}, {"genre", &t.genre},   {"comment", &t.comment}};
  for (const auto& [name, value] : rows) {
    char label[16];
    std::snprintf(label, sizeof label, "%-13s", (std::string(name) + ":").c_str());
    out += label + *value + "\n";
  }
  out += "replaygain:  " + DescribeReplayGain(info.replay_gain) + "\n";
  return out;
}

std::string InfoAsJson(const TrackInfo& info) {
  const MP3_STREAM_INFO& f = info.format;
  const TrackTags& t = info.tags;
  std::string out = "{\n";
  out += "  \"file\": " + JsonString(info.path) + ",\n";
  out += "  \"stream\": " + WebStreamJson(info.web) + ",\n";
  out += "  \"version\": " + JsonString(VersionName(f.version)) + ",\n";
  out += "  \"layer\": " + std::to_string(LayerNumber(f.layer)) + ",\n";
  out += "  \"sample_rate\": " + std::to_string(f.sample_rate) + ",\n";
  out += "  \"channels\": " + std::to_string(f.channels) + ",\n";
  out += "  \"mode\": " + JsonString(ModeName(f.channel_mode)) + ",\n";
  out += "  \"bitrate\": " + std::to_string(f.bitrate) + ",\n";
  out += std::string("  \"vbr\": ") + (f.vbr ? "true" : "false") + ",\n";
  // A web address's counts are of the part read; only an estimate from its size stands for it.
  if (info.web) {
    const std::optional<uint32_t> ms = WebLengthMs(info);
    out += "  \"length_ms\": " + (ms ? std::to_string(*ms) : std::string("null")) + ",\n";
    out += "  \"frames\": null,\n";
    out += "  \"bytes\": " + (info.web->size < 0 ? std::string("null") : std::to_string(info.web->size)) + ",\n";
  } else {
    out += "  \"length_ms\": " + std::to_string(info.length.ms) + ",\n";
    out += "  \"frames\": " + std::to_string(info.length.frames) + ",\n";
    out += "  \"bytes\": " + std::to_string(info.length.bytes) + ",\n";
  }
  out += "  \"tag\": " + std::to_string(info.tag_version) + ",\n";
  out += "  \"title\": " + JsonString(t.title) + ",\n";
  out += "  \"artist\": " + JsonString(t.artist) + ",\n";
  out += "  \"album\": " + JsonString(t.album) + ",\n";
  out += "  \"year\": " + JsonString(t.year) + ",\n";
  out += "  \"track\": " + JsonString(t.track) + ",\n";
  out += "  \"genre\": " + JsonString(t.genre) + ",\n";
  out += "  \"comment\": " + JsonString(t.comment) + ",\n";
  out += "  \"replaygain\": " + ReplayGainJson(info.replay_gain) + "\n";
  return out + "}\n";
}
