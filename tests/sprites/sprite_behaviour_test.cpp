#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "tests/display/bitmap/bitmap_record.h"
#include "tests/display/bitmap/bmp_builder.h"
#include "tests/sprites/sprite_fixture.h"

namespace {

using SpriteBehaviour = SpriteTest;

constexpr uint8_t kKey = 196;

// The frames shown by `calls` successive AnimateSprite calls.
std::vector<int32_t> Animate(Sprite* sprite, int calls) {
  std::vector<int32_t> shown;
  for (int i = 0; i < calls; ++i) {
    EXPECT_EQ(AnimateSprite(sprite), 1);
    shown.push_back(sprite->current_frame);
  }
  return shown;
}

void MakeSequenceSprite(OwnedSprite* sprite, int32_t attributes) {
  ASSERT_EQ(CreateSprite(&sprite->record, 0, 0, 8, 8, 0, attributes, 0, 0, 8), 1);
  const int32_t row[] = {8, 9, 10, 11, 12};
  ASSERT_EQ(LoadSpriteAnimation(&sprite->record, 2, 5, row), 1);
  ASSERT_EQ(SetSpriteAnimation(&sprite->record, 2), 1);
  ASSERT_EQ(SetSpriteAnimSpeed(&sprite->record, 1), 1);
}

// A w x h frame: key colour on the border, value 1 + x + y * w inside.
void PaintFrame(SpriteFrame* frame, int w, int h) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool border = x == 0 || y == 0 || x == w - 1 || y == h - 1;
      frame->pixels()[y * frame->pitch() + x] = border ? kKey : static_cast<uint8_t>(1 + x + y * w);
    }
}

}  // namespace

TEST_F(SpriteBehaviour, AnimationModesFollowTheFirstAttributeBitSet) {
  OwnedSprite single;
  MakeSequenceSprite(&single, SPRITE_SINGLE_FRAME | SPRITE_MULTI_ANIM);
  single.record.current_frame = 5;
  EXPECT_EQ(Animate(&single.record, 3), (std::vector<int32_t>{0, 0, 0}));

  OwnedSprite multi;
  ASSERT_EQ(CreateSprite(&multi.record, 0, 0, 8, 8, 3, SPRITE_MULTI_FRAME, 0, 0, 8), 1);
  SetSpriteAnimSpeed(&multi.record, 4);
  const std::vector<int32_t> shown = Animate(&multi.record, 12);
  EXPECT_EQ(shown[3], 1);
  EXPECT_EQ(shown[7], 2);
  EXPECT_EQ(shown[11], 0);
  EXPECT_EQ(shown[2], 0);
  EXPECT_EQ(shown[6], 1);

  OwnedSprite none;
  ASSERT_EQ(CreateSprite(&none.record, 0, 0, 8, 8, 3, SPRITE_VISIBLE, 0, 0, 8), 1);
  none.record.current_frame = 2;
  EXPECT_EQ(Animate(&none.record, 2), (std::vector<int32_t>{2, 2}));
  EXPECT_EQ(none.record.anim_ticks, 0);
  EXPECT_EQ(AnimateSprite(nullptr), 0);
}

TEST_F(SpriteBehaviour, SequencesStartAtTheirSecondEntryAndRepeat) {
  OwnedSprite sprite;
  MakeSequenceSprite(&sprite, SPRITE_MULTI_ANIM);
  sprite.record.current_frame = 33;
  EXPECT_EQ(Animate(&sprite.record, 6), (std::vector<int32_t>{9, 10, 11, 8, 9, 10}));
  EXPECT_EQ(sprite.record.anim_done, 0);

  // The game's pace: one step every fourth call.
  SetSpriteAnimation(&sprite.record, 2);
  SetSpriteAnimSpeed(&sprite.record, 4);
  sprite.record.anim_ticks = 0;
  EXPECT_EQ(Animate(&sprite.record, 8), (std::vector<int32_t>{10, 10, 10, 9, 9, 9, 9, 10}));
}

TEST_F(SpriteBehaviour, OneShotSequencesStopOnTheirLastFrame) {
  OwnedSprite sprite;
  MakeSequenceSprite(&sprite, SPRITE_MULTI_ANIM | SPRITE_ANIM_ONE_SHOT);
  std::vector<int32_t> done;
  for (int i = 0; i < 6; ++i) {
    AnimateSprite(&sprite.record);
    EXPECT_EQ(sprite.record.current_frame, std::min(9 + i, 11));
    done.push_back(sprite.record.anim_done);
  }
  EXPECT_EQ(done, (std::vector<int32_t>{0, 0, 0, 1, 1, 1}));
  SetSpriteAnimation(&sprite.record, 2);
  EXPECT_EQ(Animate(&sprite.record, 1), std::vector<int32_t>{9});
  EXPECT_EQ(sprite.record.anim_done, 1) << "no sprite operation clears it";
}

TEST_F(SpriteBehaviour, MissingOrShrunkenSequencesAreNeverReadPastTheirEnd) {
  OwnedSprite sprite;
  MakeSequenceSprite(&sprite, SPRITE_MULTI_ANIM);
  sprite.record.current_frame = 4;
  SetSpriteAnimation(&sprite.record, 7);  // empty slot
  EXPECT_EQ(Animate(&sprite.record, 2), (std::vector<int32_t>{4, 4}));
  ASSERT_EQ(LoadSpriteAnimation(&sprite.record, 7, 1, nullptr), 1);  // only the marker
  EXPECT_EQ(Animate(&sprite.record, 2), (std::vector<int32_t>{4, 4}));
  sprite.record.current_anim = 99;  // the game writes this field directly
  EXPECT_EQ(Animate(&sprite.record, 1), std::vector<int32_t>{4});

  // A shorter sequence loaded while the step is deep into a longer one.
  SetSpriteAnimation(&sprite.record, 2);
  EXPECT_EQ(Animate(&sprite.record, 3), (std::vector<int32_t>{9, 10, 11}));
  const int32_t pair[] = {20, 21, 0};
  ASSERT_EQ(LoadSpriteAnimation(&sprite.record, 2, 3, pair), 1);
  EXPECT_EQ(Animate(&sprite.record, 3), (std::vector<int32_t>{20, 21, 20}));
  sprite.record.attributes |= SPRITE_ANIM_ONE_SHOT;
  sprite.record.anim_step = 40;
  EXPECT_EQ(Animate(&sprite.record, 2), (std::vector<int32_t>{21, 21}));
}

TEST_F(SpriteBehaviour, WrapAroundReentersJustOutsideTheOppositeEdge) {
  OwnedSprite sprite;
  ASSERT_EQ(CreateSprite(&sprite.record, 0, 0, 72, 74, 0, SPRITE_WRAPAROUND | SPRITE_BOUNCE, 0, 0, 8), 1);
  struct Case {
    float x, y, expect_x, expect_y;
  };
  for (const Case& c : {Case{639.5f, 100, -72, 100}, Case{-72.5f, 100, 639, 100}, Case{639, 100, 639, 100},
                        Case{-72, 479.5f, -72, -74}, Case{10, -74.5f, 10, 479}, Case{10, 479, 10, 479}}) {
    sprite.record.x = c.x;
    sprite.record.y = c.y;
    ASSERT_EQ(MoveSprite(&sprite.record), 1);
    EXPECT_EQ(sprite.record.x, c.expect_x) << c.x;
    EXPECT_EQ(sprite.record.y, c.expect_y) << c.y;
  }
  EXPECT_EQ(sprite.record.vel_x, 0.0f) << "wrap-around takes precedence over bounce";

  // Against a smaller clip rectangle.
  const int32_t saved[] = {clip_left, clip_top, clip_right, clip_bottom};
  clip_left = 100, clip_right = 200;
  sprite.record.x = 199;
  SetSpriteVelocity(&sprite.record, 2, 0);
  MoveSprite(&sprite.record);
  EXPECT_EQ(sprite.record.x, 28.0f);
  clip_left = saved[0], clip_top = saved[1], clip_right = saved[2], clip_bottom = saved[3];
  EXPECT_EQ(MoveSprite(nullptr), 0);
}

TEST_F(SpriteBehaviour, BounceTurnsTheVelocityAndLeavesThePosition) {
  OwnedSprite sprite;
  ASSERT_EQ(CreateSprite(&sprite.record, 570, 0, 72, 74, 0, SPRITE_BOUNCE, 0, 0, 8), 1);
  SetSpriteVelocity(&sprite.record, 1, 0);
  MoveSprite(&sprite.record);
  EXPECT_EQ(sprite.record.x, 571.0f);
  EXPECT_EQ(sprite.record.vel_x, -1.0f);
  MoveSprite(&sprite.record);
  EXPECT_EQ(sprite.record.x, 570.0f);
  EXPECT_EQ(sprite.record.vel_x, 1.0f) << "570 is still beyond 567";

  sprite.record.x = 567;
  sprite.record.y = 1;
  SetSpriteVelocity(&sprite.record, 0, -2);
  MoveSprite(&sprite.record);
  EXPECT_EQ(sprite.record.vel_x, 0.0f) << "567 is not beyond 567";
  EXPECT_EQ(sprite.record.y, -1.0f);
  EXPECT_EQ(sprite.record.vel_y, 2.0f);

  sprite.record.attributes = 0;
  sprite.record.x = 5000;
  MoveSprite(&sprite.record);
  EXPECT_EQ(sprite.record.x, 5000.0f) << "no edge behaviour without either bit";
  EXPECT_EQ(sprite.record.y, 1.0f);
}

TEST_F(SpriteBehaviour, DrawBlitsTheCurrentFrameWithItsKeyAndIsClipped) {
  OwnedSprite sprite;
  sprite.record.extra_width = 4;
  ASSERT_EQ(CreateSprite(&sprite.record, 0, 0, 6, 5, 2, SPRITE_VISIBLE | SPRITE_MULTI_ANIM, 0, kKey, 8), 1);
  PaintFrame(sprite.record.frames[1], 10, 5);  // the extra columns are painted but never drawn
  FillSurface(back_surface, 33, nullptr);
  sprite.record.current_frame = 1;
  sprite.record.x = 100.7f;
  sprite.record.y = 50.2f;
  ASSERT_EQ(DrawSprite(&sprite.record, back_surface), 1);
  for (int y = -1; y <= 5; ++y)
    for (int x = -1; x <= 6; ++x) {
      const bool inside = x >= 1 && x <= 5 && y >= 1 && y <= 3;
      EXPECT_EQ(BackPixel(100 + x, 50 + y), inside ? 1 + x + y * 10 : 33) << x << ", " << y;
    }

  // Partly off the screen at the bottom right: the clipper cuts it.
  sprite.record.x = 636;
  sprite.record.y = 477;
  ASSERT_EQ(DrawSprite16(&sprite.record, back_surface), 1);
  EXPECT_EQ(BackPixel(637, 478), 1 + 1 + 1 * 10);
  EXPECT_EQ(BackPixel(639, 479), 1 + 3 + 2 * 10);
  sprite.record.x = -3;
  sprite.record.y = -2;
  ASSERT_EQ(DrawSprite(&sprite.record, back_surface), 1);
  EXPECT_EQ(BackPixel(0, 0), 1 + 3 + 2 * 10);
  sprite.record.x = 2000;
  EXPECT_EQ(DrawSprite(&sprite.record, back_surface), 1) << "wholly off the screen";
  sprite.record.x = 3e9f;
  DrawSprite(&sprite.record, back_surface);  // beyond the int range: defined, whatever the blit says

  HideSprite(&sprite.record);
  sprite.record.x = 300;
  sprite.record.y = 300;
  EXPECT_EQ(DrawSprite(&sprite.record, back_surface), 1);
  EXPECT_EQ(BackPixel(302, 302), 33) << "invisible sprites are not drawn";
  ShowSprite(&sprite.record);

  for (int32_t frame : {2, 63, 64, -1}) {
    sprite.record.current_frame = frame;
    EXPECT_EQ(DrawSprite(&sprite.record, back_surface), 0) << "frame " << frame;
  }
  sprite.record.current_frame = 0;
  EXPECT_EQ(DrawSprite(&sprite.record, nullptr), 0);
  EXPECT_EQ(DrawSprite(nullptr, back_surface), 0);
  LockBackSurface();
  EXPECT_EQ(DrawSprite(&sprite.record, back_surface), 0) << "the blit fails on a locked surface";
  UnlockBackSurface();
}

TEST_F(SpriteBehaviour, ScaledDrawStretchesTheWholeFrame) {
  OwnedSprite sprite;
  ASSERT_EQ(CreateSprite(&sprite.record, 10, 20, 4, 3, 1, SPRITE_VISIBLE | SPRITE_SINGLE_FRAME, 0, kKey, 8), 1);
  PaintFrame(sprite.record.frames[0], 4, 3);  // inside: 6 and 7 at (1, 1) and (2, 1)
  ASSERT_EQ(DrawSpriteScaled(&sprite.record, 8, 6, back_surface), 1);
  EXPECT_EQ(BackPixel(12, 22), 6);
  EXPECT_EQ(BackPixel(13, 23), 6);
  EXPECT_EQ(BackPixel(14, 22), 7);
  EXPECT_EQ(BackPixel(15, 23), 7);
  EXPECT_EQ(BackPixel(11, 22), 0) << "keyed";
  EXPECT_EQ(BackPixel(16, 22), 0);
  ASSERT_EQ(DrawSpriteScaled16(&sprite.record, 2, 3, back_surface), 1);
  EXPECT_EQ(DrawSpriteScaled(nullptr, 2, 3, back_surface), 0);
}

TEST_F(SpriteBehaviour, CollisionUsesBoxesShrunkFromTheFrames) {
  OwnedSprite a, b;
  ASSERT_EQ(CreateSprite(&a.record, 100, 200, 72, 74, 0, 0, 0, 0, 8), 1);
  ASSERT_EQ(CreateSprite(&b.record, 100, 200, 72, 74, 0, 0, 0, 0, 8), 1);
  // Half sizes 27 and 28: overlap below 54 pixels across and 56 down.
  for (auto [dx, dy, expected] : std::vector<std::array<int, 3>>{
           {53, 0, 1}, {54, 0, 0}, {-53, 0, 1}, {-54, 0, 0}, {0, 55, 1}, {0, 56, 0}, {53, 55, 1}, {53, 56, 0}}) {
    b.record.x = 100.0f + dx;
    b.record.y = 200.0f + dy;
    EXPECT_EQ(SpritesCollide(&a.record, &b.record), expected) << dx << ", " << dy;
    EXPECT_EQ(SpritesCollide(&b.record, &a.record), expected) << dx << ", " << dy;
  }
  b.record.x = 153.9f;  // truncated to 180 against 127: 53 apart
  b.record.y = 200;
  EXPECT_EQ(SpritesCollide(&a.record, &b.record), 1);
  DestroySprite(&b.record);
  b.record.x = 100;
  EXPECT_EQ(SpritesCollide(&a.record, &b.record), 1) << "neither active nor visible is consulted";
  EXPECT_EQ(SpritesCollide(&a.record, nullptr), 0);
  EXPECT_EQ(SpritesCollide(nullptr, &a.record), 0);
}

// The way the game sets up its hero: a 293 x 76 strip of four 72 x 74 cells, loaded from a file,
// one sequence per strip, then animated and drawn onto the clipped back surface.
TEST_F(SpriteBehaviour, AHeroStripLoadsAnimatesAndDraws) {
  BmpSpec strip;
  strip.width = 293;
  strip.height = 76;
  strip.pixels.assign(293 * 76, 0);
  for (int k = 0; k < 4; ++k)
    for (int y = 0; y < 74; ++y)
      for (int x = 0; x < 72; ++x)
        strip.pixels[(1 + y) * 293 + 1 + 73 * k + x] = (x > 30 && x < 40) ? static_cast<uint8_t>(100 + k) : kKey;
  const std::string path = testing::TempDir() + "hero0.BMP";
  ASSERT_TRUE(WriteFileBytes(path, BuildBmp(strip)));

  LoadedBitmap bitmap;
  OwnedSprite hero;
  ASSERT_EQ(
      CreateSprite(&hero.record, 0, 0, 72, 74, 52, SPRITE_MULTI_ANIM | SPRITE_VISIBLE, DDSCAPS_SYSTEMMEMORY, kKey, 8),
      1);
  ASSERT_EQ(LoadBitmapFile(&bitmap.record, path.c_str()), 1);
  for (int k = 0; k < 4; ++k) ASSERT_EQ(LoadSpriteFrame(&hero.record, &bitmap.record, k, k, 0, 0), 1);
  UnloadBitmapFile(&bitmap.record);
  const int32_t table[] = {0, 1, 2, 3, 4};
  ASSERT_EQ(LoadSpriteAnimation(&hero.record, 0, 5, table), 1);
  SetSpriteAnimation(&hero.record, 0);
  SetSpriteAnimSpeed(&hero.record, 4);
  SetSpritePosition(&hero.record, 16, 200);
  Animate(&hero.record, 4);
  ASSERT_EQ(hero.record.current_frame, 1);

  FillSurface(back_surface, 64, nullptr);
  ASSERT_EQ(DrawSprite(&hero.record, back_surface), 1);
  EXPECT_EQ(BackPixel(16 + 35, 200 + 10), 101);
  EXPECT_EQ(BackPixel(16 + 10, 200 + 10), 64) << "the key colour shows the picture behind";
  EXPECT_EQ(BackPixel(16 + 35, 200 + 74), 64);
}
