#include "tools/dar3play/effect_options.h"

#include "tools/dar3play/sound_effects.h"

bool ApplyEffectOptions(const Options& options, Player* player) {
  MP3_HANDLE h = player->handle();
  if (options.eq_preset > 0 && !player->Check(ApplyEqPreset(h, options.eq_preset))) return false;
  if (options.echo_mode != kEchoOff && !player->Check(ApplyEcho(h, options.echo_mode))) return false;
  if (options.volume >= 0 &&
      !player->Check(Mp3_SetPlayerVolume(h, unsigned(options.volume), unsigned(options.volume)))) {
    return false;
  }
  if (options.reverse && !player->Check(StartReverseFromEnd(h))) return false;
  return true;
}
