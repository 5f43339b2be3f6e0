#include <cstring>
#include <utility>
#include <vector>

#include "tests/display/bitmap/bitmap_record.h"
#include "tests/display/bitmap/bmp_builder.h"
#include "tests/sprites/sprite_fixture.h"

namespace {

using SpriteRecord = SpriteTest;

void LoadPattern(LoadedBitmap* loaded, int32_t width, int32_t height) {
  BmpSpec spec;
  spec.width = width;
  spec.height = height;
  spec.pixels = PatternPixels(width, height);
  const std::vector<uint8_t> file = BuildBmp(spec);
  ASSERT_EQ(LoadBitmapMemory(&loaded->record, file.data(), file.size()), 1);
}

uint8_t PatternAt(int64_t x, int64_t y) { return static_cast<uint8_t>(x * 7 + y * 13); }

}  // namespace

TEST_F(SpriteRecord, CreateSetsTheFieldsAndMakesKeyedFrameSurfaces) {
  OwnedSprite sprite;
  std::memset(&sprite.record, 0x5A, sizeof(sprite.record));
  sprite.record.extra_width = 3;
  sprite.record.anim_done = 1;
  ASSERT_EQ(
      CreateSprite(&sprite.record, 10, 20, 72, 74, 3, SPRITE_MULTI_ANIM | SPRITE_VISIBLE, DDSCAPS_SYSTEMMEMORY, 196, 8),
      1);
  const Sprite& s = sprite.record;
  EXPECT_EQ(s.active, 1);
  EXPECT_EQ(s.anim_done, 0);
  EXPECT_EQ(s.attributes, 20);
  EXPECT_EQ(s.x, 10.0f);
  EXPECT_EQ(s.y, 20.0f);
  EXPECT_EQ(s.vel_x, 0.0f);
  EXPECT_EQ(s.vel_y, 0.0f);
  EXPECT_EQ(s.width, 72);
  EXPECT_EQ(s.height, 74);
  EXPECT_EQ(s.bits_per_pixel, 8);
  EXPECT_EQ(s.frame_count, 3);
  for (int32_t c : s.counters) EXPECT_EQ(c, 0);
  EXPECT_EQ(s.current_frame + s.current_anim + s.anim_ticks + s.anim_step + s.anim_speed, 0);
  // Caller-owned fields keep what they held.
  EXPECT_EQ(s.extra_width, 3);
  int32_t filler;
  std::memset(&filler, 0x5A, sizeof(filler));
  EXPECT_EQ(s.scratch_int[15], filler);
  // The bytes, not the value: the slot must still hold the pattern written before.
  EXPECT_EQ(std::memcmp(&s.scratch_float[0], &filler, 4), 0);  // NOLINT(bugprone-suspicious-memory-comparison)
  for (int i = 0; i < SPRITE_FRAME_SLOTS; ++i) {
    if (i < 3) {
      ASSERT_NE(s.frames[i], nullptr);
      EXPECT_EQ(s.frames[i]->width(), 75);
      EXPECT_EQ(s.frames[i]->height(), 74);
      EXPECT_EQ(s.frames[i]->bits_per_pixel(), 8);
      EXPECT_TRUE(s.frames[i]->has_color_key());
    } else {
      EXPECT_EQ(s.frames[i], nullptr);
    }
  }
  for (int32_t* anim : s.anims) EXPECT_EQ(anim, nullptr);

  OwnedSprite empty;
  EXPECT_EQ(CreateSprite(&empty.record, 0, 0, 72, 74, 0, 0, 0, 0, 8), 1);
  EXPECT_EQ(empty.record.frames[0], nullptr);
  OwnedSprite refused;
  EXPECT_EQ(CreateSprite(&refused.record, 0, 0, 8, 8, 65, 0, 0, 0, 8), 0) << "more frames than slots";
  EXPECT_EQ(CreateSprite(&refused.record, 0, 0, 8, 8, -1, 0, 0, 0, 8), 0);
  EXPECT_EQ(CreateSprite(&refused.record, 0, 0, 0, 8, 2, 0, 0, 0, 8), 0) << "the display refuses a 0-wide surface";
  EXPECT_EQ(CreateSprite(nullptr, 0, 0, 8, 8, 1, 0, 0, 0, 8), 0);
}

TEST_F(SpriteRecord, LoadSpriteFrameCutsCellsAndLeavesTheExtraColumns) {
  LoadedBitmap bitmap;
  LoadPattern(&bitmap, 300, 160);
  OwnedSprite sprite;
  sprite.record.extra_width = 2;
  ASSERT_EQ(CreateSprite(&sprite.record, 0, 0, 72, 74, 2, 0, DDSCAPS_SYSTEMMEMORY, 196, 8), 1);
  const SpriteFrame* frame = sprite.record.frames[1];
  // Cell (2, 1) of 72 x 74 cells starts at pixel (147, 76).
  ASSERT_EQ(LoadSpriteFrame(&sprite.record, &bitmap.record, 1, 2, 1, 0), 1);
  EXPECT_TRUE(sprite.record.attributes & SPRITE_LOADED);
  for (int y : {0, 40, 73})
    for (int x : {0, 35, 71}) EXPECT_EQ(FramePixel(frame, x, y), PatternAt(147 + x, 76 + y));
  for (int y : {0, 73}) EXPECT_EQ(FramePixel(frame, 72, y) | FramePixel(frame, 73, y), 0) << "extra columns";
  EXPECT_FALSE(frame->locked());
  ASSERT_EQ(LoadSpriteFrame(&sprite.record, &bitmap.record, 0, 228, 86, 1), 1) << "pixel mode, last position";
  EXPECT_EQ(FramePixel(sprite.record.frames[0], 71, 73), PatternAt(299, 159));

  OwnedSprite fresh;
  ASSERT_EQ(CreateSprite(&fresh.record, 0, 0, 72, 74, 2, 0, DDSCAPS_SYSTEMMEMORY, 196, 8), 1);
  EXPECT_EQ(LoadSpriteFrame(&fresh.record, &bitmap.record, 2, 0, 0, 0), 0) << "frame index at frame_count";
  EXPECT_EQ(LoadSpriteFrame(&fresh.record, &bitmap.record, -1, 0, 0, 0), 0);
  EXPECT_EQ(LoadSpriteFrame(&fresh.record, &bitmap.record, 64, 0, 0, 0), 0);
  EXPECT_EQ(LoadSpriteFrame(&fresh.record, &bitmap.record, 0, 4, 0, 0), 0) << "cell 4 ends past column 300";
  EXPECT_EQ(LoadSpriteFrame(&fresh.record, &bitmap.record, 0, 0, 2, 0), 0);
  EXPECT_EQ(LoadSpriteFrame(&fresh.record, &bitmap.record, 0, 229, 0, 1), 0);
  EXPECT_EQ(LoadSpriteFrame16(&fresh.record, &bitmap.record, 0, 0, 0, 0), 0) << "8-bit pixels, 8-bit frames";
  EXPECT_EQ(LoadSpriteFrame(&fresh.record, nullptr, 0, 0, 0, 0), 0);
  EXPECT_EQ(LoadSpriteFrame(nullptr, &bitmap.record, 0, 0, 0, 0), 0);
  EXPECT_FALSE(fresh.record.attributes & SPRITE_LOADED);
  EXPECT_EQ(FramePixel(fresh.record.frames[0], 0, 0), 0);
}

TEST_F(SpriteRecord, LoadSpriteAnimationKeepsCountMinusOneIndicesAndTheMarker) {
  OwnedSprite sprite;
  ASSERT_EQ(CreateSprite(&sprite.record, 0, 0, 8, 8, 0, SPRITE_MULTI_ANIM, 0, 0, 8), 1);
  const int32_t row[] = {8, 9, 10, 11, 99};
  ASSERT_EQ(LoadSpriteAnimation(&sprite.record, 3, 5, row), 1);
  EXPECT_EQ(std::vector<int32_t>(sprite.record.anims[3], sprite.record.anims[3] + 5),
            (std::vector<int32_t>{8, 9, 10, 11, -1}));
  ASSERT_EQ(LoadSpriteAnimation(&sprite.record, 3, 1, row), 1) << "replaces, and frees, the old sequence";
  EXPECT_EQ(sprite.record.anims[3][0], -1);
  EXPECT_EQ(LoadSpriteAnimation(&sprite.record, 15, 1, nullptr), 1) << "only the marker is stored";

  int32_t* kept = sprite.record.anims[3];
  for (const auto& [slot, count] : std::vector<std::pair<int32_t, int32_t>>{{16, 5}, {-1, 5}, {3, 0}, {3, -4}})
    EXPECT_EQ(LoadSpriteAnimation(&sprite.record, slot, count, row), 0) << slot << ", " << count;
  EXPECT_EQ(LoadSpriteAnimation(&sprite.record, 3, 5, nullptr), 0);
  EXPECT_EQ(LoadSpriteAnimation(nullptr, 0, 5, row), 0);
  EXPECT_EQ(sprite.record.anims[3], kept);
}

TEST_F(SpriteRecord, DestroyReleasesEachOwnedObjectOnceAndClonesOwnNothing) {
  LoadedBitmap bitmap;
  LoadPattern(&bitmap, 40, 20);
  OwnedSprite source;
  ASSERT_EQ(CreateSprite(&source.record, 5, 6, 8, 8, 2, SPRITE_MULTI_ANIM | SPRITE_VISIBLE, 0, 0, 8), 1);
  ASSERT_EQ(LoadSpriteFrame(&source.record, &bitmap.record, 0, 0, 0, 0), 1);
  const int32_t row[] = {0, 1, 0};
  ASSERT_EQ(LoadSpriteAnimation(&source.record, 0, 3, row), 1);
  SpriteFrame* frame = source.record.frames[0];
  frame->AddRef();  // our own reference tells how often the sprite released it

  OwnedSprite clone;
  EXPECT_EQ(CloneSprite(&source.record, &source.record), 0);
  EXPECT_EQ(CloneSprite(nullptr, &clone.record), 0);
  EXPECT_EQ(CloneSprite(&source.record, nullptr), 0);
  ASSERT_EQ(CloneSprite(&source.record, &clone.record), 1);
  EXPECT_EQ(clone.record.attributes, source.record.attributes | SPRITE_CLONE);
  EXPECT_EQ(clone.record.frames[0], frame);
  EXPECT_EQ(clone.record.x, 5.0f);
  EXPECT_EQ(LoadSpriteAnimation(&clone.record, 0, 3, row), 0) << "a clone cannot own a sequence";

  // The source reloads the slot its clone reads: the clone keeps the old sequence, intact
  // (the address sanitizer build checks that it was not freed).
  const int32_t* shared = clone.record.anims[0];
  const int32_t other[] = {1, 1, 1, 0};
  ASSERT_EQ(LoadSpriteAnimation(&source.record, 0, 4, other), 1);
  EXPECT_NE(source.record.anims[0], shared);
  EXPECT_EQ(std::vector<int32_t>(clone.record.anims[0], clone.record.anims[0] + 3), (std::vector<int32_t>{0, 1, -1}));
  ASSERT_EQ(SetSpriteAnimation(&clone.record, 0), 1);
  EXPECT_EQ(AnimateSprite(&clone.record), 1);

  ASSERT_EQ(DestroySprite(&clone.record), 1);
  EXPECT_EQ(clone.record.active, 0);
  EXPECT_EQ(clone.record.frames[0], nullptr);
  EXPECT_EQ(clone.record.anims[0], nullptr);
  EXPECT_EQ(source.record.anims[0][1], 1) << "the source's sequence survives its clone";
  EXPECT_EQ(source.record.anims[0][2], 1);
  EXPECT_EQ(DrawSprite(&source.record, back_surface), 1) << "and so do its frames";

  ASSERT_EQ(DestroySprite(&source.record), 1);
  EXPECT_EQ(source.record.active, 0);
  EXPECT_EQ(source.record.x, 5.0f) << "other fields keep their values";
  ASSERT_EQ(DestroySprite(&source.record), 1) << "a knocked-out thug is destroyed again at shutdown";
  EXPECT_EQ(frame->Release(), 0) << "the sprite released its reference exactly once";
  EXPECT_EQ(DestroySprite(nullptr), 0);
}

TEST_F(SpriteRecord, SettersStoreTheirValuesAndRefuseBadSlots) {
  OwnedSprite sprite;
  ASSERT_EQ(CreateSprite(&sprite.record, 0, 0, 8, 8, 0, SPRITE_MULTI_ANIM, 0, 0, 8), 1);
  EXPECT_EQ(SetSpritePosition(&sprite.record, -16, 200), 1);
  EXPECT_EQ(SetSpriteVelocity(&sprite.record, 3, -9), 1);
  EXPECT_EQ(SetSpriteAnimSpeed(&sprite.record, 4), 1);
  sprite.record.anim_step = 3;
  sprite.record.current_frame = 7;
  EXPECT_EQ(SetSpriteAnimation(&sprite.record, 12), 1);
  EXPECT_EQ(sprite.record.x, -16.0f);
  EXPECT_EQ(sprite.record.y, 200.0f);
  EXPECT_EQ(sprite.record.vel_x, 3.0f);
  EXPECT_EQ(sprite.record.vel_y, -9.0f);
  EXPECT_EQ(sprite.record.anim_speed, 4);
  EXPECT_EQ(sprite.record.current_anim, 12);
  EXPECT_EQ(sprite.record.anim_step, 0);
  EXPECT_EQ(sprite.record.current_frame, 7) << "the new sequence shows at the next step";
  EXPECT_EQ(SetSpriteAnimation(&sprite.record, 16), 0);
  EXPECT_EQ(SetSpriteAnimation(&sprite.record, -1), 0);
  EXPECT_EQ(sprite.record.current_anim, 12);
  EXPECT_EQ(ShowSprite(&sprite.record), 1);
  EXPECT_EQ(sprite.record.attributes, SPRITE_MULTI_ANIM | SPRITE_VISIBLE);
  EXPECT_EQ(HideSprite(&sprite.record), 1);
  EXPECT_EQ(sprite.record.attributes, SPRITE_MULTI_ANIM);
  for (int result : {SetSpritePosition(nullptr, 0, 0), SetSpriteVelocity(nullptr, 0, 0), SetSpriteAnimSpeed(nullptr, 0),
                     SetSpriteAnimation(nullptr, 0), ShowSprite(nullptr), HideSprite(nullptr)})
    EXPECT_EQ(result, 0);
}
