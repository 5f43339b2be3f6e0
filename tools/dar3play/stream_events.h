// What a web stream told since the last look (its station, a new title, a reconnect), as events
// the screen, the status lines and the remote protocol show, each once.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tools/dar3play/net/stream_notes.h"

struct StreamEvent {
  enum class Kind { kStation, kTitle, kConnection };
  Kind kind;
  std::string text;
};

// "Station: X", "Stream title: X", or the connection's news as it stands.
std::string StatusText(const StreamEvent& event);
// "station", "title" or "connection", as the remote protocol names them.
const char* EventName(StreamEvent::Kind kind);

class StreamEventLog {
 public:
  // Appends what changed in `notes` (null: no web stream is open) since the last call.
  void Follow(const std::shared_ptr<const StreamNotes>& notes);
  // Another song opens: whatever its notes tell is new.
  void Forget() {
    following_ = nullptr;
    seen_ = {};
  }
  const std::vector<StreamEvent>& events() const { return events_; }

 private:
  const StreamNotes* following_ = nullptr;
  StreamNotes::Snapshot seen_;
  std::vector<StreamEvent> events_;
};
