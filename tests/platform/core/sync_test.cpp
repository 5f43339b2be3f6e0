#include "platform/sync.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/files.h"

using namespace platform;

TEST(MulDiv, RoundsWithA64BitIntermediateAndFailsLikeWin32) {
  EXPECT_EQ(MulDiv(10, 3, 4), 8);  // 7.5 rounds away from zero
  EXPECT_EQ(MulDiv(-10, 3, 4), -8);
  EXPECT_EQ(MulDiv(10, 1, 3), 3);
  EXPECT_EQ(MulDiv(2000000000, 3, 4), 1500000000);  // product exceeds 32 bits
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(MulDiv(2000000000, 2000000000, 1), -1);  // does not fit
  EXPECT_EQ(MulDiv(7, -1, -1), 7);
  EXPECT_EQ(MulDiv(INT32_MIN, 1, 1), -1);
  EXPECT_EQ(MulDiv(-INT32_MAX, 1, 1), -INT32_MAX);
}

TEST(Event, AutoResetReleasesOneWaiterManualResetStaysSet) {
  Event automatic(false, false);
  EXPECT_FALSE(automatic.Wait(0));
  automatic.Set();
  EXPECT_TRUE(automatic.Wait(0));
  EXPECT_FALSE(automatic.Wait(0)) << "auto-reset clears itself";

  Event manual(true, true);
  EXPECT_TRUE(manual.Wait(0));
  EXPECT_TRUE(manual.Wait(0));
  manual.Reset();
  EXPECT_FALSE(manual.Wait(10));

  std::atomic<bool> woke{false};
  std::thread waiter([&] { woke = automatic.Wait(5000); });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  automatic.Set();
  waiter.join();
  EXPECT_TRUE(woke);

  // Two Sets in a row with two threads blocked release both, and leave the event clear.
  std::atomic<int> released{0};
  std::vector<std::thread> blocked;
  for (int i = 0; i < 2; ++i) blocked.emplace_back([&] { released += automatic.Wait(3000) ? 1 : 0; });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  automatic.Set();
  automatic.Set();
  for (std::thread& t : blocked) t.join();
  EXPECT_EQ(released.load(), 2);
  EXPECT_FALSE(automatic.Wait(0));
  // With one thread blocked, the second Set has nobody to release and stays for the next Wait.
  std::thread one([&] { released += automatic.Wait(3000) ? 1 : 0; });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  automatic.Set();
  automatic.Set();
  one.join();
  EXPECT_EQ(released.load(), 3);
  EXPECT_TRUE(automatic.Wait(0));
  EXPECT_FALSE(automatic.Wait(0));
}

TEST(ThreadMessageQueue, DeliversInOrderAndQuitEndsGet) {
  ThreadMessageQueue queue;
  std::vector<intptr_t> seen;
  std::thread worker([&] {
    ThreadMessage message;
    while (queue.Get(&message)) seen.push_back(message.wparam);
  });
  for (intptr_t i = 1; i <= 100; ++i) queue.Post(0x400, i);
  queue.Post(kThreadQuit);
  worker.join();
  ASSERT_EQ(seen.size(), 100u);
  for (size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], static_cast<intptr_t>(i + 1));

  ThreadMessage message;
  EXPECT_EQ(queue.GetTimed(&message, 5), -1);
  queue.Post(1, 2, 3);
  EXPECT_TRUE(queue.Peek(&message, false));
  EXPECT_EQ(queue.Size(), 1u);
  EXPECT_TRUE(queue.Peek(&message, true));
  EXPECT_EQ(message.lparam, 3);
  EXPECT_EQ(queue.Size(), 0u);
}

TEST(VirtualClock, StandsStillUntilSleptAndWrapsAt32Bits) {
  SetVirtualClock(0xFFFFFFF0u);
  uint32_t before = GetTickCount();
  SleepMs(20);
  EXPECT_EQ(static_cast<uint32_t>(GetTickCount() - before), 20u);
  EXPECT_EQ(GetTickCount(), 4u);
  SpinPause();
  EXPECT_EQ(GetTickCount(), 5u);
}

TEST(Files, MapsWholeFilesAndRegistersResources) {
  const char* path = "mapped_test.bin";
  FILE* file = std::fopen(path, "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("hello", file);
  std::fclose(file);
  auto mapped = MappedFile::Open(path);
  ASSERT_NE(mapped, nullptr);
  ASSERT_EQ(mapped->size(), 5u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(mapped->data()), 5), "hello");
  std::string error;
  EXPECT_EQ(MappedFile::Open("no/such/file", &error), nullptr);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(MappedFile::Open(".", &error), nullptr) << "directories are not files";

  static const uint8_t block[] = {1, 2, 3};
  ASSERT_TRUE(RegisterResource("SONG", "MP3", block, sizeof(block)));
  size_t size = 0;
  EXPECT_EQ(FindResource("SONG", "MP3", &size), block);
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(FindResource("SONG", "WAV", &size), nullptr);
  EXPECT_TRUE(UnregisterResource("SONG", "MP3"));
  EXPECT_EQ(FindResource("SONG", "MP3", &size), nullptr);
}
