#include "tools/dar3play/net/url_source.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "tools/dar3play/stream_source.h"

namespace {

constexpr int kReconnectTries = 3;
constexpr int kFirstPauseMs = 500;  // doubled before each further try
constexpr size_t kPiece = 16 * 1024;
constexpr long kHttpNotFound = 404;
constexpr long kHttpPartial = 206;

// Sleeps `ms`, or less when `stop` is set meanwhile.
void Pause(int ms, const std::atomic<bool>& stop) {
  for (int slept = 0; slept < ms && !stop; slept += 50) std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

}  // namespace

std::unique_ptr<UrlSource> UrlSource::Open(const std::string& url, std::shared_ptr<StreamNotes> notes,
                                           std::string* why) {
  std::unique_ptr<UrlSource> source(new UrlSource(url, std::move(notes)));
  const std::atomic<bool> never{false};
  std::string reason;
  long status = 0;
  if (!source->Connect(never, &reason, &status)) {
    *why = source->name() + ": " + reason;
    return nullptr;
  }
  return source;
}

bool UrlSource::Connect(const std::atomic<bool>& stop, std::string* why, long* status) {
  const bool resume = offset_ > 0 && resumable();
  connection_ = HttpConnection::Open(url_, resume ? offset_ : 0, stop, why, status);
  if (!connection_) return false;
  const HttpConnection::Reply& reply = connection_->reply();
  if (offset_ == 0) total_ = reply.content_length;
  // A server that ignores the range sends the whole file again: what was taken is passed over.
  if (resume && reply.status != kHttpPartial) skip_ = offset_;
  const size_t metaint = ParseMetaint(reply.metaint);
  radio_ = metaint != 0 || !reply.station.empty();
  if (radio_) total_ = -1;  // what is on the air now, not a file to resume
  splitter_ = std::make_unique<IcySplitter>(metaint);
  if (!reply.station.empty()) notes_->SetStation(reply.station);
  if (offset_ == 0) {
    notes_->SetBody(total_, radio_);
    notes_->ExpectMetadata(metaint != 0);
  }
  return true;
}

bool UrlSource::Pull(const std::atomic<bool>& stop, std::string* why) {
  uint8_t piece[kPiece];
  std::string lost;
  const long got = connection_->Read(piece, sizeof piece, stop, &lost);
  if (got > 0) {
    size_t from = 0;
    if (skip_) {
      from = size_t(std::min<uint64_t>(skip_, uint64_t(got)));
      skip_ -= from;
    }
    offset_ += uint64_t(got) - from;
    if (size_t(got) > from) failed_tries_ = 0;
    // audio_ starts at this byte of everything handed out.
    const uint64_t audio_start = handed_out_ - audio_at_;
    std::vector<IcyBlock> blocks;
    splitter_->Feed(piece + from, size_t(got) - from, &audio_, &blocks);
    for (const IcyBlock& block : blocks) {
      std::string title;
      if (FindStreamTitle(block.text, &title)) notes_->AddTitleAt(audio_start + block.audio_at, title);
    }
    if (!blocks.empty()) notes_->MetadataCame();
    return true;
  }
  if (stop) return false;
  if (resumable() && offset_ >= uint64_t(total_)) return false;  // all there
  if (!resumable() && !radio_) {
    // Without a length the server's close is the end; a break cannot be resumed.
    if (got < 0) *why = shown_ + ": " + lost;
    return false;
  }
  if (Reconnect(stop, why)) return true;
  if (stop) why->clear();
  if (!why->empty()) *why = shown_ + ": connection lost and not restored (" + *why + ")";
  return false;
}

bool UrlSource::Reconnect(const std::atomic<bool>& stop, std::string* why) {
  long status = 0;
  // Tries count until new data comes, so a connection that drops again at once is no way out.
  while (failed_tries_ < kReconnectTries && !stop) {
    ++failed_tries_;
    notes_->SetNews("connection lost; reconnecting (" + std::to_string(failed_tries_) + "/" +
                    std::to_string(kReconnectTries) + ")");
    Pause(kFirstPauseMs << (failed_tries_ - 1), stop);
    why->clear();
    status = 0;
    connection_.reset();
    if (Connect(stop, why, &status)) {
      notes_->SetNews("reconnected");
      return true;
    }
    if (radio_ && status == kHttpNotFound) break;
  }
  if (why->empty()) *why = "it kept breaking off";
  // A radio stream whose mount point is gone has ended on the server's side.
  if (radio_ && status == kHttpNotFound) {
    notes_->SetNews("the stream has ended");
    why->clear();
  } else {
    notes_->SetNews("connection lost; not restored");
  }
  return false;
}

long UrlSource::ReadAtLeast(uint8_t* into, size_t size, size_t at_least, const std::atomic<bool>& stop,
                            std::string* why) {
  // A radio stream runs for days, but one song's byte positions are 32-bit.
  const uint64_t room = kMaxSongBytes - handed_out_;
  if (size > room) size = size_t(room);
  if (size == 0 && !ended_) truncated_ = true;
  at_least = std::min(at_least, size);
  size_t got = 0;
  while (got < at_least && !stop) {
    if (audio_at_ < audio_.size()) {
      const size_t n = std::min(size - got, audio_.size() - audio_at_);
      std::memcpy(into + got, audio_.data() + audio_at_, n);
      got += n;
      audio_at_ += n;
      handed_out_ += n;
      continue;
    }
    audio_.clear();
    audio_at_ = 0;
    if (ended_ || !Pull(stop, &failure_)) {
      ended_ = ended_ || !stop;
      if (ended_) notes_->MetadataCame();  // none will come now
      break;
    }
  }
  // A failure is told once what was read before it has been handed out.
  if (got == 0 && !failure_.empty()) {
    *why = failure_;
    failure_.clear();
    return -1;
  }
  notes_->SetHandedOut(handed_out_);
  return long(got);
}
