#include "tools/dar3play/plain_player.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "tools/dar3play/interrupt.h"
#include "tools/dar3play/printable_text.h"
#include "tools/dar3play/script_modes.h"
#include "tools/dar3play/stream_source.h"

namespace {

// Nothing is drawn, so the loop only has to notice the end of a track in good time.
constexpr auto kPollInterval = std::chrono::milliseconds(50);

std::string TrackLine(const PlayerControls& c) {
  const TrackInfo& info = c.info();
  std::string line = "Playing " + std::to_string(c.index() + 1) + "/" + std::to_string(c.count()) + ": " + c.Title();
  // A radio's tags are those of whatever it sent first; its own titles name the artist.
  if (!info.tags.artist.empty() && c.Station().empty()) line += " - " + info.tags.artist;
  // A web stream's length is only what has come so far.
  if (IsUrl(c.entry().location)) {
    if (!c.Station().empty()) line += " [" + c.Station() + "]";
  } else if (info.length.ms) {
    line += " (" + FormatClock(info.length.ms) + ")";
  }
  return Printable(line);
}

// A web stream's reconnects, one line each.
void PrintConnectionNews(const PlayerControls& c, bool quiet, size_t* shown) {
  for (; *shown < c.stream_events().size(); ++*shown) {
    const StreamEvent& event = c.stream_events()[*shown];
    if (!quiet && event.kind == StreamEvent::Kind::kConnection)
      std::printf("%s\n", Printable(SourceName(c.entry().location) + ": " + event.text).c_str());
  }
  std::fflush(stdout);
}

}  // namespace

void FailurePrinter::PrintNew() {
  for (; printed_ < c_.failures().size(); ++printed_) ReportError(Printable(c_.failures()[printed_]));
}

int RunPlainPlayer(PlayerControls* controls, bool quiet, bool stats) {
  CatchInterrupts();
  FailurePrinter failures(*controls);
  unsigned shown_serial = 0;
  std::string shown_title;
  size_t shown_events = 0;
  if (controls->Start()) {
    do {
      failures.PrintNew();
      // A web stream's new title is a new line too.
      if (!quiet && (controls->track_serial() != shown_serial || controls->Title() != shown_title)) {
        shown_serial = controls->track_serial();
        shown_title = controls->Title();
        std::printf("%s\n", TrackLine(*controls).c_str());
        std::fflush(stdout);
      }
      PrintConnectionNews(*controls, quiet, &shown_events);
      std::this_thread::sleep_for(kPollInterval);
    } while (!Interrupted() && controls->Tick());
  }
  failures.PrintNew();
  if (stats) std::fprintf(stderr, "dar3play: sound output opened %d time(s)\n", controls->output_opens());
  if (Interrupted()) return InterruptedStatus();
  return controls->failures().empty() ? 0 : 1;
}
