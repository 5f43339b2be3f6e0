// The SDL backend's device list and a wave-out on a chosen device: SDL's own names, bad ids
// refused, and a stream played on SDL's disk driver at its own rate, sample for sample. The
// backend is chosen once per process, so each check runs in a child of this test program.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio.h"
#include "platform/audio/sdl/sdl_audio_library.h"
#include "tests/platform/audio/sdl_child.h"
#include "tests/support/audio_measure.h"

namespace {

using namespace platform;

const bool kHeadless = audio_test::ChooseTestBackend();

int RunChild(const std::string& test, const std::vector<std::string>& extra) {
  return audio_test::RunSdlChild("SdlDevices." + test, extra);
}

// SDL's output device names, asked of SDL itself.
std::vector<std::string> SdlNames() {
  const audio::SdlAudioLibrary* sdl = audio::LoadSdlAudio();
  std::vector<std::string> names;
  if (!sdl || sdl->InitSubSystem(SDL_INIT_AUDIO) != 0) return names;
  for (int i = 0; i < sdl->GetNumAudioDevices(0); ++i) names.emplace_back(sdl->GetAudioDeviceName(i, 0));
  sdl->QuitSubSystem(SDL_INIT_AUDIO);
  return names;
}

TEST(SdlDevices, ListChild) {
  if (!audio_test::IsSdlChild()) GTEST_SKIP() << "runs inside SdlDevices.ListedByName";
  const std::vector<std::string> names = SdlNames();
  if (!audio::LoadSdlAudio()) {
    // Without SDL the list is the engine's one device, as under the headless backend.
    WaveOutCaps caps;
    EXPECT_EQ(WaveOutGetNumDevs(), 1u);
    EXPECT_EQ(WaveOutGetDevCaps(0, &caps), kMmNoError);
    EXPECT_STREQ(caps.name, "Jed Grimstorm audio output");
    EXPECT_EQ(WaveOutGetDevCaps(1, &caps), kMmBadDeviceId);
    return;
  }
  ASSERT_FALSE(names.empty());
  ASSERT_EQ(WaveOutGetNumDevs(), names.size());
  for (uint32_t id = 0; id < names.size(); ++id) {
    WaveOutCaps caps;
    ASSERT_EQ(WaveOutGetDevCaps(id, &caps), kMmNoError);
    EXPECT_EQ(std::string(caps.name), names[id].substr(0, sizeof caps.name - 1));
    EXPECT_EQ(caps.channels, 2);
  }
  WaveOutCaps caps;
  EXPECT_EQ(WaveOutGetDevCaps(kWaveMapper, &caps), kMmNoError);
  const uint32_t past = static_cast<uint32_t>(names.size());
  EXPECT_EQ(WaveOutGetDevCaps(past, &caps), kMmBadDeviceId);
  WaveOut* device = nullptr;
  EXPECT_EQ(WaveOutOpen(&device, past, PcmFormat{}, nullptr, 0), kMmBadDeviceId);
  EXPECT_EQ(device, nullptr);
}

TEST(SdlDevices, ListedByName) {
  if (audio_test::IsSdlChild()) GTEST_SKIP();
  EXPECT_EQ(RunChild("ListChild", {"SDL_AUDIODRIVER=dummy"}), 0);
}

int done_notices = 0;
void CountDone(WaveOut*, uint32_t message, uintptr_t, uintptr_t, uintptr_t) {
  if (message == kWaveOutDoneNotice) ++done_notices;
}

TEST(SdlDevices, DiskChild) {
  if (!audio_test::IsSdlChild()) GTEST_SKIP() << "runs inside SdlDevices.ChosenDevicePlaysAtTheStreamRate";
  if (!audio::LoadSdlAudio()) GTEST_SKIP() << "libSDL2 cannot be loaded here";
  ASSERT_EQ(WaveOutGetNumDevs(), 1u);
  // 22050 Hz, far from the mixed output's 44100: a resampled copy could not match exactly.
  const PcmFormat format{22050, 2, 16};
  WaveOut* device = nullptr;
  ASSERT_EQ(WaveOutOpen(&device, 0, format, &CountDone, 0), kMmNoError);
  std::vector<int16_t> samples(format.rate / 5 * 2);  // 200 ms of a stepped ramp
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>((i * 37) % 20000 - 10000);
  WaveHeader header;
  header.data = reinterpret_cast<char*>(samples.data());
  header.length = static_cast<uint32_t>(samples.size() * sizeof(int16_t));
  ASSERT_EQ(WaveOutPrepareHeader(device, &header), kMmNoError);
  ASSERT_EQ(WaveOutWrite(device, &header), kMmNoError);
  const auto start = std::chrono::steady_clock::now();
  while (!(WaveHeaderFlags(&header) & kWaveHeaderDone) &&
         std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_TRUE(WaveHeaderFlags(&header) & kWaveHeaderDone);
  uint64_t played = 0;
  EXPECT_EQ(WaveOutGetPositionSamples(device, &played), kMmNoError);
  EXPECT_EQ(played, samples.size() / 2);
  EXPECT_EQ(WaveOutClose(device), kMmNoError);
  EXPECT_EQ(done_notices, 1);
  AudioShutdown();

  std::ifstream file(std::getenv("SDL_DISKAUDIOFILE"), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const std::string wanted(header.data, header.length);
  EXPECT_NE(bytes.find(wanted), std::string::npos) << "the device did not get the stream's samples unchanged";
}

TEST(SdlDevices, ChosenDevicePlaysAtTheStreamRate) {
  if (audio_test::IsSdlChild()) GTEST_SKIP();
  const std::string file = "sdl_devices_disk_" + std::to_string(getpid()) + ".raw";
  std::remove(file.c_str());
  EXPECT_EQ(RunChild("DiskChild", {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + file}), 0);
  std::remove(file.c_str());
}

}  // namespace
