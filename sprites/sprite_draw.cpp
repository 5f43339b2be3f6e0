// Drawing sprites by one keyed blit each, and the overlap test.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "sprites/sprite.h"

namespace {

constexpr uint32_t kDrawFlags = platform::kBltWait | platform::kBltKeySrc;

// C's float-to-int conversion (toward zero), kept defined for positions far off any screen.
int32_t TruncateToInt(float value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483520.0f) return INT32_MAX;
  if (value <= -2147483648.0f) return INT32_MIN;
  return static_cast<int32_t>(value);
}

int BlitSprite(Sprite* sprite, int32_t width, int32_t height, DisplaySurface* destination) {
  if (sprite == nullptr) return 0;
  if (!(sprite->attributes & SPRITE_VISIBLE)) return 1;
  if (destination == nullptr) return 0;
  const int32_t frame = sprite->current_frame;
  if (frame < 0 || frame >= SPRITE_FRAME_SLOTS || sprite->frames[frame] == nullptr) return 0;
  // The sums are formed in floating point before truncation, as the game's positions expect.
  const platform::Rect target = {TruncateToInt(sprite->x), TruncateToInt(sprite->y),
                                 TruncateToInt(sprite->x + static_cast<float>(width)),
                                 TruncateToInt(sprite->y + static_cast<float>(height))};
  const platform::Rect source = {0, 0, sprite->width, sprite->height};
  return destination->Blt(&target, sprite->frames[frame], &source, kDrawFlags) ? 1 : 0;
}

struct CollisionBox {
  int32_t half_width, half_height;
  int32_t px, py;
};

// A box a little smaller than the frame, its reference point left of the frame's centre.
CollisionBox ShrunkenBox(const Sprite* sprite) {
  CollisionBox box{};
  box.half_width = (sprite->width >> 1) - (sprite->width >> 3);
  box.half_height = (sprite->height >> 1) - (sprite->height >> 3);
  box.px = TruncateToInt(static_cast<float>(box.half_width) + sprite->x);
  box.py = TruncateToInt(static_cast<float>(box.half_height) + sprite->y);
  return box;
}

}  // namespace

int DrawSprite(Sprite* sprite, DisplaySurface* destination) {
  return sprite == nullptr ? 0 : BlitSprite(sprite, sprite->width, sprite->height, destination);
}

int DrawSprite16(Sprite* sprite, DisplaySurface* destination) { return DrawSprite(sprite, destination); }

int DrawSpriteScaled(Sprite* sprite, int32_t width, int32_t height, DisplaySurface* destination) {
  return BlitSprite(sprite, width, height, destination);
}

int DrawSpriteScaled16(Sprite* sprite, int32_t width, int32_t height, DisplaySurface* destination) {
  return DrawSpriteScaled(sprite, width, height, destination);
}

int SpritesCollide(const Sprite* a, const Sprite* b) {
  if (a == nullptr || b == nullptr) return 0;
  const CollisionBox box_a = ShrunkenBox(a), box_b = ShrunkenBox(b);
  const int64_t dx = std::llabs(int64_t{box_b.px} - box_a.px);
  const int64_t dy = std::llabs(int64_t{box_b.py} - box_a.py);
  return dx < int64_t{box_a.half_width} + box_b.half_width && dy < int64_t{box_a.half_height} + box_b.half_height ? 1
                                                                                                                  : 0;
}
