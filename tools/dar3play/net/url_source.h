// A web address as a source of the player's stream: the audio of an HTTP(S) reply with its ICY
// metadata taken out (the station and the titles go to the notes), reconnecting a few times
// with growing pauses when the connection drops. A file served with its length resumes where
// it broke off; a radio stream goes on with what is on the air.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tools/dar3play/byte_source.h"
#include "tools/dar3play/net/http_connection.h"
#include "tools/dar3play/net/icy_metadata.h"
#include "tools/dar3play/net/stream_notes.h"
#include "tools/dar3play/net/url_password.h"

class UrlSource : public ByteSource {
 public:
  // Connects; null with the reason in *why ("URL: the server answered HTTP 404 Not Found").
  static std::unique_ptr<UrlSource> Open(const std::string& url, std::shared_ptr<StreamNotes> notes, std::string* why);
  // The address without its password: the name every message uses.
  const std::string& name() const override { return shown_; }
  // As ByteSource::ReadAtLeast; the end also comes past kMaxSongBytes in all.
  long ReadAtLeast(uint8_t* into, size_t size, size_t at_least, const std::atomic<bool>& stop,
                   std::string* why) override;
  bool truncated() const override { return truncated_; }

 private:
  UrlSource(std::string url, std::shared_ptr<StreamNotes> notes)
      : url_(std::move(url)), shown_(HidePassword(url_)), notes_(std::move(notes)) {}
  bool resumable() const { return total_ >= 0; }
  // One request, from where the data broke off when the reply has a length.
  bool Connect(const std::atomic<bool>& stop, std::string* why, long* status);
  // Reads one piece from the connection into audio_. False at the end of the data, with *why
  // set when it ended in failure.
  bool Pull(const std::atomic<bool>& stop, std::string* why);
  // After a drop: a few tries with growing pauses, counted until data comes again. False when
  // none worked: *why says why, and is empty when a radio stream has simply ended.
  bool Reconnect(const std::atomic<bool>& stop, std::string* why);

  std::string url_;
  std::string shown_;
  std::shared_ptr<StreamNotes> notes_;
  std::unique_ptr<HttpConnection> connection_;
  std::unique_ptr<IcySplitter> splitter_;
  bool radio_ = false;    // the server speaks ICY: a live stream that may be reconnected to
  int64_t total_ = -1;    // the body's size when the server gave it and it can be resumed
  uint64_t offset_ = 0;   // body bytes taken so far
  uint64_t skip_ = 0;     // bytes of a restarted reply that were taken before
  int failed_tries_ = 0;  // reconnects since data last came
  uint64_t handed_out_ = 0;
  bool truncated_ = false;
  bool ended_ = false;
  std::string failure_;         // why the data ended early, until it is reported
  std::vector<uint8_t> audio_;  // audio read but not handed out
  size_t audio_at_ = 0;
};
