// One libdar3 player handle with its source: owns the handle and, for pushed streams, the
// thread that reads the source and pushes it block by block while the song plays (the player
// copies every pushed block).
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "dar3/dar3.h"
#include "tools/dar3play/replay_gain.h"

class ByteSource;
class StreamNotes;

class Player {
 public:
  Player();
  ~Player();
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  MP3_HANDLE handle() const { return handle_; }
  // Gapless decoding (on unless told otherwise) applies from the next Open.
  void SetGapless(bool on);
  // The player's last message, in the listener's words.
  std::string LastError() const;

  // Opens a file by name, or feeds it through OpenStream/PushDataToStream when as_stream is
  // set or the path is "-" (standard input). buffer_ms 0 selects the no-output mode. On failure
  // returns false; the message then names the file.
  bool Open(const std::string& path, int buffer_ms, bool as_stream);
  // The ReplayGain values of what was opened: from the file, or from a stream's first block.
  const ReplayGainInfo& replay_gain() const { return replay_gain_; }
  // Text for the last failure of Open, or of any call checked with Check.
  const std::string& failure() const { return failure_; }
  // Records the player's message when ok is 0; returns ok != 0.
  bool Check(int ok);

  // Opens a pushed stream on an open source and feeds it while the song plays.
  bool OpenStream(std::unique_ptr<ByteSource> source, int buffer_ms);
  // Reads the stream's first block into `first` and opens the stream on it, growing it while the
  // opener can't use it yet; false with the failure set, or with the player's text to tell.
  bool OpenOnFirstBlock(ByteSource& source, int buffer_ms, std::vector<uint8_t>* first);
  // Pushes blocks of the source until the stream has opened, appending them to `head`; false
  // with the failure set.
  bool PushUntilOpen(ByteSource& source, std::vector<uint8_t>* head);
  // Why the pushed stream's song ended before its source did (a read error, or more data than
  // a song can hold), empty while nothing went wrong. The song plays what was read.
  std::string StreamProblem() const;
  // What the web stream now open tells (station, title, connection news); null for others.
  std::shared_ptr<StreamNotes> stream_notes() const { return notes_; }

 private:
  bool OpenAsStream(const std::string& path, int buffer_ms);
  bool OpenUrl(const std::string& url, int buffer_ms);
  void SetStreamProblem(std::string text);
  // Pushes the rest of the source, never more than a bounded amount ahead of the decoder, and
  // ends the stream; stops early when the stream is closed or stop_feeding_ is set.
  void Feed(std::unique_ptr<ByteSource> source);
  void StopFeeding();

  MP3_HANDLE handle_ = nullptr;
  std::thread feeder_;
  std::atomic<bool> stop_feeding_{false};
  std::string failure_;
  ReplayGainInfo replay_gain_;
  mutable std::mutex problem_lock_;  // the feeder writes stream_problem_, the caller reads it
  std::string stream_problem_;
  std::shared_ptr<StreamNotes> notes_;
};
