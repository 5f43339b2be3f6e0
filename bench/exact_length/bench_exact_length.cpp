// Prints a table of reported and true lengths per kind of file, gapless output lengths against
// the encoder's input, and the time to open a one-hour VBR file that has no header.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "dar3/dar3.h"
#include "dar3/ruve3.hpp"
#include "mp3/format/frame_index.h"

namespace {
using Clock = std::chrono::steady_clock;

const std::string kDir = "/tmp/bench_exact_length_" + std::to_string(getpid());

std::string Raw(int rate, double seconds, bool mono) {
  std::string raw =
      kDir + "/in_" + std::to_string(rate) + (mono ? "m" : "s") + std::to_string(int(seconds * 1000)) + ".raw";
  std::ofstream out(raw, std::ios::binary);
  const long frames = long(rate * seconds);
  for (long i = 0; i < frames; ++i) {
    const double t = double(i) / rate;
    const int16_t s[2] = {int16_t(9000 * std::sin(2 * M_PI * 440 * t)),
                          int16_t(7000 * std::sin(2 * M_PI * 300 * t * (1 + t / 8)))};
    out.write(reinterpret_cast<const char*>(s), mono ? 2 : 4);
  }
  return raw;
}

std::string Lame(const std::string& name, int rate, double seconds, const std::string& options, bool mono = false) {
  const std::string raw = Raw(rate, seconds, mono);
  const std::string out = kDir + "/" + name;
  char khz[16];
  std::snprintf(khz, sizeof khz, "%g", rate / 1000.0);
  const std::string command = "lame --quiet -r -s " + std::string(khz) + " --bitwidth 16 --signed --little-endian " +
                              (mono ? "-m m " : "") + options + " '" + raw + "' '" + out + "'";
  return std::system(command.c_str()) == 0 ? out : "";
}

std::vector<uint8_t> Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string Write(const std::string& name, const std::vector<uint8_t>& data) {
  std::string path = kDir + "/" + name;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
  return path;
}

std::atomic<uint64_t> g_samples{0};
std::atomic<bool> g_stopped{false};
int32_t Count(uint32_t message, intptr_t, intptr_t bytes) {
  if (message == MP3_EVENT_WAVE_BUFFER) g_samples += uint64_t(bytes) / 4;
  if (message == MP3_EVENT_STOP) g_stopped = true;
  return 1;
}

struct Figures {
  uint32_t reported_ms = 0;
  uint64_t samples = 0;
  uint32_t rate = 0;
};

// A player of the library's public entry, destroyed with the scope.
using PlayerHandle = std::unique_ptr<RUVe3, decltype(&Mp3_Destroy)>;
PlayerHandle NewPlayer() { return PlayerHandle(CreateRUVe3(), &Mp3_Destroy); }

// The reported length, then the whole decode's sample count.
Figures Measure(const std::string& path, bool gapless) {
  Figures f;
  const PlayerHandle p = NewPlayer();
  Mp3_SetGapless(p.get(), gapless ? 1 : 0);
  p->SetCallbackFunc(&Count, MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP);
  if (!p->OpenFile(path.c_str(), 0, 0, 0)) return f;
  MP3_TIME length{};
  p->GetSongLength(&length);
  f.reported_ms = length.ms;
  MP3_STREAM_INFO info{};
  p->GetMp3Info(&info);
  f.rate = uint32_t(info.sample_rate);
  g_samples = 0;
  g_stopped = false;
  if (p->Play()) {
    while (!g_stopped) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  p->Close();
  f.samples = g_samples;
  return f;
}

}  // namespace

int main() {
  std::system(("mkdir -p " + kDir).c_str());
  struct Kind {
    const char* name;
    std::string path;
  };
  std::vector<uint8_t> cut = Bytes(Lame("cbr_whole.mp3", 44100, 24, "-b 128"));
  cut.resize(cut.size() * 2 / 3);
  std::vector<uint8_t> lying = Bytes(Lame("vbr_lying.mp3", 44100, 24, "-V4"));
  for (size_t i = 0; i + 12 < lying.size() && i < 200; ++i)
    if (lying[i] == 'X' && lying[i + 1] == 'i' && lying[i + 2] == 'n' && lying[i + 3] == 'g') {
      lying[i + 8] = lying[i + 9] = lying[i + 10] = 0;
      lying[i + 11] = 50;  // 50 frames claimed
      break;
    }
  const std::string data = MP3_TEST_DATA;
  const Kind kinds[] = {
      {"CBR 128", Lame("cbr.mp3", 44100, 24, "-b 128")},
      {"VBR + Xing", Lame("vbr.mp3", 44100, 24, "-V4")},
      {"VBR, no header", Lame("vbr_bare.mp3", 44100, 24, "-t -V4")},
      {"Xing that lies", Write("vbr_lying_patched.mp3", lying)},
      {"truncated to 2/3", Write("cbr_cut.mp3", cut)},
      {"Layer I", data + "/l1-fl1.bit"},
      {"Layer II", data + "/l2-fl10.bit"},
      {"MPEG-2 VBR", Lame("mpeg2.mp3", 22050, 24, "-V4")},
      {"MPEG-2.5", Lame("mpeg25.mp3", 11025, 24, "-t -V6")},
      {"free format", data + "/l3-he_free.bit"},
  };
  std::printf("%-18s %12s %12s %10s\n", "kind", "reported ms", "true ms", "off by ms");
  for (const Kind& k : kinds) {
    const Figures f = Measure(k.path, false);
    const uint64_t true_ms = f.rate ? f.samples * 1000 / f.rate : 0;
    std::printf("%-18s %12u %12llu %10lld\n", k.name, f.reported_ms, (unsigned long long)true_ms,
                (long long)f.reported_ms - (long long)true_ms);
  }

  struct GaplessKind {
    const char* name;
    int rate;
    double seconds;
    const char* options;
    bool mono;
  };
  const GaplessKind gapless[] = {{"CBR 128", 44100, 10, "-b 128", false},
                                 {"VBR V2", 44100, 10, "-V2", false},
                                 {"22.05 kHz", 22050, 10, "-b 64", false},
                                 {"mono", 44100, 10, "-b 96", true},
                                 {"20 ms", 44100, 0.02, "-b 128", false}};
  std::printf("\n%-12s %14s %14s %14s\n", "gapless", "encoder input", "gapless out", "untrimmed out");
  for (const GaplessKind& g : gapless) {
    const std::string path =
        Lame(std::string("gapless_") + std::to_string(&g - gapless) + ".mp3", g.rate, g.seconds, g.options, g.mono);
    const uint64_t input = uint64_t(g.rate * g.seconds);
    std::printf("%-12s %14llu %14llu %14llu\n", g.name, (unsigned long long)input,
                (unsigned long long)Measure(path, true).samples, (unsigned long long)Measure(path, false).samples);
  }

  // One hour of VBR without a header: a minute made by lame, its frames sixty times over.
  const std::vector<uint8_t> minute = Bytes(Lame("minute.mp3", 44100, 60, "-t -V4"));
  std::vector<uint8_t> hour;
  for (int i = 0; i < 60; ++i) hour.insert(hour.end(), minute.begin(), minute.end());
  const std::string hour_path = Write("hour.mp3", hour);
  double best = 1e9;
  uint32_t reported = 0;
  for (int round = 0; round < 5; ++round) {
    const PlayerHandle p = NewPlayer();
    const auto a = Clock::now();
    if (!p->OpenFile(hour_path.c_str(), 0, 0, 0)) return 1;
    best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - a).count());
    MP3_TIME length{};
    p->GetSongLength(&length);
    reported = length.ms;
  }
  std::printf(
      "\nopen of a 1-hour VBR file without header (%zu bytes): %.2f ms (best of 5; target < 20 ms), "
      "length %u ms\n",
      hour.size(), best, reported);
  // Of that, the frame index alone.
  double index_best = 1e9;
  std::vector<const uint8_t*> index;
  for (int round = 0; round < 5; ++round) {
    const auto a = Clock::now();
    BuildFrameIndex(hour.data(), uint32_t(hour.size()), &index);
    index_best = std::min(index_best, std::chrono::duration<double, std::milli>(Clock::now() - a).count());
  }
  std::printf("of which the frame index (%zu frames): %.2f ms\n", index.size(), index_best);
  std::system(("rm -rf " + kDir).c_str());
  return 0;
}
