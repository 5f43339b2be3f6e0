// Per-frame animation and movement of a sprite.
#include "sprites/sprite.h"

namespace {

void StepSequence(Sprite* sprite) {
  if (sprite->current_anim < 0 || sprite->current_anim >= SPRITE_ANIM_SLOTS) return;
  const int32_t* sequence = sprite->anims[sprite->current_anim];
  // An empty slot or a sequence of only the marker has nothing to show.
  if (sequence == nullptr || sequence[0] == SPRITE_ANIM_END) return;
  if (++sprite->anim_ticks < sprite->anim_speed) return;
  sprite->anim_ticks = 0;

  int32_t step = sprite->anim_step < 0 ? 0 : sprite->anim_step + 1;
  // The marker ends the sequence; a step past it (a shorter sequence loaded meanwhile) counts
  // as reaching it, so nothing is read beyond the end.
  int32_t length = 0;
  while (length < step && sequence[length] != SPRITE_ANIM_END) ++length;
  if (length == step && sequence[step] != SPRITE_ANIM_END) {
    sprite->current_frame = sequence[step];
  } else if (sprite->attributes & SPRITE_ANIM_ONE_SHOT) {
    sprite->anim_done = 1;
    step = length - 1;
    sprite->current_frame = sequence[step];
  } else {
    step = 0;
    sprite->current_frame = sequence[0];
  }
  sprite->anim_step = step;
}

}  // namespace

int AnimateSprite(Sprite* sprite) {
  if (sprite == nullptr) return 0;
  if (sprite->attributes & SPRITE_SINGLE_FRAME) {
    sprite->current_frame = 0;
  } else if (sprite->attributes & SPRITE_MULTI_FRAME) {
    if (++sprite->anim_ticks >= sprite->anim_speed) {
      sprite->anim_ticks = 0;
      if (++sprite->current_frame >= sprite->frame_count) sprite->current_frame = 0;
    }
  } else if (sprite->attributes & SPRITE_MULTI_ANIM) {
    StepSequence(sprite);
  }
  return 1;
}

int MoveSprite(Sprite* sprite) {
  if (sprite == nullptr) return 0;
  sprite->x += sprite->vel_x;
  sprite->y += sprite->vel_y;
  const float left = static_cast<float>(clip_left), right = static_cast<float>(clip_right);
  const float top = static_cast<float>(clip_top), bottom = static_cast<float>(clip_bottom);
  const float width = static_cast<float>(sprite->width), height = static_cast<float>(sprite->height);
  if (sprite->attributes & SPRITE_WRAPAROUND) {
    // Leaving one edge re-enters just outside the opposite one.
    if (sprite->x > right)
      sprite->x = left - width;
    else if (sprite->x < left - width)
      sprite->x = right;
    if (sprite->y > bottom)
      sprite->y = top - height;
    else if (sprite->y < top - height)
      sprite->y = bottom;
  } else if (sprite->attributes & SPRITE_BOUNCE) {
    // Only the velocity turns; the position comes back on later moves.
    if (sprite->x > right - width || sprite->x < left) sprite->vel_x = -sprite->vel_x;
    if (sprite->y > bottom - height || sprite->y < top) sprite->vel_y = -sprite->vel_y;
  }
  return 1;
}
