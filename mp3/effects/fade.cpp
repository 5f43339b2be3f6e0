#include "mp3/effects/fade.h"

#include <algorithm>

#include "dar3/dar3.h"
#include "mp3/effects/block_effects.h"

void FadeControl::SetPlayerVolume(uint32_t left, uint32_t right) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  volume_left_ = std::min<uint32_t>(left, 100);
  volume_right_ = std::min<uint32_t>(right, 100);
  level_ = 100.0;
  player_left_ = LoudnessFactor(volume_left_);
  player_right_ = LoudnessFactor(volume_right_);
  Recompute();
}

void FadeControl::GetPlayerVolume(int* left, int* right) const {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (left) *left = static_cast<int>(volume_left_);
  if (right) *right = static_cast<int>(volume_right_);
}

void FadeControl::Start(int mode, uint32_t frames, bool from_edge) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  ++generation_;
  if (mode == kFadeIn) {
    out_active_ = false;
    if (frames == 0) {
      level_ = 100.0;
      SetFadeFactors(1.0);
      return;
    }
    in_step_ = from_edge ? 100.0 / frames : std::max(0.0, (100.0 - level_) / frames);
    if (from_edge) level_ = 0.0;
    in_frames_ = frames;
    in_active_ = true;
    frames_done_ = 0;
  } else if (mode == kFadeOut) {
    in_active_ = false;
    if (frames == 0) {
      level_ = 0.0;
      SetFadeFactors(0.0);
      return;
    }
    out_step_ = from_edge ? 100.0 / frames : level_ / frames;
    if (from_edge) level_ = 100.0;
    out_frames_ = frames;
    out_active_ = true;
    frames_done_ = 0;
  }
}

void FadeControl::Reset() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  ++generation_;
  out_active_ = in_active_ = false;
  level_ = 100.0;
  SetFadeFactors(1.0);
}

void FadeControl::ClearNotices() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  out_started_ = in_started_ = false;
  out_ended_ = in_ended_ = true;
}

void FadeControl::SendOwedEnds(const Notify& notify) {
  std::unique_lock<std::recursive_mutex> guard(lock_);
  if (out_started_ && !out_ended_) {
    out_ended_ = true;
    Send(guard, notify, MP3_EVENT_FADE_OUT_END);
  }
  if (in_started_ && !in_ended_) {
    in_ended_ = true;
    Send(guard, notify, MP3_EVENT_FADE_IN_END);
  }
}

void FadeControl::SetFadeFactors(double factor) {
  fade_left_ = fade_right_ = factor;
  Recompute();
}

void FadeControl::Recompute() {
  total_left_ = player_left_ * fade_left_;
  total_right_ = player_right_ * fade_right_;
}

// Sends a notice with the lock let go: the answer may come from the callback thread, which
// may itself be waiting for this lock (a volume read from an earlier notice). Afterwards the
// step goes on only when nobody started, reset or ended a fade meanwhile.
bool FadeControl::Send(std::unique_lock<std::recursive_mutex>& guard, const Notify& notify, uint32_t event,
                       int32_t* answer) {
  const uint64_t generation = generation_;
  guard.unlock();
  const int32_t result = notify(event);
  guard.lock();
  if (answer) *answer = result;
  return generation_ == generation;
}

bool FadeControl::EndOut(std::unique_lock<std::recursive_mutex>& guard, const Notify& notify) {
  out_active_ = false;
  if (out_ended_) return true;
  out_ended_ = true;
  return Send(guard, notify, MP3_EVENT_FADE_OUT_END);
}

bool FadeControl::EndIn(std::unique_lock<std::recursive_mutex>& guard, const Notify& notify) {
  in_active_ = false;
  if (in_ended_) return true;
  in_ended_ = true;
  return Send(guard, notify, MP3_EVENT_FADE_IN_END);
}

void FadeControl::Step(const Notify& notify) {
  std::unique_lock<std::recursive_mutex> guard(lock_);
  if (out_active_) {
    if (in_started_ && !in_ended_ && !EndIn(guard, notify)) return;
    if (frames_done_ == 0) {
      // A new fade-out: an earlier one that never reported its end does so now.
      if (out_started_ && !out_ended_) {
        if (!EndOut(guard, notify)) return;
        out_active_ = true;
      }
      out_started_ = false;
    }
    if (!out_started_) {
      out_started_ = true;
      out_ended_ = false;
      int32_t answer = 0;
      if (!Send(guard, notify, MP3_EVENT_FADE_OUT_START, &answer)) return;
      if (answer == 1) {
        EndOut(guard, notify);
        return;
      }
    }
    if (frames_done_ < out_frames_) {
      level_ -= out_step_;
      if (level_ <= 0.0) {
        level_ = 0.0;
        SetFadeFactors(0.0);
        frames_done_ = out_frames_;
        EndOut(guard, notify);
      } else {
        SetFadeFactors(LoudnessFactor(level_));
        ++frames_done_;
      }
    } else {
      level_ = 0.0;
      SetFadeFactors(0.0);
      EndOut(guard, notify);
    }
    return;
  }
  if (in_active_) {
    if (out_started_ && !out_ended_ && !EndOut(guard, notify)) return;
    if (frames_done_ == 0) {
      if (in_started_ && !in_ended_) {
        if (!EndIn(guard, notify)) return;
        in_active_ = true;
      }
      in_started_ = false;
    }
    if (!in_started_) {
      in_started_ = true;
      in_ended_ = false;
      int32_t answer = 0;
      if (!Send(guard, notify, MP3_EVENT_FADE_IN_START, &answer)) return;
      if (answer == 1) {
        EndIn(guard, notify);
        return;
      }
    }
    if (level_ < 0.0) level_ = 0.0;
    if (frames_done_ < in_frames_) {
      level_ += in_step_;
      if (level_ >= 100.0) {
        level_ = 100.0;
        SetFadeFactors(1.0);
        frames_done_ = in_frames_;
        EndIn(guard, notify);
      } else {
        SetFadeFactors(LoudnessFactor(level_));
        ++frames_done_;
      }
    } else {
      level_ = 100.0;
      SetFadeFactors(1.0);
      EndIn(guard, notify);
    }
  }
}

double FadeControl::TotalLeft() const {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  return total_left_;
}
double FadeControl::TotalRight() const {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  return total_right_;
}
void FadeControl::Totals(double* left, double* right) const {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  *left = total_left_;
  *right = total_right_;
}
bool FadeControl::InActive() const {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  return in_active_;
}
bool FadeControl::OutActive() const {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  return out_active_;
}
bool FadeControl::Active() const {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  return out_active_ || in_active_;
}
double FadeControl::Level() const {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  return level_;
}
