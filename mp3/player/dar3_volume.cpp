// Device and player volume, fades, channel mixing and vocal cut. These only set what the
// decoding thread applies to each frame or block.
#include <algorithm>

#include "mp3/effects/block_effects.h"
#include "mp3/player/dar3_player.h"

namespace {
constexpr uint32_t kDeviceFull = 0xFFFF;
}  // namespace

void DAr3::SyncFadeSwitches() {
  // Under the fade's lock: the caller's thread and the decoding thread both sync, and the
  // switches must end up as the latest state, not an older snapshot written last.
  std::lock_guard<std::recursive_mutex> hold(fade_.Lock());
  double left = 1.0, right = 1.0;
  fade_.Totals(&left, &right);
  effects_.fade_in_active = fade_.InActive() ? 1 : 0;
  effects_.fade_out_active = fade_.OutActive() ? 1 : 0;
  effects_.volume_scaled = (left != 1.0 || right != 1.0) ? 1 : 0;
}

int DAr3::InternalVolume(int enable) {
  effects_.internal_volume = enable ? 1 : 0;
  return 1;
}

int DAr3::SetMasterVolume(unsigned int left, unsigned int right) {
  left = std::min(left, 100u);
  right = std::min(right, 100u);
  wave_.SetOutputVolume(left * kDeviceFull / 100, right * kDeviceFull / 100);
  return 1;
}

int DAr3::GetMasterVolume(int* left, int* right) {
  if (!left || !right) {
    SetError("GetVolume->Invalid parameters !");
    return 0;
  }
  uint32_t l = 0, r = 0;
  wave_.GetOutputVolume(&l, &r);
  *left = platform::MulDiv(int32_t(l), 100, int32_t(kDeviceFull));
  *right = platform::MulDiv(int32_t(r), 100, int32_t(kDeviceFull));
  return 1;
}

int DAr3::SetPlayerVolume(unsigned int left, unsigned int right) {
  fade_.SetPlayerVolume(left, right);
  SyncFadeSwitches();
  return 1;
}

int DAr3::GetPlayerVolume(int* left, int* right) {
  if (!left || !right) {
    SetError("GetVolume->Invalid parameters !");
    return 0;
  }
  fade_.GetPlayerVolume(left, right);
  return 1;
}

int DAr3::SetVolume(unsigned int left, unsigned int right) {
  return effects_.internal_volume ? SetPlayerVolume(left, right) : SetMasterVolume(left, right);
}

int DAr3::GetVolume(int* left, int* right) {
  return effects_.internal_volume ? GetPlayerVolume(left, right) : GetMasterVolume(left, right);
}

namespace {
// Frames a fade of `ms` lasts; 0 for a stream without a rate (64-bit, so long fades fit).
uint32_t FadeFrames(uint32_t ms, uint32_t sample_rate, uint32_t samples_per_frame) {
  const uint64_t denominator = uint64_t(samples_per_frame) * 1000;
  if (denominator == 0 || sample_rate == 0) return 0;
  const uint64_t frames = (uint64_t(ms) * sample_rate + denominator / 2) / denominator;
  return frames > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(frames);
}
int StartFade(DAr3* player, FadeControl& fade, const StreamFormat& f, int mode, int format, MP3_TIME* time,
              bool from_edge) {
  if (!time) {
    player->SetError("FadeVolume->MP3_TIME *pTime can't be 0");
    return 0;
  }
  if (mode != kFadeIn && mode != kFadeOut) {
    player->SetError("FadeVolume->Invalid fMode !");
    return 0;
  }
  fade.Start(mode, FadeFrames(TimeToMs(format, time), f.sample_rate, f.samples_per_frame), from_edge);
  return 1;
}

}  // namespace

int DAr3::FadeVolume(int mode, int format, MP3_TIME* time) {
  const int result = StartFade(this, fade_, Format(), mode, format, time, false);
  SyncFadeSwitches();
  return result;
}

int DAr3::FadeVolumeEx(int mode, int format, MP3_TIME* time) {
  const int result = StartFade(this, fade_, Format(), mode, format, time, true);
  SyncFadeSwitches();
  return result;
}

int DAr3::MixChannels(int enable, unsigned int left_percent, unsigned int right_percent) {
  mix_left_ = MixFactorFromPercent(left_percent);
  mix_right_ = MixFactorFromPercent(right_percent);
  effects_.mix_channels = enable ? 1 : 0;
  return 1;
}

int DAr3::VocalCut(int enable) {
  effects_.vocal_cut = enable ? 1 : 0;
  return 1;
}
