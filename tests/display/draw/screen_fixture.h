#pragma once
// Sets the display globals the drawing code reads to a 640 x 480 screen with a full clip
// rectangle, and restores them afterwards.
#include <gtest/gtest.h>

#include "display/display.h"

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = {screen_width, screen_height, screen_bpp, clip_left, clip_top, clip_right, clip_bottom};
    SetScreen(640, 480);
  }
  void TearDown() override {
    screen_width = saved_[0], screen_height = saved_[1], screen_bpp = saved_[2];
    clip_left = saved_[3], clip_top = saved_[4], clip_right = saved_[5], clip_bottom = saved_[6];
  }
  static void SetScreen(int w, int h) {
    screen_width = w, screen_height = h;
    SetClip(0, 0, w - 1, h - 1);
  }
  static void SetClip(int left, int top, int right, int bottom) {
    clip_left = left, clip_top = top, clip_right = right, clip_bottom = bottom;
  }

 private:
  std::array<int32_t, 7> saved_{};
};
