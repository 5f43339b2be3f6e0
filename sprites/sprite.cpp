// Sprite records: creation, frames, sequences, copies and the setters.
#include "sprites/sprite.h"

#include <climits>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_set>

#include "display/bitmap_cells.h"

namespace {

// Sequences a clone has been given: the clone reads them for as long as its source lives, so
// a reload of the source's slot must leave them in place (they are freed with the source).
std::mutex shared_lock;
// Never destroyed: a sequence left to a clone stays reachable from here until the program ends.
std::unordered_set<const int32_t*>& shared_sequences = *new std::unordered_set<const int32_t*>;

void MarkShared(const int32_t* sequence) {
  if (sequence == nullptr) return;
  std::lock_guard<std::mutex> hold(shared_lock);
  shared_sequences.insert(sequence);
}

bool IsShared(const int32_t* sequence) {
  std::lock_guard<std::mutex> hold(shared_lock);
  return shared_sequences.count(sequence) != 0;
}

void FreeSequence(int32_t* sequence) {
  if (sequence == nullptr) return;
  {
    std::lock_guard<std::mutex> hold(shared_lock);
    shared_sequences.erase(sequence);
  }
  delete[] sequence;
}

bool FrameSlotExists(const Sprite* sprite, int32_t frame) {
  return frame >= 0 && frame < SPRITE_FRAME_SLOTS && frame < sprite->frame_count && sprite->frames[frame] != nullptr;
}

int LoadFrame(Sprite* sprite, const BitmapFile* bitmap, int32_t frame, int32_t cx, int32_t cy, int32_t mode, int bits) {
  if (sprite == nullptr || !FrameSlotExists(sprite, frame)) return 0;
  SpriteFrame* surface = sprite->frames[frame];
  if (surface->bits_per_pixel() != bits || sprite->width < 0 || sprite->height < 0) return 0;
  // Never write outside the surface, whatever width, height and extra_width say.
  if (sprite->width > surface->width() || sprite->height > surface->height()) return 0;
  int32_t pitch = 0;
  uint8_t* memory = LockSurface(surface, &pitch);
  if (memory == nullptr) return 0;
  const BitmapPoint origin = BitmapCellOrigin(cx, cy, sprite->width, sprite->height, mode);
  const bool copied = CopyBitmapRect(bitmap, origin, sprite->width, sprite->height, bits / 8, memory, pitch);
  UnlockSurface(surface);
  if (!copied) return 0;
  sprite->attributes |= SPRITE_LOADED;
  return 1;
}

}  // namespace

int CreateSprite(Sprite* sprite, int32_t x, int32_t y, int32_t width, int32_t height, int32_t frame_count,
                 int32_t attributes, uint32_t memory_flags, uint16_t color_key, int32_t bits_per_pixel) {
  if (sprite == nullptr || frame_count < 0 || frame_count > SPRITE_FRAME_SLOTS) return 0;
  sprite->active = 1;
  sprite->attributes = attributes;
  sprite->anim_done = 0;
  std::memset(sprite->counters, 0, sizeof(sprite->counters));
  sprite->current_frame = 0;
  sprite->frame_count = frame_count;
  sprite->bits_per_pixel = bits_per_pixel;
  sprite->current_anim = sprite->anim_ticks = sprite->anim_step = sprite->anim_speed = 0;
  sprite->x = static_cast<float>(x);
  sprite->y = static_cast<float>(y);
  sprite->vel_x = sprite->vel_y = 0.0f;
  sprite->width = width;
  sprite->height = height;
  for (auto& frame : sprite->frames) frame = nullptr;
  for (auto& anim : sprite->anims) anim = nullptr;

  const int64_t surface_width = int64_t{width} + sprite->extra_width;
  if (frame_count > 0 && (surface_width <= 0 || surface_width > INT32_MAX)) return 0;
  for (int32_t i = 0; i < frame_count; ++i) {
    // The surfaces made before a failure stay in their slots; DestroySprite releases them.
    sprite->frames[i] = CreateOffscreenSurface(static_cast<int32_t>(surface_width), height, memory_flags, color_key);
    if (sprite->frames[i] == nullptr) return 0;
  }
  return 1;
}

int DestroySprite(Sprite* sprite) {
  if (sprite == nullptr) return 0;
  const bool owns = !(sprite->attributes & SPRITE_CLONE);
  for (auto& frame : sprite->frames) {
    if (frame != nullptr && owns) frame->Release();
    frame = nullptr;
  }
  for (auto& anim : sprite->anims) {
    if (owns) FreeSequence(anim);
    anim = nullptr;
  }
  sprite->active = 0;
  return 1;
}

int CloneSprite(Sprite* source, Sprite* destination) {
  if (source == nullptr || destination == nullptr || source == destination) return 0;
  *destination = *source;
  destination->attributes |= SPRITE_CLONE;
  for (const int32_t* anim : source->anims) MarkShared(anim);
  return 1;
}

int LoadSpriteFrame(Sprite* sprite, const BitmapFile* bitmap, int32_t frame, int32_t cx, int32_t cy, int32_t mode) {
  return LoadFrame(sprite, bitmap, frame, cx, cy, mode, 8);
}

int LoadSpriteFrame16(Sprite* sprite, const BitmapFile* bitmap, int32_t frame, int32_t cx, int32_t cy, int32_t mode) {
  return LoadFrame(sprite, bitmap, frame, cx, cy, mode, 16);
}

int LoadSpriteAnimation(Sprite* sprite, int32_t slot, int32_t count, const int32_t* values) {
  if (sprite == nullptr || slot < 0 || slot >= SPRITE_ANIM_SLOTS || count < 1) return 0;
  if (count > 1 && values == nullptr) return 0;
  // A clone owns no sequence, so it could neither free the one it replaces nor its new one.
  if (sprite->attributes & SPRITE_CLONE) return 0;
  int32_t* sequence = new (std::nothrow) int32_t[static_cast<size_t>(count) + 1];
  if (sequence == nullptr) return 0;
  // The last of the count values is never used: count - 1 indices, then the marker.
  for (int32_t i = 0; i < count - 1; ++i) sequence[i] = values[i];
  sequence[count - 1] = SPRITE_ANIM_END;
  sequence[count] = SPRITE_ANIM_END;
  // The replaced sequence goes, unless a clone still reads it.
  if (!IsShared(sprite->anims[slot])) FreeSequence(sprite->anims[slot]);
  sprite->anims[slot] = sequence;
  return 1;
}

int SetSpritePosition(Sprite* sprite, int32_t x, int32_t y) {
  if (sprite == nullptr) return 0;
  sprite->x = static_cast<float>(x);
  sprite->y = static_cast<float>(y);
  return 1;
}

int SetSpriteVelocity(Sprite* sprite, int32_t vx, int32_t vy) {
  if (sprite == nullptr) return 0;
  sprite->vel_x = static_cast<float>(vx);
  sprite->vel_y = static_cast<float>(vy);
  return 1;
}

int SetSpriteAnimSpeed(Sprite* sprite, int32_t ticks_per_step) {
  if (sprite == nullptr) return 0;
  sprite->anim_speed = ticks_per_step;
  return 1;
}

int SetSpriteAnimation(Sprite* sprite, int32_t slot) {
  if (sprite == nullptr || slot < 0 || slot >= SPRITE_ANIM_SLOTS) return 0;
  sprite->current_anim = slot;
  sprite->anim_step = 0;
  return 1;
}

int HideSprite(Sprite* sprite) {
  if (sprite == nullptr) return 0;
  sprite->attributes &= ~SPRITE_VISIBLE;
  return 1;
}

int ShowSprite(Sprite* sprite) {
  if (sprite == nullptr) return 0;
  sprite->attributes |= SPRITE_VISIBLE;
  return 1;
}
