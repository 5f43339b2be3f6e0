// What a run leaves for the next one, and what PlayLoop reports: a fade-out that reached the
// song's end does not silence the next Play, and PlayLoop returns once its run has started.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/mp3/player/mp3_test_support.h"

namespace {

double Rms(const std::vector<int16_t>& samples, size_t from, size_t count) {
  double sum = 0;
  for (size_t i = from; i < from + count && i < samples.size(); ++i) sum += double(samples[i]) * samples[i];
  return std::sqrt(sum / double(count));
}

std::vector<int16_t> PlayOnce(RUVe3& p) {
  CallbackLog::Reset();
  p.SetCallbackFunc(&CallbackLog::Callback, MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP);
  EXPECT_EQ(p.Play(), 1) << p.GetError();
  EXPECT_TRUE(CallbackLog::WaitFor(MP3_EVENT_STOP, 20000));
  return CallbackLog::Samples();
}

TEST(RunEnd, AFadeOutThatReachedTheSongsEndLeavesTheNextPlayAtFullVolume) {
  const std::string path = EncodeWithLame("fade_to_end.mp3", TonePcm(44100, 1.0), 44100, "-b 128");
  ASSERT_FALSE(path.empty());
  Player p;
  ASSERT_EQ(p->OpenFile(path.c_str(), 0, 0, 0), 1);
  MP3_TIME whole{};
  ASSERT_EQ(p->GetSongLength(&whole), 1);
  ASSERT_EQ(p->FadeVolume(FADE_OUT, TIME_FORMAT_MS, &whole), 1) << p->GetError();
  const std::vector<int16_t> faded = PlayOnce(p);
  ASSERT_GT(faded.size(), 20000u);
  const size_t window = 4096;
  EXPECT_LT(Rms(faded, faded.size() - window, window), Rms(faded, 8192, window) / 4) << "the fade ran";

  const std::vector<int16_t> next = PlayOnce(p);
  ASSERT_EQ(next.size(), faded.size());
  const Decoded plain = DecodeAll(path);
  ASSERT_EQ(plain.stereo.size(), next.size());
  EXPECT_NEAR(Rms(next, next.size() - window, window), Rms(plain.stereo, plain.stereo.size() - window, window), 1.0)
      << "the next run plays at full volume to its end";
  MP3_STATUS status{};
  p->GetStatus(&status);
  EXPECT_EQ(status.fade_out, 0);
}

TEST(RunEnd, PlayLoopReturnsOnceItsRunHasStarted) {
  const std::string path = EncodeWithLame("loop_start.mp3", TonePcm(44100, 1.0), 44100, "-b 128");
  ASSERT_FALSE(path.empty());
  Player p;
  ASSERT_EQ(p->OpenFile(path.c_str(), 0, 0, 0), 1);
  CallbackLog::Reset();
  ASSERT_EQ(p->SetCallbackFunc(&CallbackLog::Callback, MP3_EVENT_SYNC_PLAY | MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP),
            1);
  MP3_TIME from{}, to{};
  from.ms = 100;
  to.ms = 300;
  ASSERT_EQ(p->PlayLoop(TIME_FORMAT_MS, &from, TIME_FORMAT_MS, &to, 1), 1) << p->GetError();
  // The start (and so its synchronous play message) is behind us, not still to come.
  const std::vector<uint32_t> seen = CallbackLog::Messages();
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), MP3_EVENT_SYNC_PLAY);
  EXPECT_TRUE(CallbackLog::WaitFor(MP3_EVENT_STOP, 20000));
  p->SetCallbackFunc(nullptr, 0);
}

}  // namespace
