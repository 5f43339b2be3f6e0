#pragma once
// Helpers of the player's tests: synthetic MPEG streams, encoder-made files, and a sink that
// collects the blocks the no-output mode hands to MP3_EVENT_WAVE_BUFFER.
#include <cstdint>
#include <string>
#include <vector>

#include "dar3/dar3.h"
#include "dar3/ruve3.hpp"

using Bytes = std::vector<uint8_t>;

std::string TestData(const std::string& name);
Bytes ReadFile(const std::string& path);
std::string WriteTemp(const std::string& name, const Bytes& data);  // returns the path

// One silent MPEG-1 Layer III frame: 44100 Hz (rate_index 0), 48000 (1) or 32000 (2);
// mode 0 stereo .. 3 single channel. The payload is zero: empty side information.
Bytes SilentFrame(int bitrate_kbps, int rate_index = 0, int mode = 0, bool padding = false);
// A Xing (or "Info") frame announcing `frames` frames with a linear table of contents.
Bytes XingFrame(uint32_t frames, uint32_t bytes, const char* name = "Xing", int bitrate_kbps = 128);
Bytes Repeat(const Bytes& frame, int count);
Bytes Concat(std::initializer_list<Bytes> parts);

// Raw 16-bit stereo PCM of a few tones, `seconds` long, at `rate`.
Bytes TonePcm(int rate, double seconds);
// Runs Debian's lame on raw PCM with the given options; empty path on failure.
std::string EncodeWithLame(const std::string& name, const Bytes& pcm, int rate, const std::string& options);
// Frames libmad finds in a whole file: headers, or frames it decodes.
uint32_t CountFrames(const Bytes& file, bool decodable_only = false);

// A player made through the library's public entry (CreateRUVe3) and destroyed with the
// scope. It is the RUVe3 interface (p->Play()) and the flat API's handle (Mp3_...(p, ...)).
class Player {
 public:
  Player() : handle_(CreateRUVe3()) {}
  ~Player() {
    if (handle_) Mp3_Destroy(handle_);
  }
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;
  RUVe3* operator->() const { return handle_; }
  RUVe3& operator*() const { return *handle_; }
  operator RUVe3&() const { return *handle_; }     // NOLINT(google-explicit-constructor): used as the interface
  operator MP3_HANDLE() const { return handle_; }  // NOLINT(google-explicit-constructor): and as the handle

 private:
  MP3_HANDLE handle_;
};

// The open stream's figures as the public getters give them.
MP3_STREAM_INFO StreamInfo(RUVe3& p);
MP3_TIME SongLength(RUVe3& p);
// Samples in one frame of the open stream (layer III: 1152 for MPEG-1, 576 for MPEG-2 and 2.5).
uint32_t SamplesPerFrame(RUVe3& p);
// Waits (up to 2 s) until the run has decoded a frame (its current bitrate is known).
void WaitDecoding(RUVe3& p);
// The output the player makes for its open stream, figured by the parts it uses: frames in one
// block, and bytes in one wave buffer.
uint32_t FramesPerBlock(RUVe3& p);
uint32_t WaveBufferBytes(RUVe3& p);

// Decodes a file through the no-output mode and returns every block, concatenated.
struct Decoded {
  bool opened = false;
  std::string error;
  std::vector<int16_t> stereo;  // interleaved
  MP3_STREAM_INFO info{};
  MP3_TIME length{};
};
// `gapless`: the player trims the encoder's delay and padding.
Decoded DecodeAll(const std::string& path, uint32_t extra_mask = 0, bool gapless = false);

// The sample a time falls on, rounded to the nearest as the player rounds a seek's target.
size_t NearestSample(uint32_t ms, uint32_t rate);
// How far what was heard lies from the whole-file decode, in 16-bit steps, over every sample
// added so far.
struct SampleDifference {
  int worst = 0;
  double square_sum = 0;
  size_t compared = 0;
  void Add(const int16_t* heard, const int16_t* expected, size_t count);
  double Rms() const;
};

// Callback sink shared by the tests (the callback carries no user pointer).
struct CallbackLog {
  static void Reset(int32_t answer_for_sync_play = 0, int32_t wave_buffer_answer = 1);
  static int32_t Callback(uint32_t message, intptr_t wparam, intptr_t lparam);
  static std::vector<uint32_t> Messages();
  static std::vector<int16_t> Samples();
  static std::vector<size_t> BlockSizes();  // bytes of each MP3_EVENT_WAVE_BUFFER block
  static bool WaitFor(uint32_t message, int timeout_ms);
};
