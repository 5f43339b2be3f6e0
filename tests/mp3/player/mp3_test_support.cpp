#include "tests/mp3/player/mp3_test_support.h"

#include <mad.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

#include "mp3/output/buffer_plan.h"
#include "mp3/output/wave_out.h"

namespace {

std::string TempDir() {
  static std::string dir = [] {
    char pattern[] = "/tmp/test_mp3_XXXXXX";
    const char* made = mkdtemp(pattern);
    return std::string(made ? made : "/tmp");
  }();
  return dir;
}

int BitrateIndex(int kbps) {
  static const int table[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
  for (int i = 1; i < 15; ++i)
    if (table[i] == kbps) return i;
  return 9;
}

void PutBe32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24);
  p[1] = uint8_t(v >> 16);
  p[2] = uint8_t(v >> 8);
  p[3] = uint8_t(v);
}

std::mutex log_lock;
std::condition_variable log_changed;
std::vector<uint32_t> log_messages;
std::vector<int16_t> log_samples;
std::vector<size_t> log_blocks;
int32_t sync_play_answer = 0;
int32_t wave_answer = 1;

}  // namespace

std::string TestData(const std::string& name) { return std::string(MP3_TEST_DATA) + "/" + name; }

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::string WriteTemp(const std::string& name, const Bytes& data) {
  const std::string path = TempDir() + "/" + name;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
  return path;
}

Bytes SilentFrame(int bitrate_kbps, int rate_index, int mode, bool padding) {
  static const int rates[] = {44100, 48000, 32000};
  const int length = 144 * bitrate_kbps * 1000 / rates[rate_index] + (padding ? 1 : 0);
  Bytes frame(size_t(length), 0);
  frame[0] = 0xFF;
  frame[1] = 0xFB;
  frame[2] = uint8_t((BitrateIndex(bitrate_kbps) << 4) | (rate_index << 2) | (padding ? 2 : 0));
  frame[3] = uint8_t(mode << 6);
  return frame;
}

Bytes XingFrame(uint32_t frames, uint32_t bytes, const char* name, int bitrate_kbps) {
  Bytes frame = SilentFrame(bitrate_kbps);
  uint8_t* p = frame.data() + 36;
  std::copy_n(name, 4, p);  // the tag's four letters, no terminator
  PutBe32(p + 4, 0x0F);
  PutBe32(p + 8, frames);
  PutBe32(p + 12, bytes);
  for (int i = 0; i < 100; ++i) p[16 + i] = uint8_t(i * 256 / 100);
  PutBe32(p + 116, 0);
  return frame;
}

Bytes Repeat(const Bytes& frame, int count) {
  Bytes out;
  for (int i = 0; i < count; ++i) out.insert(out.end(), frame.begin(), frame.end());
  return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

Bytes TonePcm(int rate, double seconds) {
  const size_t frames = size_t(rate * seconds);
  Bytes pcm(frames * 4);
  for (size_t i = 0; i < frames; ++i) {
    const double t = double(i) / rate;
    const double l = 0.3 * std::sin(2 * M_PI * 440 * t) + 0.1 * std::sin(2 * M_PI * 1500 * t);
    const double r = 0.3 * std::sin(2 * M_PI * 660 * t) + 0.1 * std::sin(2 * M_PI * 97 * t * (1 + t));
    const int16_t ls = int16_t(l * 32767), rs = int16_t(r * 32767);
    std::memcpy(&pcm[i * 4], &ls, 2);
    std::memcpy(&pcm[i * 4 + 2], &rs, 2);
  }
  return pcm;
}

std::string EncodeWithLame(const std::string& name, const Bytes& pcm, int rate, const std::string& options) {
  const std::string raw = WriteTemp(name + ".raw", pcm);
  std::string out = TempDir() + "/" + name;
  char khz[32];
  std::snprintf(khz, sizeof khz, "%g", rate / 1000.0);
  const std::string command = "lame --quiet -r -s " + std::string(khz) + " --bitwidth 16 --signed --little-endian " +
                              options + " '" + raw + "' '" + out + "'";
  if (std::system(command.c_str()) != 0) return "";
  return out;
}

uint32_t CountFrames(const Bytes& file, bool decodable_only) {
  Bytes padded = file;
  padded.resize(padded.size() + MAD_BUFFER_GUARD, 0);
  mad_stream stream{};
  mad_frame frame{};
  mad_stream_init(&stream);
  mad_frame_init(&frame);
  mad_stream_buffer(&stream, padded.data(), padded.size());
  uint32_t count = 0;
  for (;;) {
    const int result = decodable_only ? mad_frame_decode(&frame, &stream) : mad_header_decode(&frame.header, &stream);
    if (result == 0) {
      ++count;
    } else if (!MAD_RECOVERABLE(stream.error)) {
      break;
    }
  }
  mad_frame_finish(&frame);
  mad_stream_finish(&stream);
  return count;
}

void CallbackLog::Reset(int32_t answer_for_sync_play, int32_t wave_buffer_answer) {
  std::lock_guard<std::mutex> guard(log_lock);
  log_messages.clear();
  log_samples.clear();
  log_blocks.clear();
  sync_play_answer = answer_for_sync_play;
  wave_answer = wave_buffer_answer;
}

int32_t CallbackLog::Callback(uint32_t message, intptr_t wparam, intptr_t lparam) {
  std::lock_guard<std::mutex> guard(log_lock);
  log_messages.push_back(message);
  int32_t answer = 0;
  if (message == MP3_EVENT_WAVE_BUFFER) {
    const int16_t* block = reinterpret_cast<const int16_t*>(wparam);
    log_samples.insert(log_samples.end(), block, block + lparam / 2);
    log_blocks.push_back(size_t(lparam));
    answer = wave_answer;
  } else if (message == MP3_EVENT_SYNC_PLAY) {
    answer = sync_play_answer;
  }
  log_changed.notify_all();
  return answer;
}

std::vector<uint32_t> CallbackLog::Messages() {
  std::lock_guard<std::mutex> guard(log_lock);
  return log_messages;
}

std::vector<int16_t> CallbackLog::Samples() {
  std::lock_guard<std::mutex> guard(log_lock);
  return log_samples;
}

std::vector<size_t> CallbackLog::BlockSizes() {
  std::lock_guard<std::mutex> guard(log_lock);
  return log_blocks;
}

bool CallbackLog::WaitFor(uint32_t message, int timeout_ms) {
  std::unique_lock<std::mutex> guard(log_lock);
  return log_changed.wait_for(guard, std::chrono::milliseconds(timeout_ms), [&] {
    for (uint32_t m : log_messages)
      if (m == message) return true;
    return false;
  });
}

Decoded DecodeAll(const std::string& path, uint32_t extra_mask, bool gapless) {
  Decoded result;
  CallbackLog::Reset();
  Player player;
  Mp3_SetGapless(player, gapless ? 1 : 0);
  player->SetCallbackFunc(&CallbackLog::Callback, MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP | extra_mask);
  result.opened = player->OpenFile(path.c_str(), 0, 0, 0) == 1;
  if (!result.opened) {
    result.error = player->GetError();
    return result;
  }
  player->GetMp3Info(&result.info);
  player->GetSongLength(&result.length);
  if (player->Play() == 1) CallbackLog::WaitFor(MP3_EVENT_STOP, 60000);
  player->Close();
  result.stereo = CallbackLog::Samples();
  return result;
}

MP3_STREAM_INFO StreamInfo(RUVe3& p) {
  MP3_STREAM_INFO info{};
  p.GetMp3Info(&info);
  return info;
}

MP3_TIME SongLength(RUVe3& p) {
  MP3_TIME length{};
  p.GetSongLength(&length);
  return length;
}

uint32_t SamplesPerFrame(RUVe3& p) {
  const MP3_STREAM_INFO info = StreamInfo(p);
  if (info.layer == 1) return 384;
  if (info.layer == 2 || info.version == 1) return 1152;
  return 576;
}

void WaitDecoding(RUVe3& p) {
  for (int waited = 0; waited < 2000 && p.GetBitrate(0) == 0; ++waited)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

uint32_t FramesPerBlock(RUVe3& p) {
  return PlanBuffers(uint32_t(StreamInfo(p).sample_rate), SamplesPerFrame(p), 0).frames_per_buffer;
}

uint32_t WaveBufferBytes(RUVe3& p) {
  const uint32_t rate = uint32_t(StreamInfo(p).sample_rate);
  const BufferPlan plan = PlanBuffers(rate, SamplesPerFrame(p), 0);
  WWaveOut ring;
  if (!ring.Initialize(WAVE_FORMAT_PCM, 2, rate, 16, 1, plan.buffer_ms)) return 0;
  return ring.GetBufferSize();
}

size_t NearestSample(uint32_t ms, uint32_t rate) { return size_t((uint64_t(ms) * rate + 500) / 1000); }

void SampleDifference::Add(const int16_t* heard, const int16_t* expected, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const int d = int(heard[i]) - expected[i];
    worst = std::max(worst, std::abs(d));
    square_sum += double(d) * d;
  }
  compared += count;
}

double SampleDifference::Rms() const { return compared ? std::sqrt(square_sum / double(compared)) : 0.0; }
