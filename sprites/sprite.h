#pragma once
// Animated sprites: frame surfaces with a source colour key, animation sequences, and the
// per-frame animate, move, draw and collide operations. Plain records owned by the caller
// (zero-filled before first use); every operation returns 1 for success and 0 for failure.
#include <cstdint>

#include "display/bitmap.h"
#include "display/display.h"

using SpriteFrame = DisplaySurface;

constexpr int32_t SPRITE_ANIM_SLOTS = 16;
constexpr int32_t SPRITE_FRAME_SLOTS = 64;
constexpr int32_t SPRITE_ANIM_END = -1;  // end marker of an animation sequence

constexpr int32_t SPRITE_SINGLE_FRAME = 0x1;
constexpr int32_t SPRITE_MULTI_FRAME = 0x2;
constexpr int32_t SPRITE_MULTI_ANIM = 0x4;
constexpr int32_t SPRITE_ANIM_ONE_SHOT = 0x8;
constexpr int32_t SPRITE_VISIBLE = 0x10;
constexpr int32_t SPRITE_BOUNCE = 0x20;
constexpr int32_t SPRITE_WRAPAROUND = 0x40;
constexpr int32_t SPRITE_LOADED = 0x80;
constexpr int32_t SPRITE_CLONE = 0x100;

struct Sprite {
  int32_t active;
  int32_t anim_done;
  int32_t attributes;
  float x, y;
  float vel_x, vel_y;
  int32_t width, height;
  int32_t extra_width;  // extra columns of every frame surface; never drawn
  int32_t bits_per_pixel;
  int32_t counters[4];  // the caller's
  int32_t scratch_int[16];
  float scratch_float[16];
  int32_t current_frame;
  int32_t frame_count;
  int32_t current_anim;
  int32_t anim_ticks;
  int32_t anim_step;
  int32_t anim_speed;
  int32_t* anims[SPRITE_ANIM_SLOTS];  // sequences of frame indices ended by SPRITE_ANIM_END
  SpriteFrame* frames[SPRITE_FRAME_SLOTS];
};

// Creates frame_count frame surfaces of (width + extra_width) x height with colour key
// color_key. 0 when frame_count is outside 0..64 or a surface cannot be created.
int CreateSprite(Sprite* sprite, int32_t x, int32_t y, int32_t width, int32_t height, int32_t frame_count,
                 int32_t attributes, uint32_t memory_flags, uint16_t color_key, int32_t bits_per_pixel);
int DestroySprite(Sprite* sprite);
// Copies the whole record; the copy shares (and never releases) the source's frames and
// sequences, so the source must outlive it.
int CloneSprite(Sprite* source, Sprite* destination);
// Copies a width x height rectangle of the bitmap (mode 0: cell numbers, otherwise a pixel
// position) into frame slot `frame`. 0 when the frame does not exist, the pixel depths differ,
// or the rectangle does not lie inside the bitmap.
int LoadSpriteFrame(Sprite* sprite, const BitmapFile* bitmap, int32_t frame, int32_t cx, int32_t cy, int32_t mode);
int LoadSpriteFrame16(Sprite* sprite, const BitmapFile* bitmap, int32_t frame, int32_t cx, int32_t cy, int32_t mode);
// Stores the first count - 1 values followed by the end marker in slot 0..15, freeing the
// sequence it replaces. 0 for a bad slot, count below 1, a clone, or when memory runs out (the
// old sequence then stays).
int LoadSpriteAnimation(Sprite* sprite, int32_t slot, int32_t count, const int32_t* values);
int SetSpritePosition(Sprite* sprite, int32_t x, int32_t y);
int SetSpriteVelocity(Sprite* sprite, int32_t vx, int32_t vy);
int SetSpriteAnimSpeed(Sprite* sprite, int32_t ticks_per_step);
// Selects sequence slot 0..15 and restarts it; current_frame changes at the next step.
int SetSpriteAnimation(Sprite* sprite, int32_t slot);
int HideSprite(Sprite* sprite);
int ShowSprite(Sprite* sprite);

int AnimateSprite(Sprite* sprite);
int MoveSprite(Sprite* sprite);
// Blits the current frame at the sprite's position with its colour key; the destination's
// clipper does the clipping. 1 when drawn or invisible, 0 when the blit fails.
int DrawSprite(Sprite* sprite, DisplaySurface* destination);
int DrawSprite16(Sprite* sprite, DisplaySurface* destination);
int DrawSpriteScaled(Sprite* sprite, int32_t width, int32_t height, DisplaySurface* destination);
int DrawSpriteScaled16(Sprite* sprite, int32_t width, int32_t height, DisplaySurface* destination);
int SpritesCollide(const Sprite* a, const Sprite* b);
