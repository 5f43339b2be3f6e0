// The SDL backend without a sound card: the engine falls back to the silent real-time device,
// so written audio is consumed on schedule and nobody waiting on it hangs. The backend is
// chosen once per process, so the check runs in a child process of this test program.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio.h"
#include "tests/platform/audio/sdl_child.h"
#include "tests/support/audio_measure.h"

namespace {

using namespace platform;

const bool kHeadless = audio_test::ChooseTestBackend();

// Runs this program's SdlFallback.Child test in a child with the given audio driver setting.
int RunChild(const char* driver) {
  std::vector<std::string> extra;
  if (driver) extra.push_back(std::string("SDL_AUDIODRIVER=") + driver);
  return audio_test::RunSdlChild("SdlFallback.Child", extra);
}

// Whether libSDL2 is mapped into this process.
bool SdlMapped() {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line))
    if (line.find("libSDL2") != std::string::npos) return true;
  return false;
}

TEST(SdlFallback, Child) {
  if (!audio_test::IsSdlChild()) GTEST_SKIP() << "runs inside SdlFallback.WithoutACard";
  ASSERT_EQ(CurrentBackend(), Backend::Sdl);
  EXPECT_STREQ(AudioOutputName(), "stopped");  // nothing starts before it is needed
  WaveOut* device = nullptr;
  ASSERT_EQ(WaveOutOpen(&device, kWaveMapper, PcmFormat{}, nullptr, 0), kMmNoError);
  EXPECT_STREQ(AudioOutputName(), "silent");
  // A driver that is no card is known from the environment: SDL is never loaded for it.
  const char* driver = std::getenv("SDL_AUDIODRIVER");
  if (driver && std::string(driver) == "dummy") EXPECT_FALSE(SdlMapped());
  std::vector<int16_t> data(4410 * 2, 1000);  // 100 ms
  WaveHeader header;
  header.data = reinterpret_cast<char*>(data.data());
  header.length = static_cast<uint32_t>(data.size() * 2);
  WaveOutPrepareHeader(device, &header);
  const auto start = std::chrono::steady_clock::now();
  WaveOutWrite(device, &header);
  while (!(WaveHeaderFlags(&header) & kWaveHeaderDone) &&
         std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(WaveHeaderFlags(&header) & kWaveHeaderDone);
  EXPECT_GE(took, std::chrono::milliseconds(85));
  EXPECT_LE(took, std::chrono::milliseconds(1500));
  int16_t scratch[4];
  EXPECT_EQ(AudioPull(scratch, 2), 0u);  // only the headless backend hands out its mix
  EXPECT_EQ(WaveOutClose(device), kMmNoError);
  AudioShutdown();
}

TEST(SdlFallback, WithoutACard) {
  if (audio_test::IsSdlChild()) GTEST_SKIP();
  EXPECT_EQ(RunChild("dummy"), 0);
  // No driver named: SDL looks for a real card and, with none there, the engine goes silent.
  if (access("/dev/snd", F_OK) != 0) {
    EXPECT_EQ(RunChild(nullptr), 0);
  }
}

}  // namespace
