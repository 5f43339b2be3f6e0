#pragma once
// Timed fades of the player's volume. The caller's thread starts a fade; the decoding thread
// advances it once per decoded frame. Both hold the fade lock while they touch it, and neither
// holds it while a notice is sent.
#include <cstdint>
#include <functional>
#include <mutex>

// fMode values.
constexpr int kFadeIn = 1;
constexpr int kFadeOut = 2;

class FadeControl {
 public:
  // Sends one fade notification (MP3_EVENT_FADE_*) and returns the synchronous answer.
  using Notify = std::function<int32_t(uint32_t event)>;

  // Player volume levels 0..100 per channel; resets the fade level to 100.
  void SetPlayerVolume(uint32_t left, uint32_t right);
  void GetPlayerVolume(int* left, int* right) const;

  // Starts a fade over `frames` decoded frames. from_edge: FadeVolumeEx (from silence in,
  // from full level out); otherwise from the current level. Zero frames jumps at once.
  void Start(int mode, uint32_t frames, bool from_edge);
  // One decoded frame of the running fade (decoding thread).
  void Step(const Notify& notify);
  // Back to full level with no fade running (a new source, the end of a run).
  void Reset();
  // A new run: every fade notification may go out again.
  void ClearNotices();
  // The end notices a run still owes (a fade that started but never reported its end).
  void SendOwedEnds(const Notify& notify);

  // Player factor x fade factor, per channel; what the volume stage multiplies by.
  double TotalLeft() const;
  double TotalRight() const;
  bool Scaling() const { return TotalLeft() != 1.0 || TotalRight() != 1.0; }
  // Both totals under one lock, so the pair always belongs together.
  void Totals(double* left, double* right) const;
  bool Active() const;
  bool InActive() const;
  bool OutActive() const;
  double Level() const;

  // Recursive: a fade notice answered on the decoding thread may start another fade.
  std::recursive_mutex& Lock() const { return lock_; }

 private:
  void SetFadeFactors(double factor);
  void Recompute();
  // Each returns false when the fade was started, reset or ended while the notice was out.
  bool Send(std::unique_lock<std::recursive_mutex>& guard, const Notify& notify, uint32_t event,
            int32_t* answer = nullptr);
  bool EndOut(std::unique_lock<std::recursive_mutex>& guard, const Notify& notify);
  bool EndIn(std::unique_lock<std::recursive_mutex>& guard, const Notify& notify);

  mutable std::recursive_mutex lock_;
  uint32_t volume_left_ = 100, volume_right_ = 100;
  double player_left_ = 1.0, player_right_ = 1.0;
  double level_ = 100.0;
  double fade_left_ = 1.0, fade_right_ = 1.0;
  double total_left_ = 1.0, total_right_ = 1.0;
  bool out_active_ = false, in_active_ = false;
  uint32_t out_frames_ = 0, in_frames_ = 0;
  double out_step_ = 0.0, in_step_ = 0.0;
  uint32_t frames_done_ = 0;
  uint64_t generation_ = 0;  // changes with every Start, Reset and EndRun
  // Once-flags of the notifications of the fade that runs (or ran) last in each direction.
  bool out_started_ = false, out_ended_ = true, in_started_ = false, in_ended_ = true;
};
