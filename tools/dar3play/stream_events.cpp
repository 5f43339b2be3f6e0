#include "tools/dar3play/stream_events.h"

std::string StatusText(const StreamEvent& event) {
  switch (event.kind) {
    case StreamEvent::Kind::kStation: return "Station: " + event.text;
    case StreamEvent::Kind::kTitle: return "Stream title: " + event.text;
    case StreamEvent::Kind::kConnection: break;
  }
  return event.text;
}

const char* EventName(StreamEvent::Kind kind) {
  switch (kind) {
    case StreamEvent::Kind::kStation: return "station";
    case StreamEvent::Kind::kTitle: return "title";
    case StreamEvent::Kind::kConnection: break;
  }
  return "connection";
}

void StreamEventLog::Follow(const std::shared_ptr<const StreamNotes>& notes) {
  if (notes.get() != following_) {
    Forget();
    following_ = notes.get();
  }
  if (!notes) return;
  const StreamNotes::Snapshot now = notes->Get();
  if (now.serial == seen_.serial) return;
  if (now.station != seen_.station) events_.push_back({StreamEvent::Kind::kStation, now.station});
  if (now.title != seen_.title) events_.push_back({StreamEvent::Kind::kTitle, now.title});
  if (now.news != seen_.news) events_.push_back({StreamEvent::Kind::kConnection, now.news});
  seen_ = now;
}
