// The flat functions as another program sees them: the gapless switch, the stop reason, and
// error texts that belong to the call that failed.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "dar3/dar3.h"
#include "tests/mp3/player/mp3_test_support.h"

namespace {

class FlatErrors : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = dlopen(DAR3_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library_, nullptr) << dlerror();
    auto create = Get<MP3_HANDLE (*)()>("Mp3_Initialize");
    ASSERT_NE(create, nullptr);
    player_ = create();
    path_ = EncodeWithLame("flat_errors.mp3", TonePcm(44100, 2.0), 44100, "-b 128");
    ASSERT_FALSE(path_.empty());
  }
  void TearDown() override {
    if (player_) Get<int (*)(MP3_HANDLE)>("Mp3_Destroy")(player_);
    if (library_) dlclose(library_);
  }
  template <typename F>
  F Get(const char* name) {
    return reinterpret_cast<F>(dlsym(library_, name));
  }
  std::string Error() {
    char text[600] = {};
    Get<int (*)(MP3_HANDLE, char*, int)>("Mp3_GetError")(player_, text, sizeof text);
    return text;
  }
  // A failure whose text no later call should leave standing.
  void Stain() {
    Get<int (*)(MP3_HANDLE, int, MP3_TIME*, int)>("Mp3_Seek")(player_, TIME_FORMAT_MS, nullptr, 0);
    ASSERT_EQ(Error(), "Seek->MP3_TIME *pTime can't be 0 !");
  }

  void* library_ = nullptr;
  MP3_HANDLE player_ = nullptr;
  std::string path_;
};

}  // namespace

TEST_F(FlatErrors, TheNewFunctionsAreExportedAndRefuseANullPlayer) {
  auto set_gapless = Get<int (*)(MP3_HANDLE, int)>("Mp3_SetGapless");
  auto stop_reason = Get<int (*)(MP3_HANDLE, int*)>("Mp3_GetStopReason");
  ASSERT_TRUE(set_gapless && stop_reason);
  int reason = -1;
  EXPECT_EQ(set_gapless(nullptr, 1), 0);
  EXPECT_EQ(stop_reason(nullptr, &reason), 0);
  EXPECT_EQ(reason, -1);
  EXPECT_EQ(stop_reason(player_, &reason), 1);
  EXPECT_EQ(reason, MP3_STOP_REASON_NONE);
}

TEST_F(FlatErrors, EachCommandsSuccessLeavesNoTextAndItsFailureItsOwn) {
  auto open = Get<int (*)(MP3_HANDLE, const char*, int, unsigned, unsigned)>("Mp3_OpenFile");
  auto play = Get<int (*)(MP3_HANDLE)>("Mp3_Play");
  auto stop = Get<int (*)(MP3_HANDLE)>("Mp3_Stop");
  auto pause = Get<int (*)(MP3_HANDLE)>("Mp3_Pause");
  auto resume = Get<int (*)(MP3_HANDLE)>("Mp3_Resume");
  auto close = Get<int (*)(MP3_HANDLE)>("Mp3_Close");
  auto seek = Get<int (*)(MP3_HANDLE, int, MP3_TIME*, int)>("Mp3_Seek");
  auto reverse = Get<int (*)(MP3_HANDLE, int)>("Mp3_ReverseMode");
  auto volume = Get<int (*)(MP3_HANDLE, unsigned, unsigned)>("Mp3_SetPlayerVolume");
  auto load_id3 = Get<int (*)(MP3_HANDLE, int, MP3_ID3_FIELDS*)>("Mp3_LoadID3");
  auto field = Get<int (*)(MP3_HANDLE, int, int, char*, int)>("Mp3_GetID3Field");
  auto gapless = Get<int (*)(MP3_HANDLE, int)>("Mp3_SetGapless");
  ASSERT_TRUE(open && play && stop && pause && resume && close && seek && reverse && volume && load_id3 && field &&
              gapless);

  // Successes: nothing left from the stain.
  const auto succeeds = [&](const char* what, int result) {
    EXPECT_EQ(result, 1) << what << ": " << Error();
    EXPECT_EQ(Error(), "") << what;
  };
  Stain();
  succeeds("SetGapless", gapless(player_, 1));
  Stain();
  succeeds("OpenFile", open(player_, path_.c_str(), 800, 0, 0));
  Stain();
  succeeds("Play", play(player_));
  Stain();
  succeeds("Pause", pause(player_));
  Stain();
  succeeds("Resume", resume(player_));
  Stain();
  MP3_TIME at{};
  at.ms = 500;
  succeeds("Seek", seek(player_, TIME_FORMAT_MS, &at, MOVE_FROM_START));
  Stain();
  succeeds("ReverseMode", reverse(player_, 0));
  Stain();
  succeeds("SetPlayerVolume", volume(player_, 50, 50));
  Stain();
  succeeds("Play", play(player_));
  Stain();
  succeeds("Stop", stop(player_));

  // Failures: each its own text, whatever was there before.
  const auto fails = [&](const char* what, int result, const char* text) {
    EXPECT_EQ(result, 0) << what;
    EXPECT_EQ(Error(), text) << what;
  };
  Stain();
  fails("Stop", stop(player_), "Stop->Stream isn't playing !");
  MP3_ID3_FIELDS fields{};
  Stain();
  fails("LoadID3", load_id3(player_, ID3_TAG_V2, &fields), "DAr3::LoadID3->There is no readable ID3v2 tag");
  char text[64];
  Stain();
  fails("GetID3Field", field(player_, ID3_TAG_V1, ID3_SELECT_TITLE, text, sizeof text),
        "DAr3::LoadID3->There is no ID3v1 tag");
  ASSERT_EQ(play(player_), 1);
  Stain();
  fails("Play", play(player_), "Play->Stream is already playing !");
  Stain();
  succeeds("Close", close(player_));
  Stain();
  fails("Play", play(player_), "Play->Stream isn't open !");
  Stain();
  fails("OpenFile", open(player_, "/nonexistent.mp3", 800, 0, 0),
        "OpenMp3FileEx->Can't open file:  /nonexistent.mp3  !");
  // Closing or opening over a stream that does not play stops nothing, and says nothing.
  ASSERT_EQ(open(player_, path_.c_str(), 800, 0, 0), 1);
  Stain();
  succeeds("OpenFile over a stopped stream", open(player_, path_.c_str(), 800, 0, 0));
  Stain();
  succeeds("Close of a stopped stream", close(player_));
}
