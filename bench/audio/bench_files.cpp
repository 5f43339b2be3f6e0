#include "bench/audio/bench_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace bench_audio {
namespace {

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("jed_bench_" + name)).string();
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back((v >> (8 * i)) & 0xFF);
}
void PutTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }
void PutBe32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 3; i >= 0; --i) out.push_back((v >> (8 * i)) & 0xFF);
}
void PutVlq(std::vector<uint8_t>& out, uint32_t v) {
  uint8_t bytes[4];
  int n = 0;
  do {
    bytes[n++] = v & 0x7F;
    v >>= 7;
  } while (v);
  while (n--) out.push_back(bytes[n] | (n ? 0x80 : 0));
}

void Save(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

}  // namespace

std::string WriteToneWav(const std::string& name, uint32_t rate, int channels, int bits, double seconds) {
  const uint32_t frames = static_cast<uint32_t>(seconds * rate);
  std::vector<uint8_t> data;
  for (uint32_t i = 0; i < frames; ++i) {
    double t = double(i) / rate;
    double v = 0.4 * std::exp(-3 * t) * std::sin(2 * M_PI * (220 + 110 * channels) * t);
    for (int c = 0; c < channels; ++c) {
      if (bits == 8)
        data.push_back(static_cast<uint8_t>(128 + 127 * v));
      else
        Put16(data, static_cast<uint16_t>(static_cast<int16_t>(32767 * v)));
    }
  }
  std::vector<uint8_t> file;
  PutTag(file, "RIFF");
  Put32(file, static_cast<uint32_t>(36 + data.size()));
  PutTag(file, "WAVE");
  PutTag(file, "fmt ");
  Put32(file, 16);
  Put16(file, 1);
  Put16(file, channels);
  Put32(file, rate);
  Put32(file, rate * channels * bits / 8);
  Put16(file, channels * bits / 8);
  Put16(file, bits);
  PutTag(file, "data");
  Put32(file, static_cast<uint32_t>(data.size()));
  file.insert(file.end(), data.begin(), data.end());
  std::string path = TempPath(name);
  Save(path, file);
  return path;
}

std::string WriteBusySong(const std::string& name, int bars) {
  // One track (format 0), 480 ticks per quarter. Events are gathered per tick, then written.
  struct Event {
    uint32_t tick;
    std::vector<uint8_t> bytes;
  };
  std::vector<Event> events;
  auto note = [&](uint32_t tick, uint32_t length, uint8_t channel, uint8_t key, uint8_t velocity) {
    events.push_back({tick, {static_cast<uint8_t>(0x90 | channel), key, velocity}});
    events.push_back({tick + length, {static_cast<uint8_t>(0x80 | channel), key, 0}});
  };
  events.push_back({0, {0xC0, 0}});   // piano melody
  events.push_back({0, {0xC1, 33}});  // finger bass
  events.push_back({0, {0xC2, 48}});  // strings
  events.push_back({0, {0xC3, 25}});  // steel guitar
  const uint8_t chords[4][3] = {{60, 64, 67}, {57, 60, 64}, {53, 57, 60}, {55, 59, 62}};
  const uint32_t bar = 4 * 480;
  for (int b = 0; b < bars; ++b) {
    const uint32_t start = b * bar;
    const auto& chord = chords[b % 4];
    for (uint8_t key : chord) note(start, bar, 2, key, 70);  // held strings
    for (int beat = 0; beat < 8; ++beat)                     // strummed guitar
      for (uint8_t key : chord) note(start + beat * 240, 230, 3, key + 12, 60);
    for (int beat = 0; beat < 4; ++beat) note(start + beat * 480, 400, 1, chord[0] - 24, 90);         // bass
    for (int step = 0; step < 8; ++step) note(start + step * 240, 220, 0, chord[step % 3] + 12, 80);  // melody
    for (int step = 0; step < 16; ++step) {  // drums, channel 10
      note(start + step * 120, 100, 9, 42, 60);
      if (step % 8 == 0) note(start + step * 120, 100, 9, 36, 100);
      if (step % 8 == 4) note(start + step * 120, 100, 9, 38, 100);
    }
  }
  std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.tick < b.tick; });
  std::vector<uint8_t> track;
  uint32_t now = 0;
  for (const Event& e : events) {
    PutVlq(track, e.tick - now);
    now = e.tick;
    track.insert(track.end(), e.bytes.begin(), e.bytes.end());
  }
  track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
  std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0};
  PutTag(file, "MTrk");
  PutBe32(file, static_cast<uint32_t>(track.size()));
  file.insert(file.end(), track.begin(), track.end());
  std::string path = TempPath(name);
  Save(path, file);
  return path;
}

}  // namespace bench_audio
