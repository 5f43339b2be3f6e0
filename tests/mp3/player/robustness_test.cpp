// Hostile input and hostile timing: malformed and truncated streams open or fail cleanly and
// play to their end; control calls in random order with random delays never hang.
#include <dirent.h>
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include "platform/audio.h"
#include "tests/mp3/player/mp3_test_support.h"

namespace {

std::vector<std::string> MalformedVectors() {
  std::vector<std::string> names;
  if (DIR* dir = opendir(MP3_TEST_DATA)) {
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.size() > 4 && name.substr(name.size() - 4) == ".bit" &&
          (name.find("nonstandard") != std::string::npos || name.rfind("ILL", 0) == 0 || name == "l3-si_huff.bit" ||
           name == "l3-he_mode.bit" || name == "l3-test45.bit" || name == "l3-test46.bit"))
        names.push_back(name);
    }
    closedir(dir);
  }
  return names;
}

TEST(Robustness, MalformedVectorsOpenOrFailCleanly) {
  const std::vector<std::string> names = MalformedVectors();
  ASSERT_GE(names.size(), 40u);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    Decoded d = DecodeAll(TestData(name));
    if (!d.opened) {
      EXPECT_TRUE(d.error == "_OpenMp3->Invalid stream!" || d.error == "_OpenMp3->Can't find first valid mp3 frame")
          << d.error;
      continue;
    }
    EXPECT_EQ(d.stereo.size() % 2, 0u);
    EXPECT_GT(d.info.sample_rate, 0);
  }
}

TEST(Robustness, TruncatedAndCorruptedFilesNeverReadOutside) {
  const std::string path = EncodeWithLame("cut.mp3", TonePcm(44100, 0.5), 44100, "-V 4");
  ASSERT_FALSE(path.empty());
  const Bytes whole = ReadFile(path);
  std::mt19937 random(7);
  for (size_t length = 0; length < std::min<size_t>(whole.size(), 2600); length += 37) {
    // Exactly the bytes of the file: the mapping ends where the data ends.
    Decoded d = DecodeAll(WriteTemp("cut_part.mp3", Bytes(whole.begin(), whole.begin() + long(length))));
    if (d.opened) {
      EXPECT_LE(d.stereo.size(), size_t(length / 100 + 2) * 1152 * 2);
    }
  }
  for (int round = 0; round < 60; ++round) {
    Bytes bad = whole;
    for (int flips = 0; flips < 8; ++flips) bad[random() % std::min<size_t>(bad.size(), 700)] = uint8_t(random());
    DecodeAll(WriteTemp("cut_bad.mp3", bad));
  }
}

// Answers every synchronous message with "go on".
int32_t AnswerEverything(uint32_t, intptr_t, intptr_t) { return 0; }

void Soak(bool with_callback, int cycles) {
  platform::AudioConsumeInRealTime(true);
  const std::string path = EncodeWithLame("soak.mp3", TonePcm(44100, 2.0), 44100, "-b 96");
  ASSERT_FALSE(path.empty());
  std::mt19937 random(with_callback ? 11 : 5);
  auto nap = [&] { std::this_thread::sleep_for(std::chrono::microseconds(random() % 3000)); };
  Player p;
  if (with_callback) {
    ASSERT_EQ(p->SetCallbackFunc(&AnswerEverything, 0xFFFFFFFFu & ~MP3_EVENT_WAVE_BUFFER), 1);
  }
  for (int i = 0; i < cycles; ++i) {
    ASSERT_EQ(p->OpenFile(path.c_str(), 200 + (i % 4) * 300, 0, 0), 1) << p->GetError();
    ASSERT_EQ(p->Play(), 1) << p->GetError();
    nap();
    if (random() % 2) {
      p->Pause();
      nap();
      p->Resume();
      nap();
    }
    if (random() % 3 == 0) p->Play();
    p->Stop();
    if (random() % 4 == 0) p->Close();
  }
  p->Close();
  platform::AudioConsumeInRealTime(false);
}

TEST(Robustness, ControlSoakWithoutCallback) { Soak(false, 200); }
TEST(Robustness, ControlSoakWithSynchronousCallback) { Soak(true, 200); }

TEST(Robustness, DestroyingAPlayingPlayerStopsIt) {
  platform::AudioConsumeInRealTime(true);
  const std::string path = EncodeWithLame("destroy.mp3", TonePcm(44100, 1.0), 44100, "-b 96");
  for (int i = 0; i < 20; ++i) {
    RUVe3* p = CreateRUVe3();
    p->SetCallbackFunc(&AnswerEverything, 0xFFFFFFFFu & ~MP3_EVENT_WAVE_BUFFER);
    ASSERT_EQ(p->OpenFile(path.c_str(), 400, 0, 0), 1);
    ASSERT_EQ(p->Play(), 1);
    p->Release();
  }
  platform::AudioConsumeInRealTime(false);
}

}  // namespace
