#pragma once
// A 640 x 480 x 8 headless display for sprite tests, and sprite records that are destroyed when
// the test ends.
#include <gtest/gtest.h>

#include "display/display.h"
#include "platform/backend.h"
#include "sprites/sprite.h"

class SpriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SelectBackend(platform::Backend::Headless);
    ASSERT_EQ(DisplayInit(640, 480, 8, 0), 1);
    FillSurface(back_surface, 0, nullptr);
  }
  void TearDown() override { DisplayShutdown(); }

  static uint8_t BackPixel(int x, int y) { return back_surface->pixels()[y * back_surface->pitch() + x]; }
  static uint8_t FramePixel(const SpriteFrame* frame, int x, int y) { return frame->pixels()[y * frame->pitch() + x]; }
};

struct OwnedSprite {
  Sprite record{};
  OwnedSprite() = default;
  OwnedSprite(const OwnedSprite&) = delete;
  OwnedSprite& operator=(const OwnedSprite&) = delete;
  ~OwnedSprite() { DestroySprite(&record); }
};
