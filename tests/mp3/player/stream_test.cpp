// Managed streams: pushed data plays exactly like the file it came from, the queue's load and
// freeing rules hold while the decoding thread drains it, and starvation is answered as asked.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <thread>

#include "tests/mp3/player/mp3_test_support.h"

namespace {

const Bytes& LameBytes(const std::string& options) {
  static std::mutex lock;
  static std::map<std::string, Bytes> made;
  std::lock_guard<std::mutex> guard(lock);
  if (!made.count(options)) {
    const std::string path =
        EncodeWithLame("stream" + std::to_string(made.size()) + ".mp3", TonePcm(44100, 1.5), 44100, options);
    made[options] = path.empty() ? Bytes{} : ReadFile(path);
  }
  return made[options];
}

std::vector<int16_t> DecodeDirectly(const Bytes& file) {
  const Decoded decoded = DecodeAll(WriteTemp("stream_reference.mp3", file));
  EXPECT_TRUE(decoded.opened) << decoded.error;
  return decoded.stereo;
}

// A scripted callback (the callback carries no user pointer, so the script is global).
struct Script {
  std::mutex lock;
  std::condition_variable changed;
  std::vector<int16_t> samples;
  std::vector<uint32_t> messages;
  bool stopped = false;
  std::function<int32_t()> need_more;                   // synchronous need-more-data answer
  std::function<void(intptr_t, intptr_t)> buffer_done;  // synchronous buffer-done notice
  std::function<void()> wave_buffer;                    // before each block is taken

  void Reset() {
    std::lock_guard<std::mutex> guard(lock);
    samples.clear();
    messages.clear();
    stopped = false;
    need_more = nullptr;
    buffer_done = nullptr;
    wave_buffer = nullptr;
  }
  bool WaitStop(int ms) {
    std::unique_lock<std::mutex> guard(lock);
    return changed.wait_for(guard, std::chrono::milliseconds(ms), [&] { return stopped; });
  }
  size_t Count(uint32_t message) {
    std::lock_guard<std::mutex> guard(lock);
    return size_t(std::count(messages.begin(), messages.end(), message));
  }
};
Script script;

int32_t ScriptCallback(uint32_t message, intptr_t wparam, intptr_t lparam) {
  std::function<int32_t()> need_more;
  std::function<void(intptr_t, intptr_t)> buffer_done;
  std::function<void()> wave_buffer;
  {
    std::lock_guard<std::mutex> guard(script.lock);
    script.messages.push_back(message);
    need_more = script.need_more;
    buffer_done = script.buffer_done;
    wave_buffer = script.wave_buffer;
  }
  int32_t answer = 0;
  if (message == MP3_EVENT_WAVE_BUFFER) {
    if (wave_buffer) wave_buffer();
    const int16_t* block = reinterpret_cast<const int16_t*>(wparam);
    std::lock_guard<std::mutex> guard(script.lock);
    script.samples.insert(script.samples.end(), block, block + lparam / 2);
    answer = 1;
  } else if (message == MP3_EVENT_SYNC_STREAM_NEED_MORE_DATA) {
    answer = need_more ? need_more() : 0;
  } else if (message == MP3_EVENT_SYNC_STREAM_BUFFER_DONE) {
    if (buffer_done) buffer_done(wparam, lparam);
  } else if (message == MP3_EVENT_STOP) {
    std::lock_guard<std::mutex> guard(script.lock);
    script.stopped = true;
  }
  script.changed.notify_all();
  return answer;
}

constexpr uint32_t kStreamMask = MP3_EVENT_WAVE_BUFFER | MP3_EVENT_STOP | MP3_EVENT_SYNC_STREAM_NEED_MORE_DATA |
                                 MP3_EVENT_STREAM_NEED_MORE_DATA | MP3_EVENT_SYNC_STREAM_BUFFER_DONE;

// Opens `file` as a managed stream from its first `first` bytes (no-output mode).
void OpenManaged(RUVe3& p, const Bytes& file, size_t first, bool buffered) {
  script.Reset();
  ASSERT_EQ(p.SetCallbackFunc(&ScriptCallback, kStreamMask), 1);
  ASSERT_EQ(p.OpenStream(buffered, 1, file.data(), unsigned(first), 0), 1) << p.GetError();
}

void PushRange(RUVe3& p, const Bytes& file, size_t from, size_t chunk) {
  for (size_t at = from; at < file.size(); at += chunk) {
    const size_t n = std::min(chunk, file.size() - at);
    ASSERT_EQ(p.PushDataToStream(file.data() + at, unsigned(n)), 1) << p.GetError();
  }
}

std::vector<int16_t> Heard() {
  std::lock_guard<std::mutex> guard(script.lock);
  return script.samples;
}

}  // namespace

TEST(Streams, PushedInChunksOfAnySizePlaysLikeTheFile) {
  for (const char* options : {"-b 128", "-V 4"}) {
    const Bytes& file = LameBytes(options);
    ASSERT_FALSE(file.empty());
    const std::vector<int16_t> reference = DecodeDirectly(file);
    ASSERT_GT(reference.size(), 44100u);
    for (size_t chunk : {size_t(1), size_t(7), size_t(417), size_t(4096), file.size()}) {
      for (bool buffered : {false, true}) {
        SCOPED_TRACE(std::string(options) + " chunk " + std::to_string(chunk) + (buffered ? " buffered" : ""));
        Player p;
        const size_t first = std::min(file.size(), chunk == 1 ? size_t(3000) : std::max(chunk, size_t(3000)));
        OpenManaged(p, file, first, buffered);
        PushRange(p, file, first, chunk);
        ASSERT_EQ(p->PushDataToStream(nullptr, 0), 1);
        ASSERT_EQ(p->Play(), 1) << p->GetError();
        ASSERT_TRUE(script.WaitStop(60000));
        EXPECT_EQ(script.Count(MP3_EVENT_STREAM_NEED_MORE_DATA), 0u) << "all data was there";
        const std::vector<int16_t> heard = Heard();
        ASSERT_EQ(heard.size(), reference.size());
        EXPECT_TRUE(heard == reference);
        // The run drained the queue; the stream stays open.
        STREAM_LOAD_INFO load{};
        ASSERT_EQ(p->GetStreamLoad(&load), 1);
        EXPECT_EQ(load.queued_blocks, 0);
        EXPECT_EQ(load.queued_bytes, 0);
      }
    }
  }
}

TEST(Streams, PushedFromAnotherThreadWhilePlaying) {
  const Bytes& file = LameBytes("-V 4");
  ASSERT_FALSE(file.empty());
  const std::vector<int16_t> reference = DecodeDirectly(file);
  for (bool buffered : {false, true}) {
    Player p;
    OpenManaged(p, file, 2500, buffered);
    ASSERT_EQ(p->Play(), 1) << p->GetError();
    std::thread pusher([&] {
      std::mt19937 random(buffered ? 7 : 11);
      size_t at = 2500;
      while (at < file.size()) {
        const size_t n = std::min<size_t>(file.size() - at, 1 + random() % 6000);
        EXPECT_EQ(p->PushDataToStream(file.data() + at, unsigned(n)), 1);
        at += n;
        if (random() % 4 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        STREAM_LOAD_INFO load{};
        p->GetStreamLoad(&load);
        p->IsStreamDataFree(file.data() + at - n);
      }
      EXPECT_EQ(p->PushDataToStream(nullptr, 0), 1);
    });
    pusher.join();
    ASSERT_TRUE(script.WaitStop(60000));
    EXPECT_TRUE(Heard() == reference) << (buffered ? "buffered" : "unbuffered");
    for (size_t at = 0; at < file.size(); at += 997) EXPECT_EQ(p->IsStreamDataFree(file.data() + at), 1);
  }
}

TEST(Streams, StarvationIsAnsweredAsAsked) {
  const Bytes& file = LameBytes("-b 128");
  const std::vector<int16_t> reference = DecodeDirectly(file);
  const size_t half = file.size() / 2;

  {  // 1: the data has ended; everything received is played.
    Player p;
    OpenManaged(p, file, half, false);
    script.need_more = [] { return 1; };
    ASSERT_EQ(p->Play(), 1);
    ASSERT_TRUE(script.WaitStop(10000));
    EXPECT_EQ(script.Count(MP3_EVENT_SYNC_STREAM_NEED_MORE_DATA), 1u);
    EXPECT_EQ(script.Count(MP3_EVENT_STREAM_NEED_MORE_DATA), 1u);
    const std::vector<int16_t> heard = Heard();
    ASSERT_GT(heard.size(), reference.size() / 3);
    ASSERT_LT(heard.size(), reference.size());
    EXPECT_TRUE(std::equal(heard.begin(), heard.end(), reference.begin()));
  }
  {  // 2: ask again at once; the third time the rest arrives from inside the callback.
    Player p;
    OpenManaged(p, file, half, true);
    int asked = 0;
    script.need_more = [&] {
      if (++asked == 3) {
        PushRange(p, file, half, 1000);
        p->PushDataToStream(nullptr, 0);
      }
      return 2;
    };
    ASSERT_EQ(p->Play(), 1);
    ASSERT_TRUE(script.WaitStop(10000));
    EXPECT_EQ(asked, 3);
    EXPECT_TRUE(Heard() == reference);
  }
  {  // Anything else: wait for the next push, however long it takes.
    Player p;
    OpenManaged(p, file, half, false);
    ASSERT_EQ(p->Play(), 1);
    for (int i = 0; i < 2000 && script.Count(MP3_EVENT_STREAM_NEED_MORE_DATA) == 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(script.Count(MP3_EVENT_STREAM_NEED_MORE_DATA), 1u);
    EXPECT_FALSE(script.WaitStop(150)) << "still waiting";
    MP3_STATUS status{};
    p->GetStatus(&status);
    EXPECT_EQ(status.playing, 1);
    EXPECT_EQ(script.Count(MP3_EVENT_STREAM_NEED_MORE_DATA), 1u) << "asked once, then waited";
    PushRange(p, file, half, 5000);
    ASSERT_EQ(p->PushDataToStream(nullptr, 0), 1) << "an empty push ends the data";
    ASSERT_TRUE(script.WaitStop(10000));
    EXPECT_TRUE(Heard() == reference);
  }
  {  // Stop ends a thread that waits for data.
    Player p;
    OpenManaged(p, file, half, false);
    ASSERT_EQ(p->Play(), 1);
    for (int i = 0; i < 2000 && script.Count(MP3_EVENT_STREAM_NEED_MORE_DATA) == 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(p->PushDataToStream(file.data() + half, 100), 1);
    EXPECT_EQ(p->Stop(), 1);
    EXPECT_TRUE(script.WaitStop(1000));
    STREAM_LOAD_INFO load{};
    ASSERT_EQ(p->GetStreamLoad(&load), 1);
    EXPECT_EQ(load.queued_blocks, 0) << "Stop empties the queue";
    EXPECT_EQ(p->IsStreamDataFree(file.data() + half), 1);
  }
}

TEST(Streams, LoadFigures) {
  const Bytes frames = Repeat(SilentFrame(128), 200);
  Player p;
  STREAM_LOAD_INFO load{1, 1, 1};
  EXPECT_EQ(p->GetStreamLoad(nullptr), 0);
  EXPECT_STREQ(p->GetError(), "GetStreamLoad->Invalid parameter !  STREAM_LOAD_INFO *pStreamLoadInfo can't be NULL!");
  EXPECT_EQ(p->GetStreamLoad(&load), 0);
  EXPECT_STREQ(p->GetError(), "GetStreamLoad->Stream isn't open !");
  EXPECT_EQ(load.queued_blocks, 0);

  ASSERT_EQ(p->OpenStream(0, 0, frames.data(), unsigned(frames.size()), 0), 1) << p->GetError();
  EXPECT_EQ(p->GetStreamLoad(&load), 0);
  EXPECT_STREQ(p->GetError(), "GetStreamLoad->Stream isn't managed. Can't get this data !");

  // Before any frame is decoded the rate comes from the opening.
  OpenManaged(p, frames, 16000, false);
  ASSERT_EQ(p->GetStreamLoad(&load), 1);
  EXPECT_EQ(load.queued_blocks, 1);
  EXPECT_EQ(load.queued_bytes, 16000);
  EXPECT_EQ(load.queued_ms, 1000);
  ASSERT_EQ(p->PushDataToStream(frames.data() + 16000, 8000), 1);
  ASSERT_EQ(p->GetStreamLoad(&load), 1);
  EXPECT_EQ(load.queued_blocks, 2);
  EXPECT_EQ(load.queued_bytes, 24000);
  EXPECT_EQ(load.queued_ms, 1500);

  // While playing, from the decoded frames' rates: measured while the thread waits for the
  // answer, so nothing moves.
  STREAM_LOAD_INFO during{};
  script.need_more = [&] {
    p->PushDataToStream(frames.data() + 24000, 16000);
    p->GetStreamLoad(&during);
    p->PushDataToStream(nullptr, 0);
    return 2;
  };
  ASSERT_EQ(p->Play(), 1);
  ASSERT_TRUE(script.WaitStop(10000));
  EXPECT_EQ(during.queued_blocks, 1);
  EXPECT_EQ(during.queued_bytes, 16000);
  EXPECT_EQ(during.queued_ms, 1000);
}

// A managed stream opens on its first block, which holds a small part of a real song: a VBR
// header's counts still give the whole song's length and rate.
TEST(Streams, AVbrHeaderGivesTheWholeSongsLengthFromTheFirstBlock) {
  const std::string path = EncodeWithLame("stream_long_vbr.mp3", TonePcm(44100, 12.0), 44100, "-V 4");
  ASSERT_FALSE(path.empty());
  const Bytes file = ReadFile(path);
  Player whole;
  ASSERT_EQ(whole->OpenFile(path.c_str(), 0, 0, 0), 1) << whole->GetError();
  MP3_TIME expected{};
  ASSERT_EQ(whole->GetSongLength(&expected), 1);
  ASSERT_GT(expected.ms, 11900u);

  Player p;
  OpenManaged(p, file, 4096, false);  // far fewer bytes than 16 per frame of the song
  MP3_TIME length{};
  ASSERT_EQ(p->GetSongLength(&length), 1);
  EXPECT_EQ(length.ms, expected.ms);
  MP3_STREAM_INFO info{};
  ASSERT_EQ(p->GetMp3Info(&info), 1);
  STREAM_LOAD_INFO load{};
  ASSERT_EQ(p->GetStreamLoad(&load), 1);
  EXPECT_EQ(load.queued_bytes, 4096);
  // The first block at the song's average rate: a few hundred milliseconds, not the song.
  EXPECT_GT(load.queued_ms, 100);
  EXPECT_LT(load.queued_ms, 1000);
  p->Close();
}

TEST(Streams, BlocksAreFreeOnlyOnceReadToTheirLastByte) {
  const Bytes& file = LameBytes("-b 128");
  const uint8_t* a = file.data();
  const uint8_t* b = file.data() + 4000;
  const uint8_t* c = file.data() + 6000;
  Player p;
  EXPECT_EQ(p->IsStreamDataFree(a), 1) << "nothing open";

  // Unbuffered and managed: the queue holds the caller's memory.
  OpenManaged(p, file, 4000, false);
  ASSERT_EQ(p->PushDataToStream(b, 2000), 1);
  ASSERT_EQ(p->PushDataToStream(c, unsigned(file.size() - 6000)), 1);
  ASSERT_EQ(p->PushDataToStream(nullptr, 0), 1);
  EXPECT_EQ(p->IsStreamDataFree(a), 0);
  EXPECT_EQ(p->IsStreamDataFree(b), 0);
  EXPECT_EQ(p->IsStreamDataFree(c), 0);
  EXPECT_EQ(p->IsStreamDataFree(file.data() + 1), 1) << "no block was pushed from there";
  std::atomic<int> wrong{0};
  std::vector<intptr_t> blocks_left;
  script.buffer_done = [&](intptr_t blocks, intptr_t) {
    blocks_left.push_back(blocks);
    // A block just used up is free; the ones behind it are not.
    if (p->IsStreamDataFree(a) != 1) ++wrong;
    if (p->IsStreamDataFree(b) != (blocks <= 1 ? 1 : 0)) ++wrong;
    if (p->IsStreamDataFree(c) != (blocks == 0 ? 1 : 0)) ++wrong;
  };
  script.wave_buffer = [&] {
    STREAM_LOAD_INFO load{};
    p->GetStreamLoad(&load);
    // The last block is partly read until the very end.
    if (load.queued_bytes > 0 && p->IsStreamDataFree(c) != 0) ++wrong;
  };
  ASSERT_EQ(p->Play(), 1);
  ASSERT_TRUE(script.WaitStop(10000));
  EXPECT_EQ(wrong, 0);
  ASSERT_FALSE(blocks_left.empty());
  EXPECT_EQ(blocks_left.back(), 0);
  EXPECT_EQ(p->IsStreamDataFree(c), 1);

  // Buffered: identities are kept, the memory is the player's.
  OpenManaged(p, file, 4000, true);
  ASSERT_EQ(p->PushDataToStream(b, 2000), 1);
  EXPECT_EQ(p->IsStreamDataFree(b), 0);
  p->Close();
  EXPECT_EQ(p->IsStreamDataFree(b), 1);

  // Unmanaged and unbuffered: decoded in place, so the block is in use until Close.
  ASSERT_EQ(p->OpenStream(0, 0, a, unsigned(file.size()), 0), 1);
  EXPECT_EQ(p->IsStreamDataFree(a), 0);
  EXPECT_EQ(p->PushDataToStream(b, 10), 0);
  EXPECT_STREQ(p->GetError(), "PushDataToStream->Can't push data into unmanaged stream !");
  p->Close();
  EXPECT_EQ(p->IsStreamDataFree(a), 1);
}

TEST(Streams, UnmanagedStreamsPlayInPlaceInBothModes) {
  const Bytes& file = LameBytes("-b 128");
  const std::vector<int16_t> reference = DecodeDirectly(file);
  for (int buffered : {0, 1}) {
    Player p;
    script.Reset();
    ASSERT_EQ(p->SetCallbackFunc(&ScriptCallback, kStreamMask), 1);
    Bytes copy = file;
    ASSERT_EQ(p->OpenStream(buffered, 0, copy.data(), unsigned(copy.size()), 0), 1) << p->GetError();
    // Only the caller's own block, decoded in place, is in use until the stream closes.
    EXPECT_EQ(p->IsStreamDataFree(copy.data()), buffered);
    if (buffered) std::fill(copy.begin(), copy.end(), 0);  // the player has its own copy
    for (int run = 0; run < 2; ++run) {
      script.Reset();
      ASSERT_EQ(p->Play(), 1) << p->GetError();
      ASSERT_TRUE(script.WaitStop(10000));
      EXPECT_TRUE(Heard() == reference) << "run " << run << (buffered ? " buffered" : "");
    }
  }
}

TEST(Streams, BadCallsAndMalformedDataFailCleanly) {
  const Bytes& file = LameBytes("-b 128");
  Player p;
  EXPECT_EQ(p->PushDataToStream(file.data(), 10), 0);
  EXPECT_STREQ(p->GetError(), "PushDataToStream->Stream isn't open !");
  EXPECT_EQ(p->OpenStream(0, 1, nullptr, 100, 0), 0);
  EXPECT_STREQ(p->GetError(), "OpenStream->Can't open NULL stream !");
  EXPECT_EQ(p->OpenStream(1, 1, file.data(), 0, 0), 0);
  EXPECT_STREQ(p->GetError(), "OpenStream->Can't open NULL stream !");
  Bytes junk(5000);
  std::mt19937 random(3);
  for (uint8_t& byte : junk) byte = uint8_t(random());
  EXPECT_EQ(p->OpenStream(1, 1, junk.data(), unsigned(junk.size()), 0), 0);
  EXPECT_EQ(p->OpenStream(0, 1, file.data(), 5, 0), 0);
  EXPECT_STREQ(p->GetError(), "_OpenMp3->Invalid stream!");
  EXPECT_EQ(p->OpenStream(0, 1, file.data(), 3000, 100), 0);
  EXPECT_STREQ(p->GetError(), "_Open->Buffer can't be smaller than 200 ms");
  EXPECT_EQ(p->PushDataToStream(file.data(), 10), 0) << "a failed open leaves nothing open";

  // Garbage after good frames: sync runs, a header claiming the largest frame, random bytes.
  Bytes sync_run(20000, 0xFF);
  Bytes lying = SilentFrame(320);
  lying.resize(200);
  for (bool buffered : {false, true}) {
    OpenManaged(p, file, 3000, buffered);
    ASSERT_EQ(p->PushDataToStream(junk.data(), unsigned(junk.size())), 1);
    ASSERT_EQ(p->PushDataToStream(sync_run.data(), unsigned(sync_run.size())), 1);
    for (int i = 0; i < 50; ++i) ASSERT_EQ(p->PushDataToStream(lying.data(), unsigned(lying.size())), 1);
    PushRange(p, file, 3000, 333);
    ASSERT_EQ(p->PushDataToStream(junk.data(), 1), 1);
    ASSERT_EQ(p->PushDataToStream(nullptr, 0), 1);
    ASSERT_EQ(p->Play(), 1) << p->GetError();
    ASSERT_TRUE(script.WaitStop(20000));
    EXPECT_GT(Heard().size(), 0u);
  }
  p->Close();
}
