#include "display/frame_clock.h"

#include <gtest/gtest.h>

#include "platform/backend.h"
#include "platform/clock.h"

TEST(FrameClock, WaitsAtLeastThePeriodAndSurvivesTheWrap) {
  platform::SelectBackend(platform::Backend::Headless);
  platform::SetVirtualClock(1000);
  EXPECT_EQ(StartClock(), 1000u);
  EXPECT_EQ(WaitClock(30), 1030u);
  EXPECT_EQ(frame_start_ticks, 1000u) << "the wait leaves the start alone";
  EXPECT_EQ(WaitClock(30), 1030u) << "already past: returns at once";
  EXPECT_EQ(WaitClock(0), 1030u);

  platform::SetVirtualClock(0xFFFFFFFFu - 15);  // 16 ticks below the wrap
  StartClock();
  platform::SetVirtualClock(14);  // 30 ms later, after the wrap
  EXPECT_EQ(WaitClock(30), 14u);

  platform::SetVirtualClock(50);
  StartClock();
  platform::AdvanceVirtualClock(100);  // a slow frame is not made up next time
  EXPECT_EQ(WaitClock(30), 150u);
}
