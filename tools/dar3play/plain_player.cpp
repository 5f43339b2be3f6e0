#include "tools/dar3play/plain_player.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "tools/dar3play/interrupt.h"
#include "tools/dar3play/printable_text.h"
#include "tools/dar3play/script_modes.h"

namespace {

// Nothing is drawn, so the loop only has to notice the end of a track in good time.
constexpr auto kPollInterval = std::chrono::milliseconds(50);

std::string TrackLine(const PlayerControls& c) {
  const TrackInfo& info = c.info();
  std::string line = "Playing " + std::to_string(c.index() + 1) + "/" + std::to_string(c.count()) + ": " + c.Title();
  if (!info.tags.artist.empty()) line += " - " + info.tags.artist;
  if (info.length.ms) line += " (" + FormatClock(info.length.ms) + ")";
  return Printable(line);
}

}  // namespace

void FailurePrinter::PrintNew() {
  for (; printed_ < c_.failures().size(); ++printed_) ReportError(Printable(c_.failures()[printed_]));
}

int RunPlainPlayer(PlayerControls* controls, bool quiet, bool stats) {
  CatchInterrupts();
  FailurePrinter failures(*controls);
  unsigned shown_serial = 0;
  if (controls->Start()) {
    do {
      failures.PrintNew();
      if (!quiet && controls->track_serial() != shown_serial) {
        shown_serial = controls->track_serial();
        std::printf("%s\n", TrackLine(*controls).c_str());
        std::fflush(stdout);
      }
      std::this_thread::sleep_for(kPollInterval);
    } while (!Interrupted() && controls->Tick());
  }
  failures.PrintNew();
  if (stats) std::fprintf(stderr, "dar3play: sound output opened %d time(s)\n", controls->output_opens());
  if (Interrupted()) return InterruptedStatus();
  return controls->failures().empty() ? 0 : 1;
}
