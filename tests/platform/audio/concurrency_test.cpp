// The engine under several threads at once, as the MP3 player drives it: a producer thread
// refilling a ring of headers as done notices arrive, a control thread pausing, resetting and
// playing sounds, and the real-time device mixing. Run it under ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio.h"
#include "platform/backend.h"
#include "tests/support/audio_measure.h"

namespace {

using namespace platform;

const bool kHeadless = audio_test::ChooseTestBackend();

struct Ring {
  static constexpr int kBuffers = 4;
  std::vector<int16_t> data[kBuffers];
  WaveHeader headers[kBuffers];
  std::mutex lock;
  std::condition_variable freed;
  std::atomic<int> done_notices{0};

  static void Callback(WaveOut*, uint32_t message, uintptr_t instance, uintptr_t, uintptr_t) {
    auto* self = reinterpret_cast<Ring*>(instance);
    if (message != kWaveOutDoneNotice) return;
    self->done_notices.fetch_add(1);
    std::lock_guard<std::mutex> guard(self->lock);
    self->freed.notify_all();
  }
};

TEST(AudioConcurrencyTest, ProducerControlAndMixerRunTogether) {
  ASSERT_TRUE(kHeadless);
  AudioShutdown();
  Ring ring;
  WaveOut* device = nullptr;
  ASSERT_EQ(
      WaveOutOpen(&device, kWaveMapper, PcmFormat{44100, 2, 16}, &Ring::Callback, reinterpret_cast<uintptr_t>(&ring)),
      kMmNoError);
  for (int i = 0; i < Ring::kBuffers; ++i) {
    ring.data[i].assign(441 * 2, static_cast<int16_t>(100 * (i + 1)));  // 10 ms each
    ring.headers[i].data = reinterpret_cast<char*>(ring.data[i].data());
    ring.headers[i].length = 441 * 4;
    ring.headers[i].user = i;
    ring.headers[i].flags = kWaveHeaderDone;
  }
  AudioConsumeInRealTime(true);
  std::atomic<bool> stop{false};
  std::atomic<int> written{0};
  std::thread producer([&] {
    while (!stop.load()) {
      for (int i = 0; i < Ring::kBuffers && !stop.load(); ++i) {
        WaveHeader* header = &ring.headers[i];
        std::unique_lock<std::mutex> guard(ring.lock);
        ring.freed.wait_for(guard, std::chrono::milliseconds(50),
                            [&] { return (WaveHeaderFlags(header) & kWaveHeaderDone) || stop.load(); });
        guard.unlock();
        if (!(WaveHeaderFlags(header) & kWaveHeaderDone)) continue;
        WaveOutUnprepareHeader(device, header);
        header->flags = 0;
        WaveOutPrepareHeader(device, header);
        if (WaveOutWrite(device, header) == kMmNoError) written.fetch_add(1);
      }
    }
  });
  std::vector<int16_t> click(200, 5000);
  SoundBuffer* sound = CreateSoundBuffer(PcmFormat{22050, 1, 16}, 400);
  const auto start = std::chrono::steady_clock::now();
  int round = 0;
  while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(400)) {
    ++round;
    PlaySoundBuffer(sound, round % 2 == 0);
    uint64_t position;
    WaveOutGetPositionSamples(device, &position);
    if (round % 7 == 0) {
      WaveOutPause(device);
      std::this_thread::sleep_for(std::chrono::milliseconds(3));
      WaveOutRestart(device);
    }
    if (round % 13 == 0) WaveOutReset(device);
    WaveOutSetVolume(device, round % 2 ? 0xFFFFFFFFu : 0x80008000u);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  stop.store(true);
  producer.join();
  ASSERT_EQ(WaveOutReset(device), kMmNoError);
  // Every header written came back exactly once.
  EXPECT_EQ(ring.done_notices.load(), written.load());
  EXPECT_GT(written.load(), 20);
  for (auto& header : ring.headers) {
    EXPECT_TRUE(WaveHeaderFlags(&header) & kWaveHeaderDone);
    WaveOutUnprepareHeader(device, &header);
  }
  EXPECT_EQ(WaveOutClose(device), kMmNoError);
  ReleaseSoundBuffer(sound);
  AudioConsumeInRealTime(false);
  AudioShutdown();
}

TEST(AudioConcurrencyTest, ShutdownReturnsQueuedHeadersAndClosesDevices) {
  ASSERT_TRUE(kHeadless);
  AudioShutdown();
  std::atomic<int> done{0}, closed{0};
  struct Counts {
    std::atomic<int>* done;
    std::atomic<int>* closed;
  } counts{&done, &closed};
  auto callback = [](WaveOut*, uint32_t message, uintptr_t instance, uintptr_t, uintptr_t) {
    auto* c = reinterpret_cast<Counts*>(instance);
    if (message == kWaveOutDoneNotice) c->done->fetch_add(1);
    if (message == kWaveOutCloseNotice) c->closed->fetch_add(1);
  };
  WaveOut* device = nullptr;
  ASSERT_EQ(WaveOutOpen(&device, 0, PcmFormat{}, callback, reinterpret_cast<uintptr_t>(&counts)), kMmNoError);
  std::vector<int16_t> data(2000);
  WaveHeader header;
  header.data = reinterpret_cast<char*>(data.data());
  header.length = 4000;
  WaveOutPrepareHeader(device, &header);
  WaveOutWrite(device, &header);
  AudioShutdown();
  EXPECT_EQ(done.load(), 1);
  EXPECT_EQ(closed.load(), 1);
  EXPECT_TRUE(WaveHeaderFlags(&header) & kWaveHeaderDone);
  EXPECT_EQ(WaveOutWrite(device, &header), kMmInvalidHandle);  // the engine starts again, without it
}

}  // namespace
