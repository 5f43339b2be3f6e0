// Wave-output devices: write order, done and close notices, pause, reset, position, volume.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio.h"
#include "platform/backend.h"
#include "tests/support/audio_measure.h"

namespace {

using namespace platform;
using audio_test::Pull;

const bool kHeadless = audio_test::ChooseTestBackend();

// Records every notice with the thread it arrived on; optionally re-queues finished headers.
struct Recorder {
  struct Entry {
    uint32_t message;
    uintptr_t user;
    std::thread::id thread;
  };
  std::mutex lock;
  std::vector<Entry> entries;
  bool requeue = false;
  bool query_position = false;

  static void Callback(WaveOut* device, uint32_t message, uintptr_t instance, uintptr_t param1, uintptr_t) {
    auto* self = reinterpret_cast<Recorder*>(instance);
    auto* header = reinterpret_cast<WaveHeader*>(param1);
    {
      std::lock_guard<std::mutex> guard(self->lock);
      self->entries.push_back({message, header ? header->user : 0, std::this_thread::get_id()});
    }
    // Calling back into the engine from a notice must work: the mixer is not locked here.
    if (message == kWaveOutDoneNotice && self->query_position) {
      uint64_t samples;
      WaveOutGetPositionSamples(device, &samples);
    }
    if (message == kWaveOutDoneNotice && self->requeue) WaveOutWrite(device, header);
  }
  std::vector<uint32_t> Messages() {
    std::lock_guard<std::mutex> guard(lock);
    std::vector<uint32_t> out;
    for (auto& e : entries) out.push_back(e.message);
    return out;
  }
  std::vector<uintptr_t> DoneUsers() {
    std::lock_guard<std::mutex> guard(lock);
    std::vector<uintptr_t> out;
    for (auto& e : entries)
      if (e.message == kWaveOutDoneNotice) out.push_back(e.user);
    return out;
  }
};

struct Block {
  std::vector<int16_t> samples;  // interleaved stereo
  WaveHeader header;
  Block(size_t frames, int16_t base, uintptr_t user) : samples(frames * 2) {
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>(base + i);
    header.data = reinterpret_cast<char*>(samples.data());
    header.length = static_cast<uint32_t>(samples.size() * 2);
    header.user = user;
  }
};

class WaveOutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kHeadless);
    AudioShutdown();
    ASSERT_EQ(WaveOutOpen(&device, kWaveMapper, PcmFormat{44100, 2, 16}, &Recorder::Callback,
                          reinterpret_cast<uintptr_t>(&recorder)),
              kMmNoError);
  }
  void TearDown() override {
    if (device) {
      WaveOutReset(device);
      WaveOutClose(device);
    }
  }
  void Queue(Block& block) {
    ASSERT_EQ(WaveOutPrepareHeader(device, &block.header), kMmNoError);
    ASSERT_EQ(WaveOutWrite(device, &block.header), kMmNoError);
  }
  uint64_t Samples() {
    uint64_t samples = 0;
    EXPECT_EQ(WaveOutGetPositionSamples(device, &samples), kMmNoError);
    return samples;
  }

  Recorder recorder;
  WaveOut* device = nullptr;
};

TEST_F(WaveOutTest, PlaysHeadersInWriteOrderAndHandsEachBackDone) {
  Block a(300, 0, 0), b(200, 1000, 1), c(100, -2000, 2);
  Queue(a);
  Queue(b);
  Queue(c);
  EXPECT_TRUE(WaveHeaderFlags(&a.header) & kWaveHeaderInQueue);
  EXPECT_FALSE(WaveHeaderFlags(&a.header) & kWaveHeaderDone);
  auto out = Pull(250);
  for (size_t i = 0; i < 500; ++i) ASSERT_EQ(out[i], a.samples[i]);
  EXPECT_EQ(recorder.DoneUsers().size(), 0u);
  EXPECT_EQ(Samples(), 250u);
  out = Pull(400);
  for (size_t i = 0; i < 100; ++i) ASSERT_EQ(out[i], a.samples[500 + i]);
  for (size_t i = 0; i < 400; ++i) ASSERT_EQ(out[100 + i], b.samples[i]);
  for (size_t i = 0; i < 200; ++i) ASSERT_EQ(out[500 + i], c.samples[i]);
  for (size_t i = 700; i < out.size(); ++i) ASSERT_EQ(out[i], 0);  // starved: silence
  // Each header came back once, in order, on the engine's own thread, after the open notice.
  EXPECT_EQ(recorder.DoneUsers(), (std::vector<uintptr_t>{0, 1, 2}));
  EXPECT_EQ(recorder.Messages().front(), kWaveOutOpenNotice);
  for (auto& entry : recorder.entries) EXPECT_NE(entry.thread, std::this_thread::get_id());
  EXPECT_EQ(WaveHeaderFlags(&c.header), kWaveHeaderDone | kWaveHeaderPrepared);
  EXPECT_EQ(Samples(), 600u);
  uint64_t bytes = 0;
  EXPECT_EQ(WaveOutGetPositionBytes(device, &bytes), kMmNoError);
  EXPECT_EQ(bytes, 2400u);
  EXPECT_EQ(WaveOutUnprepareHeader(device, &a.header), kMmNoError);
  EXPECT_EQ(WaveHeaderFlags(&a.header), kWaveHeaderDone);
}

TEST_F(WaveOutTest, CallbacksMayCallBackIntoTheDevice) {
  recorder.requeue = true;
  recorder.query_position = true;
  Block a(100, 0, 7);
  Queue(a);
  for (int i = 0; i < 10; ++i) Pull(100);
  // The callback re-queued the header every time it came back: a continuous ring of one.
  EXPECT_GE(recorder.DoneUsers().size(), 9u);
  EXPECT_GE(Samples(), 900u);
  recorder.requeue = false;
  WaveOutReset(device);
}

// A notice that shuts the engine down and opens a device again: the engine starts afresh and
// the new device's notices are still delivered.
TEST(AudioEngineRestart, FromInsideANotice) {
  ASSERT_TRUE(kHeadless);
  AudioShutdown();
  static Recorder reopened;
  static WaveOut* second = nullptr;
  struct Restarter {
    static void Callback(WaveOut*, uint32_t message, uintptr_t, uintptr_t, uintptr_t) {
      if (message != kWaveOutDoneNotice || second) return;
      AudioShutdown();
      WaveOutOpen(&second, kWaveMapper, PcmFormat{44100, 2, 16}, &Recorder::Callback,
                  reinterpret_cast<uintptr_t>(&reopened));
    }
  };
  WaveOut* first = nullptr;
  ASSERT_EQ(WaveOutOpen(&first, kWaveMapper, PcmFormat{44100, 2, 16}, &Restarter::Callback, 0), kMmNoError);
  Block a(100, 0, 1);
  ASSERT_EQ(WaveOutPrepareHeader(first, &a.header), kMmNoError);
  ASSERT_EQ(WaveOutWrite(first, &a.header), kMmNoError);
  Pull(200);
  for (int i = 0; i < 200 && !second; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_NE(second, nullptr);
  Block b(100, 0, 2);
  ASSERT_EQ(WaveOutPrepareHeader(second, &b.header), kMmNoError);
  ASSERT_EQ(WaveOutWrite(second, &b.header), kMmNoError);
  Pull(200);
  for (int i = 0; i < 200 && reopened.DoneUsers().empty(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(reopened.DoneUsers(), (std::vector<uintptr_t>{2}));
  WaveOutReset(second);
  WaveOutClose(second);
  AudioShutdown();
}

TEST_F(WaveOutTest, PauseHoldsRestartResumesResetReturnsEverything) {
  Block a(1000, 0, 0), b(1000, 0, 1);
  Queue(a);
  Queue(b);
  Pull(100);
  ASSERT_EQ(WaveOutPause(device), kMmNoError);
  auto out = Pull(500);
  EXPECT_EQ(audio_test::Rms(audio_test::Channel(out, 0)), 0);
  EXPECT_EQ(Samples(), 100u);
  ASSERT_EQ(WaveOutRestart(device), kMmNoError);
  out = Pull(10);
  EXPECT_EQ(out[0], a.samples[200]);
  EXPECT_EQ(Samples(), 110u);
  // Reset: every queued header done at once, callbacks delivered before it returns, position 0.
  ASSERT_EQ(WaveOutReset(device), kMmNoError);
  EXPECT_EQ(recorder.DoneUsers(), (std::vector<uintptr_t>{0, 1}));
  EXPECT_TRUE(WaveHeaderFlags(&b.header) & kWaveHeaderDone);
  EXPECT_FALSE(WaveHeaderFlags(&b.header) & kWaveHeaderInQueue);
  EXPECT_EQ(Samples(), 0u);
  // The device plays again from the next header written.
  Queue(a);
  out = Pull(10);
  EXPECT_EQ(out[0], a.samples[0]);
  // The blocks end with this test: the device hands them back before (the fixture's reset would
  // write into the dead header).
  ASSERT_EQ(WaveOutReset(device), kMmNoError);
}

TEST_F(WaveOutTest, CloseRefusesWhileQueuedAndEndsWithTheCloseNotice) {
  Block a(100, 0, 0);
  Queue(a);
  EXPECT_EQ(WaveOutClose(device), kWaveStillPlaying);
  EXPECT_EQ(WaveOutUnprepareHeader(device, &a.header), kWaveStillPlaying);
  EXPECT_EQ(WaveOutWrite(device, &a.header), kWaveStillPlaying);
  Pull(200);
  ASSERT_EQ(WaveOutClose(device), kMmNoError);
  EXPECT_EQ(recorder.Messages(), (std::vector<uint32_t>{kWaveOutOpenNotice, kWaveOutDoneNotice, kWaveOutCloseNotice}));
  // A closed handle is refused everywhere.
  EXPECT_EQ(WaveOutWrite(device, &a.header), kMmInvalidHandle);
  EXPECT_EQ(WaveOutReset(device), kMmInvalidHandle);
  EXPECT_EQ(WaveOutClose(device), kMmInvalidHandle);
  device = nullptr;
}

TEST_F(WaveOutTest, BadArgumentsAreRefused) {
  Block a(10, 0, 0);
  EXPECT_EQ(WaveOutWrite(device, &a.header), kWaveUnprepared);
  EXPECT_EQ(WaveOutWrite(device, nullptr), kMmInvalidParam);
  EXPECT_EQ(WaveOutPrepareHeader(nullptr, &a.header), kMmInvalidHandle);
  WaveOut* other = nullptr;
  EXPECT_EQ(WaveOutOpen(&other, 1, PcmFormat{}, nullptr, 0), kMmBadDeviceId);
  EXPECT_EQ(WaveOutOpen(&other, 0, PcmFormat{44100, 6, 16}, nullptr, 0), kWaveBadFormat);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(WaveOutOpen(nullptr, 0, PcmFormat{}, nullptr, 0), kMmInvalidParam);
  uint64_t samples;
  EXPECT_EQ(WaveOutGetPositionSamples(nullptr, &samples), kMmInvalidHandle);
  EXPECT_EQ(WaveOutGetPositionSamples(device, nullptr), kMmInvalidParam);
  // A header whose length is not whole frames plays its whole frames only.
  a.header.length = 7;
  Queue(a);
  auto out = Pull(4);
  EXPECT_EQ(out[0], a.samples[0]);
  EXPECT_EQ(out[1], a.samples[1]);
  EXPECT_EQ(out[2], 0);
  EXPECT_EQ(recorder.DoneUsers().size(), 1u);
}

TEST_F(WaveOutTest, DeviceListAndVolume) {
  EXPECT_EQ(WaveOutGetNumDevs(), 1u);
  WaveOutCaps caps;
  ASSERT_EQ(WaveOutGetDevCaps(0, &caps), kMmNoError);
  EXPECT_EQ(caps.channels, 2);
  EXPECT_TRUE(caps.support & kWaveCapsVolume);
  EXPECT_TRUE(caps.formats & kWaveFormat44S16);
  EXPECT_EQ(caps.name[sizeof caps.name - 1], '\0');
  EXPECT_GT(std::strlen(caps.name), 0u);
  EXPECT_EQ(WaveOutGetDevCaps(kWaveMapper, &caps), kMmNoError);
  EXPECT_EQ(WaveOutGetDevCaps(1, &caps), kMmBadDeviceId);
  EXPECT_EQ(WaveOutGetDevCaps(0, nullptr), kMmInvalidParam);

  // Left in the low word, right in the high word, linear.
  ASSERT_EQ(WaveOutSetVolume(device, 0x0000FFFFu), kMmNoError);
  uint32_t volume = 0;
  EXPECT_EQ(WaveOutGetVolume(device, &volume), kMmNoError);
  EXPECT_EQ(volume, 0x0000FFFFu);
  Block a(100, 1000, 0);
  Queue(a);
  auto out = Pull(100);
  EXPECT_EQ(out[0], a.samples[0]);
  EXPECT_EQ(out[1], 0);
  WaveOutSetVolume(device, 0x80008000u);
  Queue(a);
  out = Pull(100);
  EXPECT_NEAR(out[0], a.samples[0] / 2.0, 1);
  // Without a device the default volume is set, which the next device starts with.
  ASSERT_EQ(WaveOutSetVolume(nullptr, 0x40004000u), kMmNoError);
  WaveOut* second = nullptr;
  ASSERT_EQ(WaveOutOpen(&second, 0, PcmFormat{22050, 1, 8}, nullptr, 0), kMmNoError);
  EXPECT_EQ(WaveOutGetVolume(second, &volume), kMmNoError);
  EXPECT_EQ(volume, 0x40004000u);
  EXPECT_EQ(WaveOutClose(second), kMmNoError);
  WaveOutSetVolume(nullptr, 0xFFFFFFFFu);
}

TEST_F(WaveOutTest, OtherRatesAreResampledAcrossHeaders) {
  WaveOut* slow = nullptr;
  ASSERT_EQ(WaveOutOpen(&slow, 0, PcmFormat{22050, 2, 16}, nullptr, 0), kMmNoError);
  // A ramp split over two headers comes out twice as long and still a smooth ramp.
  std::vector<int16_t> ramp(400);
  for (size_t i = 0; i < 200; ++i) ramp[2 * i] = ramp[2 * i + 1] = static_cast<int16_t>(i * 100);
  WaveHeader first, second;
  first.data = reinterpret_cast<char*>(ramp.data());
  first.length = 400;  // frames 0..99
  second.data = reinterpret_cast<char*>(ramp.data() + 200);
  second.length = 400;  // frames 100..199
  for (WaveHeader* h : {&first, &second}) {
    WaveOutPrepareHeader(slow, h);
    WaveOutWrite(slow, h);
  }
  auto out = Pull(400);
  for (size_t i = 0; i < 398; ++i) ASSERT_NEAR(out[2 * i], i * 50.0, 1.0) << i;
  uint64_t samples = 0;
  WaveOutGetPositionSamples(slow, &samples);
  EXPECT_EQ(samples, 200u);
  EXPECT_EQ(WaveOutClose(slow), kMmNoError);
}

TEST(AudioEngineTest, ConsumesInRealTimeWithoutAPuller) {
  ASSERT_TRUE(kHeadless);
  AudioShutdown();
  WaveOut* device = nullptr;
  ASSERT_EQ(WaveOutOpen(&device, 0, PcmFormat{}, nullptr, 0), kMmNoError);
  std::vector<int16_t> data(4410 * 2);  // 100 ms
  WaveHeader header;
  header.data = reinterpret_cast<char*>(data.data());
  header.length = static_cast<uint32_t>(data.size() * 2);
  WaveOutPrepareHeader(device, &header);
  AudioConsumeInRealTime(true);
  const auto start = std::chrono::steady_clock::now();
  WaveOutWrite(device, &header);
  int16_t scratch[4];
  EXPECT_EQ(AudioPull(scratch, 2), 0u);  // the real-time device is the one consuming
  while (!(WaveHeaderFlags(&header) & kWaveHeaderDone) &&
         std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(WaveHeaderFlags(&header) & kWaveHeaderDone);
  EXPECT_GE(took, std::chrono::milliseconds(80));  // real time, not as fast as possible
  AudioConsumeInRealTime(false);
  EXPECT_EQ(AudioPull(scratch, 2), 2u);
  EXPECT_EQ(WaveOutClose(device), kMmNoError);
}

TEST(AudioEngineTest, SourcesAreMixedUntilRemoved) {
  ASSERT_TRUE(kHeadless);
  AudioShutdown();
  struct Constant : AudioSource {
    void Render(float* stereo, size_t frames) override {
      for (size_t i = 0; i < frames; ++i) {
        stereo[2 * i] += 0.25f;
        stereo[2 * i + 1] -= 0.25f;
      }
    }
  } source;
  AddAudioSource(&source);
  AddAudioSource(&source);  // once only
  auto out = Pull(10);
  EXPECT_EQ(out[0], 8192);
  EXPECT_EQ(out[1], -8192);
  RemoveAudioSource(&source);
  out = Pull(10);
  EXPECT_EQ(out[0], 0);
  const uint64_t before = AudioFramesMixed();
  Pull(10);
  EXPECT_EQ(AudioFramesMixed(), before + 10);
}

}  // namespace
