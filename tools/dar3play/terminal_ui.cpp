#include "tools/dar3play/terminal_ui.h"

#include <curses.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/dar3play/interrupt.h"
#include "tools/dar3play/player_controls.h"
#include "tools/dar3play/script_modes.h"
#include "tools/dar3play/sound_effects.h"
#include "tools/dar3play/spectrum_bars.h"

namespace {

// 25 refreshes a second; getch's timeout paces the loop, so idle costs nothing.
constexpr int kRefreshMs = 40;
constexpr int kSeekStepMs = 5000;
constexpr int kVolumeStep = 5;
constexpr int kFftPoints = 1024;
constexpr int kEscape = 27;


class Screen {
 public:
  Screen() {
    std::setlocale(LC_ALL, "");
    // Keys come from the terminal even when standard input carries the song ("-").
    if (!isatty(STDIN_FILENO)) keys_ = std::fopen("/dev/tty", "r");
    SCREEN* screen = keys_ ? newterm(nullptr, stdout, keys_) : nullptr;
    if (screen)
      set_term(screen);
    else
      initscr();
    cbreak();
    noecho();
    keypad(stdscr, TRUE);
    curs_set(0);
    set_escdelay(25);
    timeout(kRefreshMs);
  }
  ~Screen() {
    endwin();
    if (keys_) std::fclose(keys_);
  }

 private:
  FILE* keys_ = nullptr;
};

void Text(int row, int col, const std::string& text) {
  if (row < 0 || row >= LINES || col >= COLS) return;
  mvaddnstr(row, col, text.c_str(), COLS - col);
}

std::string Meter(int filled, int width, char mark) {
  filled = std::clamp(filled, 0, width);
  return std::string(size_t(filled), mark) + std::string(size_t(width - filled), ' ');
}

std::string OnOff(bool on) { return on ? "on" : "off"; }

class PlayerScreen {
 public:
  explicit PlayerScreen(PlayerControls* controls) : c_(controls) {}

  void Draw() {
    erase();
    const TrackInfo& info = c_->info();
    const int width = std::max(COLS, 20);
    Text(0, 0, "dar3play  " + std::to_string(c_->index() + 1) + "/" + std::to_string(c_->count()));
    Text(2, 0, "Title:  " + DisplayTitle(info));
    Text(3, 0, "Artist: " + info.tags.artist);
    Text(4, 0, "Album:  " + info.tags.album + (info.tags.year.empty() ? "" : "  (" + info.tags.year + ")"));
    Text(5, 0, "Format: " + DescribeFormat(info.format));
    DrawProgress(7, width);
    DrawVu(9, width);
    DrawSpectrum(12, width);
    DrawSettings(LINES - 5);
    Text(LINES - 3, 0, "Status: " + c_->status_line());
    Text(LINES - 2, 0, "Space pause  <-/-> seek 5s  Up/Down volume  n/p next/prev  r reverse  [ ] l loop");
    Text(LINES - 1, 0, "e echo  g equalizer  w window  v vocal cut  m mix  d device  f fade+quit  q quit");
    refresh();
  }

 private:
  void DrawProgress(int row, int width) {
    const MP3_STATUS status = c_->Status();
    const uint32_t length = c_->info().length.ms;
    const uint32_t at = std::min(c_->Position(), length);
    const char* state = status.paused ? "PAUSED" : status.playing ? (status.loop ? "LOOP" : "PLAYING") : "STOPPED";
    const std::string times = FormatClock(at) + " / " + FormatClock(length) + "  " + state +
                              (c_->position_estimated() ? " (est.)" : "");
    const int bar = std::max(10, width - int(times.size()) - 4);
    const int filled = length ? int(int64_t(at) * bar / length) : 0;
    std::string line = "[";
    line += Meter(filled, bar, '=');
    Text(row, 0, line + "] " + times);
  }

  void DrawVu(int row, int width) {
    unsigned left = 0, right = 0;
    const bool ok = Mp3_GetVUData(c_->handle(), &left, &right) != 0;
    const int bar = std::max(10, width - 10);
    Text(row, 0, "L [" + Meter(int(left) * bar / 100, bar, '#') + "]");
    Text(row + 1, 0, "R [" + Meter(int(right) * bar / 100, bar, '#') + "]");
    if (!ok) Text(row, 4, "VU: not available");
  }

  void DrawSpectrum(int row, int width) {
    const int height = std::max(2, LINES - 5 - row - 1);
    std::vector<int> freqs(kFftPoints / 2 + 1), left(freqs.size()), right(freqs.size());
    int count = 0;
    const int flags = FFT_OUT_HARMONIC_COUNT | FFT_OUT_HARMONIC_FREQ | FFT_OUT_LEFT_AMPLITUDE |
                      FFT_OUT_RIGHT_AMPLITUDE;
    if (!Mp3_GetFFTValues(c_->handle(), kFftPoints, c_->window_type(), flags, &count, freqs.data(),
                          left.data(), right.data(), nullptr, nullptr)) {
      Text(row, 0, "Spectrum: not available");
      return;
    }
    count = std::clamp(count, 0, int(freqs.size()));
    for (size_t i = 0; i < size_t(count); ++i) left[i] = std::max(left[i], right[i]);
    const int bars = std::max(1, (width - 2) / 2);
    const std::vector<int> heights = LogSpacedBars(freqs.data(), left.data(), count, bars, height);
    for (int line = 0; line < height; ++line) {
      std::string text;
      for (int h : heights) text += h >= height - line ? "| " : "  ";
      Text(row + line, 1, text);
    }
    Text(row + height, 1, "spectrum, " + std::string(WindowName(c_->window_type())) + " window");
  }

  void DrawSettings(int row) {
    const int echo = c_->echo_mode();
    const std::string loop = c_->loop_end() > c_->loop_start()
                                 ? FormatClock(c_->loop_start()) + "-" + FormatClock(c_->loop_end())
                                 : "from " + FormatClock(c_->loop_start());
    Text(row, 0, "Volume " + std::to_string(c_->volume()) + "  EQ " + EqPresetName(c_->eq_preset()) +
                     "  Echo " + (echo == kEchoOff ? std::string("off") : std::to_string(echo)) +
                     "  Vocal cut " + OnOff(c_->vocal_cut()) + "  Mix " + OnOff(c_->mix()) +
                     "  Reverse " + OnOff(c_->reverse()));
    Text(row + 1, 0, "Loop " + loop + "  Device " + c_->DeviceName());
  }

  PlayerControls* c_;
};

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void HandleKey(int key, PlayerControls* c) {
  switch (key) {
    case ' ': c->TogglePause(); break;
    case KEY_LEFT: c->SeekBy(-kSeekStepMs); break;
    case KEY_RIGHT: c->SeekBy(kSeekStepMs); break;
    case KEY_UP: c->ChangeVolume(kVolumeStep); break;
    case KEY_DOWN: c->ChangeVolume(-kVolumeStep); break;
    case 'n': c->Next(); break;
    case 'p': c->Previous(); break;
    case 'r': c->ToggleReverse(); break;
    case '[': c->MarkLoopStart(); break;
    case ']': c->MarkLoopEnd(); break;
    case 'l': c->ToggleLoop(); break;
    case 'e': c->CycleEcho(); break;
    case 'g': c->CycleEq(); break;
    case 'w': c->CycleWindow(); break;
    case 'v': c->ToggleVocalCut(); break;
    case 'm': c->ToggleMix(); break;
    case 'd': c->CycleDevice(); break;
    case 'f': c->FadeOutAndQuit(); break;
    case 'q':
    case kEscape: c->Quit(); break;
    default: break;
  }
}

}  // namespace

int RunTerminalUi(const Options& options) {
  PlayerControls controls(options);
  const auto started = std::chrono::steady_clock::now();
  const double cpu_at_start = CpuSeconds();
  long refreshes = 0;
  CatchInterrupts();
  {
    Screen screen;
    PlayerScreen view(&controls);
    if (controls.StartTrack(0)) {
      while (!Interrupted() && controls.Tick()) {
        view.Draw();
        ++refreshes;
        const int key = getch();
        if (key != ERR) HandleKey(key, &controls);
      }
    }
  }
  for (const std::string& failure : controls.failures()) ReportError(failure);
  if (options.stats) {
    // The whole process counts, decoding thread included: that is what the user pays.
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const double cpu = CpuSeconds() - cpu_at_start;
    std::fprintf(stderr, "dar3play: %ld refreshes in %.2f s (%.1f Hz), CPU %.3f s (%.2f%% of one core)\n",
                 refreshes, seconds, seconds > 0 ? refreshes / seconds : 0.0, cpu,
                 seconds > 0 ? 100.0 * cpu / seconds : 0.0);
  }
  return controls.failures().empty() ? 0 : 1;
}
