// libdar3.so as another program sees it: the export table, and the flat functions' contracts.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>

#include "dar3/dar3.h"

namespace {

const char* const kExports[] = {"CreateRUVe3",
                                "Mp3_Initialize",
                                "Mp3_Destroy",
                                "Mp3_GetError",
                                "Mp3_GetVersion",
                                "Mp3_OpenFile",
                                "Mp3_OpenFileW",
                                "Mp3_OpenResource",
                                "Mp3_OpenStream",
                                "Mp3_PushDataToStream",
                                "Mp3_IsStreamDataFree",
                                "Mp3_GetStreamLoad",
                                "Mp3_Close",
                                "Mp3_Play",
                                "Mp3_PlayLoop",
                                "Mp3_Seek",
                                "Mp3_ReverseMode",
                                "Mp3_Stop",
                                "Mp3_Pause",
                                "Mp3_Resume",
                                "Mp3_GetPosition",
                                "Mp3_InternalVolume",
                                "Mp3_SetVolume",
                                "Mp3_SetMasterVolume",
                                "Mp3_SetPlayerVolume",
                                "Mp3_GetVolume",
                                "Mp3_GetMasterVolume",
                                "Mp3_GetPlayerVolume",
                                "Mp3_GetMp3Info",
                                "Mp3_GetSongLength",
                                "Mp3_GetBitrate",
                                "Mp3_GetStatus",
                                "Mp3_MixChannels",
                                "Mp3_GetVUData",
                                "Mp3_VocalCut",
                                "Mp3_FadeVolume",
                                "Mp3_FadeVolumeEx",
                                "Mp3_EnableEQ",
                                "Mp3_CreateEqBands",
                                "Mp3_GetEqBands",
                                "Mp3_SetEQParam",
                                "Mp3_SetEQParamEx",
                                "Mp3_GetEQParam",
                                "Mp3_GetEQParamEx",
                                "Mp3_LoadID3",
                                "Mp3_GetID3Field",
                                "Mp3_SetSfxParam",
                                "Mp3_GetSfxParam",
                                "Mp3_SetSfxModeData",
                                "Mp3_GetSfxModeData",
                                "Mp3_SetCallbackFunc",
                                "Mp3_GetFFTValues",
                                "Mp3_EnumerateWaveOut",
                                "Mp3_GetWaveOutInfo",
                                "Mp3_SetWaveOutDevice"};

class Library : public ::testing::Test {
 protected:
  void SetUp() override {
    handle_ = dlopen(DAR3_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << dlerror();
  }
  void TearDown() override {
    if (handle_) dlclose(handle_);
  }
  template <typename F>
  F Get(const char* name) {
    return reinterpret_cast<F>(dlsym(handle_, name));
  }
  void* handle_ = nullptr;
};

TEST_F(Library, ExportsAllFiftyFiveNames) {
  static_assert(sizeof kExports / sizeof kExports[0] == 55);
  for (const char* name : kExports) EXPECT_NE(dlsym(handle_, name), nullptr) << name;
  EXPECT_EQ(dlsym(handle_, "_ZN4DAr34PlayEv"), nullptr) << "the class stays inside";
}

TEST_F(Library, FlatFunctionsForwardAndRefuseNullHandles) {
  auto create = Get<MP3_HANDLE (*)()>("Mp3_Initialize");
  auto destroy = Get<int (*)(MP3_HANDLE)>("Mp3_Destroy");
  auto version = Get<int (*)(MP3_HANDLE)>("Mp3_GetVersion");
  auto play = Get<int (*)(MP3_HANDLE)>("Mp3_Play");
  auto get_error = Get<int (*)(MP3_HANDLE, char*, int)>("Mp3_GetError");
  auto status = Get<int (*)(MP3_HANDLE, MP3_STATUS*)>("Mp3_GetStatus");
  auto seek = Get<int (*)(MP3_HANDLE, int, MP3_TIME*, int)>("Mp3_Seek");
  auto id3 = Get<int (*)(MP3_HANDLE, int, int, char*, int)>("Mp3_GetID3Field");
  auto fft = Get<int (*)(MP3_HANDLE, int, int, int, int*, int*, int*, int*, int*, int*)>("Mp3_GetFFTValues");
  ASSERT_TRUE(create && destroy && version && play && get_error && status && seek && id3 && fft);

  EXPECT_EQ(play(nullptr), 0);
  EXPECT_EQ(version(nullptr), 0);
  EXPECT_EQ(destroy(nullptr), 0);
  EXPECT_EQ(get_error(nullptr, nullptr, 0), 0);
  EXPECT_EQ(id3(nullptr, 1, 1, nullptr, 0), 0);
  EXPECT_EQ(fft(nullptr, 512, 1, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);

  MP3_HANDLE player = create();
  ASSERT_NE(player, nullptr);
  EXPECT_EQ(version(player), 250);
  MP3_STATUS s;
  std::memset(&s, 0xFF, sizeof s);
  ASSERT_EQ(status(player, &s), 1);
  EXPECT_EQ(s.stopped, 1);
  EXPECT_EQ(s.playing + s.paused + s.echo + s.fft_eq + s.subband_eq + s.vocal_cut + s.channel_mix + s.fade_in +
                s.fade_out + s.internal_volume + s.loop + s.reverse,
            0);

  EXPECT_EQ(play(player), 0);
  const char* text = "Play->Stream isn't open !";
  EXPECT_EQ(get_error(player, nullptr, 0), int(std::strlen(text)) + 1);
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(get_error(player, small, 4), 3);
  EXPECT_STREQ(small, "Pla");
  char whole[64];
  EXPECT_EQ(get_error(player, whole, sizeof whole), int(std::strlen(text)));
  EXPECT_STREQ(whole, text);

  // Seek forwards to the player and reports through the same error text.
  MP3_TIME t{};
  EXPECT_EQ(seek(player, TIME_FORMAT_MS, &t, MOVE_FROM_START), 0);
  get_error(player, whole, sizeof whole);
  EXPECT_STREQ(whole, "Seek->Stream isn't open !");
  EXPECT_EQ(destroy(player), 1);

  auto create2 = Get<MP3_HANDLE (*)()>("CreateRUVe3");
  MP3_HANDLE other = create2();
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(version(other), 250);
  destroy(other);
}

}  // namespace
