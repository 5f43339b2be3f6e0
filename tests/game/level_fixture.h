#pragma once
// A level with no pictures: game values at their start, sprites with their animation tables
// but no frame surfaces, and a 640 x 480 buffer standing in for the locked back surface.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "display/display.h"
#include "game/crt_random.h"
#include "game/game_keys.h"
#include "game/world.h"
#include "sprites/sprite.h"

class LevelFixture : public ::testing::Test {
 protected:
  static constexpr int kWidth = 640, kHeight = 480;

  void SetUp() override {
    ResetGameValues();
    CrtSrand(1);
    pixels_.assign(kWidth * kHeight, 0);
    back_buffer = pixels_.data();
    back_pitch = kWidth;
    MakeFighter(&Hero, HERO_ANIM_COUNT, HeroAnimTable, 16, 200);
    for (Sprite& thug : Thugs) thug = Sprite{};
  }

  void TearDown() override {
    back_buffer = nullptr;
    back_pitch = 0;
    DestroySprite(&Hero);
    for (Sprite& thug : Thugs) DestroySprite(&thug);
    Hero = Sprite{};
    for (Sprite& thug : Thugs) thug = Sprite{};
  }

  // A live thug at (x, 240) walking the given way, with its animation table.
  Sprite& PlaceThug(int index, float x, int anim, int state = THUG_PATROL) {
    Sprite& thug = Thugs[index];
    MakeFighter(&thug, THUG_ANIM_COUNT, ThugAnimTable, 0, THUG_START_Y);
    thug.x = x;
    SetSpriteAnimation(&thug, anim);
    thug.counters[THUG_STATE] = state;
    return thug;
  }

  // Paints [x1, x2] x [y1, y2] (inclusive) in the stand-in back buffer.
  void Paint(int x1, int y1, int x2, int y2, uint8_t color) {
    for (int y = y1; y <= y2; ++y)
      for (int x = x1; x <= x2; ++x) pixels_[y * kWidth + x] = color;
  }
  // The street the hero stands on at y = 240: solid from row 309 down.
  void PaintStreet() { Paint(0, 309, kWidth - 1, kHeight - 1, COLOR_SOLID); }

  static GameKeys Keys(bool left, bool right, bool up, bool space, bool shift) {
    GameKeys keys;
    keys.left = left;
    keys.right = right;
    keys.up = up;
    keys.space = space;
    keys.shift = shift;
    return keys;
  }

  std::vector<uint8_t> pixels_;

 private:
  static void MakeFighter(Sprite* sprite, int anims, const int32_t (*table)[FRAMES_PER_ANIM], int x, int y) {
    *sprite = Sprite{};
    sprite->active = 1;
    sprite->attributes = SPRITE_MULTI_ANIM | SPRITE_VISIBLE;
    sprite->width = 72;
    sprite->height = 74;
    for (int a = 0; a < anims; ++a) LoadSpriteAnimation(sprite, a, FRAMES_PER_ANIM + 1, table[a]);
    SetSpriteAnimSpeed(sprite, 4);
    SetSpritePosition(sprite, x, y);
  }
};
