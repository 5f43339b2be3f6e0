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
#include "tools/dar3play/printable_text.h"
#include "tools/dar3play/screen_layout.h"
#include "tools/dar3play/script_modes.h"
#include "tools/dar3play/sound_effects.h"
#include "tools/dar3play/spectrum_bars.h"

namespace {

// 25 refreshes a second; getch's timeout paces the loop, so idle costs nothing.
constexpr int kRefreshMs = 40;
constexpr int kPausedWaitMs = 500;
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

// Draws text cut to the screen's width, so no line runs into the next.
void Text(int row, int col, const std::string& text) {
  if (row < 0 || row >= LINES || col >= COLS) return;
  mvaddstr(row, col, CutToColumns(text, COLS - col).c_str());
}

std::string Meter(int filled, int width, char mark) {
  filled = std::clamp(filled, 0, width);
  return std::string(size_t(filled), mark) + std::string(size_t(width - filled), ' ');
}

std::string OnOff(bool on) { return on ? "on" : "off"; }

class PlayerScreen {
 public:
  explicit PlayerScreen(PlayerControls* controls) : c_(controls) {}

  void Draw(const std::string& typed_number) {
    erase();
    const TrackInfo& info = c_->info();
    for (const PlacedPart& p : PlanLayout(LINES)) {
      switch (p.part) {
        case ScreenPart::kHeader: Text(p.row, 0, Header()); break;
        case ScreenPart::kTitle: Text(p.row, 0, "Title:  " + Printable(c_->Title())); break;
        case ScreenPart::kArtist: Text(p.row, 0, "Artist: " + Printable(info.tags.artist)); break;
        case ScreenPart::kAlbum:
          if (!c_->Station().empty()) {
            Text(p.row, 0, "Station: " + Printable(c_->Station()));
            break;
          }
          Text(p.row, 0,
               "Album:  " + Printable(info.tags.album) +
                   (info.tags.year.empty() ? "" : "  (" + Printable(info.tags.year) + ")"));
          break;
        case ScreenPart::kFormat: Text(p.row, 0, "Format: " + DescribeFormat(info.format)); break;
        case ScreenPart::kProgress: DrawProgress(p.row); break;
        case ScreenPart::kVu: DrawVu(p.row); break;
        case ScreenPart::kSpectrum: DrawSpectrum(p.row, p.rows); break;
        case ScreenPart::kSettings: DrawSettings(p.row); break;
        case ScreenPart::kStatus:
          Text(p.row, 0,
               "Status: " + (typed_number.empty() ? Printable(c_->status_line()) : "Jump to " + typed_number + "_"));
          break;
        case ScreenPart::kKeys:
          Text(p.row, 0,
               "Space pause  <-/-> seek 5s  Up/Down volume  n/p next/prev  s shuffle  t repeat  NUM Enter jump");
          Text(p.row + 1, 0,
               "r reverse  [ ] l loop  e echo  g equalizer  w window  v vocal cut  m mix  d device  f fade  q quit");
          break;
        case ScreenPart::kTitleAndTime: DrawTitleAndTime(p.row); break;
      }
    }
    refresh();
  }

 private:
  std::string Header() const {
    std::string text = "dar3play  " + std::to_string(c_->index() + 1) + "/" + std::to_string(c_->count());
    if (c_->order().shuffled()) text += "  shuffle";
    if (c_->order().repeat() != RepeatMode::kOff) text += std::string("  repeat ") + RepeatName(c_->order().repeat());
    return text;
  }

  // "0:12 / 0:40  PLAYING" ("12:34  PLAYING  live" on the radio), shortened until it fits; the
  // time itself always stays.
  std::string Times(int width) {
    const MP3_STATUS status = c_->Status();
    const bool live = c_->live();
    const uint32_t length = c_->info().length.ms;
    const uint32_t at = live ? c_->Position() : std::min(c_->Position(), length);
    const std::string times = FormatClock(at) + (live ? "" : " / " + FormatClock(length));
    const char* state = status.paused ? "PAUSED" : status.playing ? (status.loop ? "LOOP" : "PLAYING") : "STOPPED";
    std::string full = times + "  " + state + (live ? "  live" : "") + (c_->position_estimated() ? " (est.)" : "");
    if (int(full.size()) <= width) return full;
    std::string compact = FormatClock(at) + (live ? "" : "/" + FormatClock(length));
    std::string shorter = compact + (status.paused ? " PAUSED" : "");
    if (int(shorter.size()) <= width) return shorter;
    return compact;
  }

  void DrawProgress(int row) {
    const uint32_t length = c_->info().length.ms;
    const uint32_t at = std::min(c_->Position(), length);
    const std::string times = Times(COLS);
    // The bar only where it leaves room for the time, and where there is an end to move towards.
    const int bar = COLS - int(times.size()) - 3;
    if (bar < 5 || c_->live()) {
      Text(row, 0, times);
      return;
    }
    const int filled = length ? int(int64_t(at) * bar / length) : 0;
    Text(row, 0, "[" + Meter(filled, bar, '=') + "] " + times);
  }

  void DrawTitleAndTime(int row) {
    const std::string times = Times(COLS);
    const int room = COLS - Columns(times) - 1;
    const std::string title = room > 0 ? CutToColumns(Printable(c_->Title()), room) : std::string();
    Text(row, 0, title);
    Text(row, std::max(0, COLS - Columns(times)), times);
  }

  void DrawVu(int row) {
    unsigned left = 0, right = 0;
    c_->Vu(&left, &right);
    const int bar = std::max(1, COLS - 5);
    Text(row, 0, "L [" + Meter(int(left) * bar / 100, bar, '#') + "]");
    Text(row + 1, 0, "R [" + Meter(int(right) * bar / 100, bar, '#') + "]");
  }

  void DrawSpectrum(int row, int rows) {
    const int height = rows - 1;  // the last row names the window
    std::vector<int> freqs(kFftPoints / 2 + 1), left(freqs.size()), right(freqs.size());
    int count = 0;
    if (!c_->Spectrum(kFftPoints, c_->window_type(), &count, freqs.data(), left.data(), right.data())) {
      Text(row, 0, "Spectrum: not available");
      return;
    }
    count = std::clamp(count, 0, int(freqs.size()));
    for (size_t i = 0; i < size_t(count); ++i) left[i] = std::max(left[i], right[i]);
    const int bars = std::max(1, (COLS - 2) / 2);
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
    Text(row, 0,
         "Volume " + std::to_string(c_->volume()) + "  EQ " + EqPresetName(c_->eq_preset()) + "  Echo " +
             (echo == kEchoOff ? std::string("off") : std::to_string(echo)) + "  Vocal cut " + OnOff(c_->vocal_cut()) +
             "  Mix " + OnOff(c_->mix()) + "  Reverse " + OnOff(c_->reverse()));
    Text(row + 1, 0, "Loop " + loop + "  Device " + Printable(c_->DeviceName()));
  }

  PlayerControls* c_;
};

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Digits typed before Enter name the entry to jump to.
class NumberEntry {
 public:
  // True when the key belonged to a number being typed.
  bool Take(int key, PlayerControls* c) {
    if (key >= '0' && key <= '9' && typed_.size() < 9) {
      typed_ += char(key);
      return true;
    }
    if (typed_.empty()) return false;
    if (key == '\n' || key == '\r' || key == KEY_ENTER) c->JumpTo(std::stoul(typed_));
    if (key == KEY_BACKSPACE || key == 127 || key == 8) {
      typed_.pop_back();
      return true;
    }
    typed_.clear();
    return key == '\n' || key == '\r' || key == KEY_ENTER || key == kEscape;
  }
  const std::string& typed() const { return typed_; }

 private:
  std::string typed_;
};

void HandleKey(int key, PlayerControls* c) {
  switch (key) {
    case ' ': c->TogglePause(); break;
    case KEY_LEFT: c->SeekBy(-kSeekStepMs); break;
    case KEY_RIGHT: c->SeekBy(kSeekStepMs); break;
    case KEY_UP: c->ChangeVolume(kVolumeStep); break;
    case KEY_DOWN: c->ChangeVolume(-kVolumeStep); break;
    case 'n': c->Next(); break;
    case 'p': c->Previous(); break;
    case 's': c->ToggleShuffle(); break;
    case 't': c->CycleRepeat(); break;
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

int RunTerminalUi(PlayerControls* controls, const Options& options) {
  const auto started = std::chrono::steady_clock::now();
  const double cpu_at_start = CpuSeconds();
  long refreshes = 0;
  CatchInterrupts();
  {
    Screen screen;
    PlayerScreen view(controls);
    NumberEntry number;
    if (controls->Start()) {
      bool draw = true;
      while (!Interrupted() && controls->Tick()) {
        if (draw) {
          view.Draw(number.typed());
          ++refreshes;
        }
        const bool paused = controls->Status().paused;
        // Paused, nothing moves: wait longer and draw only what a key or a resize changes.
        timeout(paused ? kPausedWaitMs : kRefreshMs);
        const unsigned serial = controls->track_serial();
        const int key = getch();
        if (key != ERR && !number.Take(key, controls)) HandleKey(key, controls);
        draw = !paused || key != ERR || serial != controls->track_serial();
      }
    }
  }
  for (const std::string& failure : controls->failures()) ReportError(Printable(failure));
  if (options.stats) {
    // The whole process counts, decoding thread included: that is what the user pays.
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const double cpu = CpuSeconds() - cpu_at_start;
    std::fprintf(stderr, "dar3play: %ld refreshes in %.2f s (%.1f Hz), CPU %.3f s (%.2f%% of one core)\n", refreshes,
                 seconds, seconds > 0 ? refreshes / seconds : 0.0, cpu, seconds > 0 ? 100.0 * cpu / seconds : 0.0);
  }
  if (Interrupted()) return InterruptedStatus();
  return controls->failures().empty() ? 0 : 1;
}
