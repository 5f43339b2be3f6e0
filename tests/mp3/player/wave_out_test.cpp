// WWaveOut over the headless engine: buffer sizing, refusals, done notices and positions.
#include "mp3/output/wave_out.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "dar3/dar3.h"
#include "mp3/output/buffer_plan.h"
#include "platform/audio.h"

namespace {

std::atomic<int> done_notices{0};
std::atomic<int> close_notices{0};
void CountNotices(uint32_t message, uintptr_t, platform::WaveHeader*) {
  if (message == WOM_DONE) ++done_notices;
  if (message == WOM_CLOSE) ++close_notices;
}

// The ring an open makes: blocks of whole frames near 100 ms, buffers 10 ms longer, as many as
// the buffer time holds; one without a device; a length no ring holds is refused by the ring.
TEST(BufferPlan, TheRingFollowsTheRequestedLength) {
  const BufferPlan plan = PlanBuffers(44100, 1152, 800);
  EXPECT_EQ(plan.frames_per_buffer, 4u);
  EXPECT_EQ(plan.buffer_count, 7u);
  EXPECT_EQ(plan.buffer_ms, 114u);
  WWaveOut out;
  ASSERT_EQ(out.Initialize(WAVE_FORMAT_PCM, 2, 44100, 16, plan.buffer_count, plan.buffer_ms), 1);
  EXPECT_EQ(out.GetBufferCount(), 7u);
  EXPECT_EQ(out.GetBufferDuration(), 114u);
  EXPECT_EQ(out.GetBufferSize(), 20109u);
  EXPECT_GE(out.GetBufferSize(), plan.frames_per_buffer * 1152 * 4) << "a block fits its buffer";
  out.Uninitialize();

  EXPECT_EQ(PlanBuffers(44100, 1152, 60000).buffer_count, 531u);  // 60000 ms in buffers of 104 + 9 ms
  EXPECT_EQ(PlanBuffers(44100, 1152, 0).buffer_count, 1u);
  EXPECT_EQ(PlanBuffers(8000, 576, 800).frames_per_buffer, 1u);
  const BufferPlan huge = PlanBuffers(44100, 1152, INT32_MAX);
  EXPECT_EQ(out.Initialize(WAVE_FORMAT_PCM, 2, 44100, 16, huge.buffer_count, huge.buffer_ms), 0);
  EXPECT_EQ(out.GetBufferCount(), 0u) << "a refused ring leaves none";
}

TEST(WaveOut, RingSizingAndRefusals) {
  WWaveOut out;
  EXPECT_EQ(out.PlayBuffer(0u), 0);
  EXPECT_EQ(out.ResetOutput(), 0);
  EXPECT_EQ(out.Close(), 0);
  ASSERT_EQ(out.Initialize(WAVE_FORMAT_PCM, 2, 44100, 16, 7, 114), 1);
  EXPECT_EQ(out.GetBufferSize(), 20109u);
  char* first = out.GetBufferData(0);
  EXPECT_EQ(out.Initialize(WAVE_FORMAT_PCM, 2, 22050, 16, 3, 200), 0);
  EXPECT_STREQ(out.GetError(), "WWaveOut::Initialize->Already initialized. Uninitialize first.");
  EXPECT_EQ(out.GetBufferData(0), first) << "the first buffers are kept";
  EXPECT_EQ(out.GetBufferCount(), 7u);
  EXPECT_EQ(out.PlayBuffer(0u), 0) << "device closed";
  EXPECT_EQ(out.GetBufferData(7), nullptr);
  EXPECT_EQ(out.Uninitialize(), 1);

  ASSERT_EQ(out.Initialize(WAVE_FORMAT_PCM, 2, 50, 16, 2, 200), 1);
  EXPECT_EQ(out.OpenAudioOutput(WAVE_MAPPER, nullptr, 0, 0), 0);
  EXPECT_STREQ(out.GetError(),
               "WWaveOut::OpenAudioOutput->Attempted to open with an unsupported waveform-audio format");
  out.Uninitialize();
  ASSERT_EQ(out.Initialize(2, 2, 44100, 16, 2, 200), 1);
  EXPECT_EQ(out.OpenAudioOutput(WAVE_MAPPER, nullptr, 0, 0), 0) << "only PCM";
  EXPECT_EQ(out.GetInfo(), 1);
  EXPECT_GE(out.GetDeviceCount(), 1u);
}

TEST(WaveOut, PlaysInOrderReportsDoneAndPosition) {
  WWaveOut out;
  ASSERT_EQ(out.Initialize(WAVE_FORMAT_PCM, 2, 44100, 16, 10, 100), 1);
  ASSERT_EQ(out.GetBufferSize(), 17640u);  // 4410 frames
  done_notices = 0;
  close_notices = 0;
  ASSERT_EQ(out.OpenAudioOutput(WAVE_MAPPER, &CountNotices, 0, 0x30000), 1) << out.GetError();
  for (uint32_t i = 0; i < 10; ++i) {
    int16_t* samples = reinterpret_cast<int16_t*>(out.GetBufferData(i));
    for (int k = 0; k < 4410 * 2; ++k) samples[k] = int16_t(1000 * (i + 1));
    out.SetBufferLength(i, 17640);
    ASSERT_EQ(out.PlayBuffer(i), 1);
    EXPECT_FALSE(out.IsBufferDone(i));
  }
  std::vector<int16_t> mixed(44100 * 2);
  ASSERT_EQ(platform::AudioPull(mixed.data(), 44100), 44100u);
  EXPECT_EQ(out.GetOutputPosition(0), 44100u);
  EXPECT_EQ(out.GetOutputPosition(1), 1000u);
  EXPECT_EQ(out.GetOutputPosition(2), 1u);
  EXPECT_EQ(out.GetOutputPosition(3), 44100u * 4);
  EXPECT_EQ(out.GetOutputPosition(9), 0u);
  EXPECT_EQ(done_notices.load(), 10);
  for (uint32_t i = 0; i < 10; ++i) EXPECT_TRUE(out.IsBufferDone(i));
  // Played in the order written: buffer i's level in its 100 ms.
  for (int i = 0; i < 10; ++i) EXPECT_NEAR(mixed[size_t(i * 4410 + 2000) * 2], 1000 * (i + 1), 2);

  // Pause holds everything; reset hands every queued buffer back at once.
  ASSERT_EQ(out.PauseOutput(), 1);
  for (uint32_t i = 0; i < 3; ++i) {
    out.UnprepareBuffer(i);
    ASSERT_EQ(out.PlayBuffer(i), 1);
  }
  platform::AudioPull(mixed.data(), 4410);
  EXPECT_FALSE(out.IsBufferDone(0));
  ASSERT_EQ(out.ResetOutput(), 1);
  EXPECT_EQ(done_notices.load(), 13);
  for (uint32_t i = 0; i < 3; ++i) EXPECT_TRUE(out.IsBufferDone(i));
  ASSERT_EQ(out.Close(), 1);
  EXPECT_EQ(close_notices.load(), 1);
  EXPECT_EQ(out.GetOutputPosition(0), 0u);
}

}  // namespace
