// Playback through the headless engine and the callback channel: what is decoded is heard,
// down to the last partial buffer, and control and notices behave as documented.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

#include "platform/audio.h"
#include "tests/mp3/player/device_ring.h"
#include "tests/mp3/player/mp3_test_support.h"

namespace {

std::string LameFile(const std::string& name, double seconds, const std::string& options = "-b 128") {
  static std::map<std::string, std::string> made;
  if (!made.count(name)) made[name] = EncodeWithLame(name, TonePcm(44100, seconds), 44100, options);
  return made[name];
}

MP3_STATUS Status(RUVe3& p) {
  MP3_STATUS s{};
  p.GetStatus(&s);
  return s;
}

// Pulls the headless mix until the player reports its stop, at the pace the decoding thread
// refills the ring, so that the device never runs dry in the middle of the song (`expected`
// frames of it).
std::vector<int16_t> PullUntilStop(DAr3& p, size_t expected, size_t max_frames) {
  std::vector<int16_t> out;
  std::vector<int16_t> chunk(512 * 2);
  const size_t buffer_frames = p.Format().frames_per_buffer * 1152;
  while (out.size() / 2 < max_frames) {
    const bool near_end = out.size() / 2 + 2 * buffer_frames >= expected;
    for (int waited = 0; waited < 1000 && QueuedBuffers(p) < (near_end ? 1u : 2u); ++waited) {
      if (CallbackLog::WaitFor(MP3_EVENT_STOP, 0)) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    platform::AudioPull(chunk.data(), 512);
    out.insert(out.end(), chunk.begin(), chunk.end());
    if (CallbackLog::WaitFor(MP3_EVENT_STOP, 0)) break;
  }
  return out;
}

TEST(Playback, EverythingDecodedIsHeardAndTheRunEndsStopped) {
  // 2.3 s: the last buffer of the ring is only partly filled.
  const std::string path = LameFile("heard.mp3", 2.3);
  ASSERT_FALSE(path.empty());
  const Decoded reference = DecodeAll(path);
  ASSERT_TRUE(reference.opened);

  CallbackLog::Reset();
  DAr3 p;
  ASSERT_EQ(p.SetCallbackFunc(&CallbackLog::Callback, MP3_EVENT_STOP | MP3_EVENT_PLAY), 1);
  ASSERT_EQ(p.OpenFile(path.c_str(), 800, 0, 0), 1) << p.GetError();
  EXPECT_EQ(Status(p).stopped, 1);
  ASSERT_EQ(p.Play(), 1) << p.GetError();
  EXPECT_EQ(Status(p).playing, 1);
  EXPECT_EQ(p.Play(), 0) << "already playing";
  WaitQueued(p, p.WaveOut().GetBufferCount());
  const std::vector<int16_t> heard = PullUntilStop(p, reference.stereo.size() / 2, 44100 * 5);
  ASSERT_TRUE(CallbackLog::WaitFor(MP3_EVENT_STOP, 2000));
  EXPECT_EQ(Status(p).stopped, 1);

  // The device output is the decoded stream, sample for sample, and nothing is missing.
  ASSERT_GE(heard.size(), reference.stereo.size());
  size_t mismatches = 0;
  for (size_t i = 0; i < reference.stereo.size(); ++i) mismatches += std::abs(heard[i] - reference.stereo[i]) > 1;
  EXPECT_EQ(mismatches, 0u);
  const size_t spf_bytes = 1152 * 4;
  EXPECT_NE(reference.stereo.size() * 2 % (spf_bytes * p.Format().frames_per_buffer), 0u)
      << "the test needs a partly filled last buffer";
  for (size_t i = reference.stereo.size(); i < heard.size(); ++i) ASSERT_EQ(heard[i], 0) << "silence after the end";
  const std::vector<uint32_t> messages = CallbackLog::Messages();
  ASSERT_GE(messages.size(), 2u);
  EXPECT_EQ(messages.front(), MP3_EVENT_PLAY);
  EXPECT_EQ(messages.back(), MP3_EVENT_STOP);

  // A new run starts from the beginning.
  CallbackLog::Reset();
  ASSERT_EQ(p.Play(), 1);
  WaitQueued(p, p.WaveOut().GetBufferCount());
  EXPECT_GT(PullUntilStop(p, reference.stereo.size() / 2, 44100 * 5).size(), reference.stereo.size());
}

TEST(Playback, PauseResumeStopAndStatus) {
  const std::string path = LameFile("control.mp3", 3.0);
  DAr3 p;
  CallbackLog::Reset();
  p.SetCallbackFunc(&CallbackLog::Callback, MP3_EVENT_STOP);
  ASSERT_EQ(p.OpenFile(path.c_str(), 800, 0, 0), 1);
  EXPECT_EQ(p.Stop(), 0) << "nothing plays";
  EXPECT_STREQ(p.GetError(), "Stop->Stream isn't playing !") << "a failure names its own cause";
  ASSERT_EQ(p.Play(), 1);
  std::vector<int16_t> chunk(4096 * 2);
  WaitQueued(p, 3);
  platform::AudioPull(chunk.data(), 4096);
  ASSERT_EQ(p.Pause(), 1);
  MP3_STATUS s = Status(p);
  EXPECT_EQ(s.paused, 1);
  EXPECT_EQ(s.playing, 0);
  EXPECT_EQ(s.stopped, 0);
  const uint32_t position = p.WaveOut().GetOutputPosition(0);
  platform::AudioPull(chunk.data(), 4096);
  EXPECT_EQ(p.WaveOut().GetOutputPosition(0), position) << "a paused device holds its place";
  ASSERT_EQ(p.Play(), 1) << "Play while paused resumes";
  EXPECT_EQ(Status(p).playing, 1);
  platform::AudioPull(chunk.data(), 4096);
  EXPECT_GT(p.WaveOut().GetOutputPosition(0), position);
  EXPECT_GT(p.GetBitrate(0), 0);
  EXPECT_EQ(p.GetBitrate(1), 128);
  ASSERT_EQ(p.Stop(), 1);
  EXPECT_EQ(Status(p).stopped, 1);
  EXPECT_TRUE(CallbackLog::WaitFor(MP3_EVENT_STOP, 1000));
  EXPECT_EQ(p.GetBitrate(1), 0);
  EXPECT_EQ(p.Close(), 1);
  EXPECT_EQ(p.GetBitrate(0), 0);
  EXPECT_EQ(p.Pause(), 0);
  EXPECT_STREQ(p.GetError(), "Pause->Stream isn't open !");
  EXPECT_EQ(p.Resume(), 0);
  EXPECT_STREQ(p.GetError(), "Resume->Stream isn't open !");
  EXPECT_EQ(p.GetStatus(nullptr), 0);
  EXPECT_STREQ(p.GetError(), "GetStatus->MP3_STATUS *pStatus - this parameter can't be NULL");
}

TEST(Callbacks, SynchronousFormGoesFirstAndItsAnswerSteers) {
  const std::string path = LameFile("notify.mp3", 1.0);
  Player p;
  // Both forms of the stop message: synchronous first.
  CallbackLog::Reset();
  ASSERT_EQ(p->SetCallbackFunc(&CallbackLog::Callback, MP3_EVENT_WAVE_BUFFER | 0x10001), 1);
  ASSERT_EQ(p->OpenFile(path.c_str(), 0, 0, 0), 1);
  ASSERT_EQ(p->Play(), 1);
  ASSERT_TRUE(CallbackLog::WaitFor(MP3_EVENT_STOP, 5000));
  std::vector<uint32_t> m = CallbackLog::Messages();
  ASSERT_GE(m.size(), 2u);
  EXPECT_EQ(m[m.size() - 2], MP3_EVENT_SYNC_STOP);
  EXPECT_EQ(m.back(), MP3_EVENT_STOP);

  // Answering 1 to the synchronous play message vetoes the run; the stop message follows.
  CallbackLog::Reset(1);
  p->SetCallbackFunc(&CallbackLog::Callback, MP3_EVENT_SYNC_PLAY | MP3_EVENT_STOP | MP3_EVENT_WAVE_BUFFER);
  EXPECT_EQ(p->Play(), 1);
  ASSERT_TRUE(CallbackLog::WaitFor(MP3_EVENT_STOP, 5000));
  EXPECT_EQ(Status(p).stopped, 1);
  EXPECT_TRUE(CallbackLog::Samples().empty());

  // A wave-buffer answer of 2 stops after the first block.
  CallbackLog::Reset(0, 2);
  ASSERT_EQ(p->Play(), 1);
  ASSERT_TRUE(CallbackLog::WaitFor(MP3_EVENT_STOP, 5000));
  EXPECT_EQ(CallbackLog::Samples().size(), size_t(FramesPerBlock(p)) * 1152 * 2);

  // Answer 0 asks for the device, which the no-output mode has not got: the blocks are dropped.
  CallbackLog::Reset(0, 0);
  ASSERT_EQ(p->Play(), 1);
  ASSERT_TRUE(CallbackLog::WaitFor(MP3_EVENT_STOP, 5000));

  // Without a callback nothing arrives any more.
  ASSERT_EQ(p->SetCallbackFunc(nullptr, 0xFFFFFFFF), 1);
  CallbackLog::Reset();
  ASSERT_EQ(p->Play(), 1);
  while (Status(p).playing) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_TRUE(CallbackLog::Messages().empty());
}

TEST(Devices, ListInfoAndSelection) {
  Player p;
  WAVE_OUT_INFO info{};
  EXPECT_EQ(p->GetWaveOutInfo(0, nullptr), 0);
  EXPECT_STREQ(p->GetError(), "GetWaveOutInfo->Invalid second parameter. pWaveOutInfo can't be 0 !");
  const int count = p->EnumerateWaveOut();
  ASSERT_GE(count, 1);
  ASSERT_EQ(p->GetWaveOutInfo(0, &info), 1);
  EXPECT_GT(std::strlen(info.product_name), 0u);
  EXPECT_EQ(info.product_name[31], 0);
  EXPECT_EQ(p->GetWaveOutInfo(unsigned(count), &info), 0);
  EXPECT_STREQ(p->GetError(), "GetWaveOutInfo->Invalid first parameter. nIndex is out of bounds !");
  EXPECT_EQ(p->SetWaveOutDevice(0xFFFFFFFFu), 1);
  EXPECT_EQ(p->SetWaveOutDevice(unsigned(count)), 0);
  EXPECT_STREQ(p->GetError(), "SetWaveOutDevice->Invalid first parameter. nIndex is out of bounds !");
  EXPECT_EQ(p->SetWaveOutDevice(0), 1);
  // The chosen device plays.
  ASSERT_EQ(p->OpenFile(LameFile("device.mp3", 1.0).c_str(), 800, 0, 0), 1);
  ASSERT_EQ(p->Play(), 1) << p->GetError();
  EXPECT_EQ(p->Stop(), 1);
}

}  // namespace

namespace {

std::atomic<int> inside_callback{0};
std::atomic<int> overlaps{0};
std::mutex order_lock;
std::vector<uint32_t> order;

int32_t OverlapDetector(uint32_t message, intptr_t, intptr_t) {
  if (inside_callback.fetch_add(1) != 0) ++overlaps;
  {
    std::lock_guard<std::mutex> guard(order_lock);
    order.push_back(message);
  }
  std::this_thread::sleep_for(std::chrono::microseconds(message == MP3_EVENT_PLAY ? 3000 : 50));
  inside_callback.fetch_sub(1);
  return message == MP3_EVENT_WAVE_BUFFER ? 1 : 0;
}

TEST(Callbacks, CallsNeverOverlapAndKeepTheirOrder) {
  const std::string path = EncodeWithLame("order.mp3", TonePcm(44100, 1.0), 44100, "-b 128");
  Player p;
  ASSERT_EQ(p->SetCallbackFunc(&OverlapDetector, MP3_EVENT_PLAY | MP3_EVENT_WAVE_BUFFER | 0x10001), 1);
  ASSERT_EQ(p->OpenFile(path.c_str(), 0, 0, 0), 1);
  for (int run = 0; run < 3; ++run) {
    {
      std::lock_guard<std::mutex> guard(order_lock);
      order.clear();
    }
    ASSERT_EQ(p->Play(), 1);
    for (int waited = 0; waited < 5000; ++waited) {
      {
        std::lock_guard<std::mutex> guard(order_lock);
        if (!order.empty() && order.back() == MP3_EVENT_STOP) break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::lock_guard<std::mutex> guard(order_lock);
    ASSERT_GE(order.size(), 4u);
    EXPECT_EQ(order.front(), MP3_EVENT_PLAY) << "posted first, delivered first";
    EXPECT_EQ(order[1], MP3_EVENT_WAVE_BUFFER);
    EXPECT_EQ(order[order.size() - 2], MP3_EVENT_SYNC_STOP);
    EXPECT_EQ(order.back(), MP3_EVENT_STOP);
  }
  EXPECT_EQ(overlaps.load(), 0);
}

}  // namespace
