// The SDL backend without a sound card: the engine falls back to the silent real-time device,
// so written audio is consumed on schedule and nobody waiting on it hangs. The backend is
// chosen once per process, so the check runs in a child process of this test program.
#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio.h"
#include "tests/platform/audio/audio_measure.h"

extern char** environ;

namespace {

using namespace platform;

const bool kHeadless = audio_test::ChooseTestBackend();

// Runs this program's SdlChild test in a child with the given audio driver setting.
int RunChild(const char* driver) {
  std::vector<std::string> env_strings = {"JED_AUDIO_TEST_SDL=1", "JED_HEADLESS=0"};
  if (driver) env_strings.push_back(std::string("SDL_AUDIODRIVER=") + driver);
  for (char** e = environ; *e; ++e) {
    std::string entry = *e;
    if (entry.rfind("SDL_AUDIODRIVER=", 0) && entry.rfind("JED_HEADLESS=", 0) && entry.rfind("JED_AUDIO_TEST_SDL=", 0))
      env_strings.push_back(entry);
  }
  std::vector<char*> envp;
  for (auto& s : env_strings) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::string self = "/proc/self/exe", filter = "--gtest_filter=SdlFallback.Child";
  char* argv[] = {self.data(), filter.data(), nullptr};
  pid_t pid;
  if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv, envp.data()) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
  while (!(WaveHeaderFlags(&header) & kWaveHeaderDone) && std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
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
