// One libdar3 player handle with its source: owns the handle and, for pushed streams, nothing
// else (the player copies every pushed block).
#pragma once

#include <string>

#include "dar3/dar3.h"

class Player {
 public:
  Player();
  ~Player();
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  MP3_HANDLE handle() const { return handle_; }
  // The player's own last message.
  std::string LastError() const;

  // Opens a file by name, or feeds it through OpenStream/PushDataToStream when as_stream is
  // set. buffer_ms 0 selects the no-output mode. On failure returns false; the message then
  // names the file.
  bool Open(const std::string& path, int buffer_ms, bool as_stream);
  // Text for the last failure of Open, or of any call checked with Check.
  const std::string& failure() const { return failure_; }
  // Records the player's message when ok is 0; returns ok != 0.
  bool Check(int ok);

 private:
  bool OpenAsStream(const std::string& path, int buffer_ms);

  MP3_HANDLE handle_ = nullptr;
  std::string failure_;
};
