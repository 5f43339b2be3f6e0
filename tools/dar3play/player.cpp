#include "tools/dar3play/player.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "tools/dar3play/net/url_source.h"
#include "tools/dar3play/playlist.h"
#include "tools/dar3play/replay_gain_tags.h"
#include "tools/dar3play/stream_source.h"
#include "tools/dar3play/user_words.h"

namespace {
// A stream opens as soon as this much has come (half a second of a 128 kbit/s radio that sends
// in real time): room for a frame pair and any VBR header. What came beyond it by then is taken
// too, such as a server's opening burst.
constexpr size_t kFirstOpenTry = 8 * 1024;
// A head the opener can't use yet (junk before the first frames) grows up to this before the
// stream is given up as no MP3.
constexpr size_t kFirstStreamBlock = 64 * 1024;
constexpr size_t kPushBlock = 16 * 1024;
// How far the reader runs ahead of the decoder: a few seconds of any bit rate, so memory stays
// bounded whatever the source's size.
constexpr int32_t kMaxQueuedBytes = 1024 * 1024;
constexpr auto kQueueFullWait = std::chrono::milliseconds(20);
}  // namespace

Player::Player() : handle_(Mp3_Initialize()) { SetGapless(true); }

void Player::SetGapless(bool on) {
  if (handle_) Mp3_SetGapless(handle_, on ? 1 : 0);
}

Player::~Player() {
  StopFeeding();
  if (handle_) Mp3_Destroy(handle_);
}

std::string Player::LastError() const {
  if (!handle_) return "can't create the player";
  const int needed = Mp3_GetError(handle_, nullptr, 0);
  if (needed <= 1) return {};
  std::string text(size_t(needed), '\0');
  const int copied = Mp3_GetError(handle_, text.data(), needed);
  text.resize(size_t(copied > 0 ? copied : 0));
  return UserWords(text);
}

bool Player::Check(int ok) {
  if (!ok) failure_ = LastError();
  return ok != 0;
}

bool Player::Open(const std::string& path, int buffer_ms, bool as_stream) {
  StopFeeding();
  failure_.clear();
  replay_gain_ = {};
  notes_.reset();
  if (!handle_) {
    failure_ = SourceName(path) + ": can't create the player";
    return false;
  }
  if (IsUrl(path)) return OpenUrl(path, buffer_ms);
  as_stream = as_stream || IsStandardInput(path);
  bool ok = false;
  if (as_stream) {
    ok = OpenAsStream(path, buffer_ms);
  } else if (CheckSource(path, false, &failure_)) {
    ok = Mp3_OpenFile(handle_, path.c_str(), buffer_ms, 0, 0) != 0;
    if (ok) replay_gain_ = ReadReplayGain(path);
  }
  if (!ok && failure_.empty()) failure_ = SourceName(path) + ": " + LastError();
  return ok;
}

bool Player::OpenAsStream(const std::string& path, int buffer_ms) {
  std::unique_ptr<StreamSource> source = StreamSource::Open(path, &failure_);
  return source && OpenStream(std::move(source), buffer_ms);
}

bool Player::OpenUrl(const std::string& url, int buffer_ms) {
  notes_ = std::make_shared<StreamNotes>();
  std::unique_ptr<UrlSource> source = UrlSource::Open(url, notes_, &failure_);
  return source && OpenStream(std::move(source), buffer_ms);
}

bool Player::OpenStream(std::unique_ptr<ByteSource> source, int buffer_ms) {
  StopFeeding();
  stop_feeding_ = false;
  SetStreamProblem({});
  if (!handle_) {
    failure_ = source->name() + ": can't create the player";
    return false;
  }
  std::vector<uint8_t> first;
  if (!OpenOnFirstBlock(*source, buffer_ms, &first) || !PushUntilOpen(*source, &first)) {
    if (failure_.empty()) failure_ = source->name() + ": " + LastError();
    return false;
  }
  replay_gain_ = ReplayGainFromHead(std::span(first.data(), first.size()));
  // Even a short first block goes on through the feeder: it ends the stream, and tells a read
  // error the source kept until the block was handed over.
  feeder_ = std::thread(&Player::Feed, this, std::move(source));
  return true;
}

bool Player::OpenOnFirstBlock(ByteSource& source, int buffer_ms, std::vector<uint8_t>* first) {
  // A source that sends slowly (a radio in real time) starts playing once the opener has what
  // it needs, not after a fixed amount.
  for (size_t wanted = kFirstOpenTry;; wanted = std::min(2 * wanted, kFirstStreamBlock)) {
    const size_t had = first->size();
    first->resize(kFirstStreamBlock);
    const long got =
        source.ReadAtLeast(first->data() + had, kFirstStreamBlock - had, wanted - had, stop_feeding_, &failure_);
    first->resize(had + size_t(std::max(got, 0L)));
    if (got < 0) return false;
    if (first->empty()) {
      failure_ = source.name() + ": the file is empty";
      return false;
    }
    if (Mp3_OpenStream(handle_, 1, 1, first->data(), unsigned(first->size()), buffer_ms)) return true;
    const bool ended = first->size() < wanted;
    if (ended || first->size() >= kFirstStreamBlock) return false;
  }
}

bool Player::PushUntilOpen(ByteSource& source, std::vector<uint8_t>* head) {
  // A first block that ends inside a large ID3v2 tag (cover art) opens the stream once the
  // pushes reach its frames; until then it has no format to play or tell. What is pushed
  // meanwhile joins the head, where the first frame's LAME tag is found.
  std::vector<uint8_t> block(kFirstStreamBlock);
  MP3_STREAM_INFO info{};
  while (!Mp3_GetMp3Info(handle_, &info)) {
    const long got = source.ReadAtLeast(block.data(), block.size(), 1, stop_feeding_, &failure_);
    if (got < 0) return false;
    if (!Mp3_PushDataToStream(handle_, got > 0 ? block.data() : nullptr, unsigned(got))) return false;
    head->insert(head->end(), block.begin(), block.begin() + got);
    if (got == 0 && !Mp3_GetMp3Info(handle_, &info)) return false;
  }
  return true;
}

void Player::Feed(std::unique_ptr<ByteSource> source) {
  std::vector<uint8_t> block(kPushBlock);
  while (!stop_feeding_) {
    STREAM_LOAD_INFO load{};
    if (!Mp3_GetStreamLoad(handle_, &load)) return;  // closed: nobody wants the rest
    if (load.queued_bytes > kMaxQueuedBytes) {
      std::this_thread::sleep_for(kQueueFullWait);
      continue;
    }
    std::string error;
    // Whatever has come is pushed at once, so a slow source keeps the player fed.
    const long got = source->ReadAtLeast(block.data(), block.size(), 1, stop_feeding_, &error);
    if (got < 0) SetStreamProblem(error + " (the song ends where the reading stopped)");
    if (got <= 0) break;
    if (!Mp3_PushDataToStream(handle_, block.data(), unsigned(got))) return;
  }
  if (source->truncated())
    SetStreamProblem(source->name() + ": longer than a song can be (4 GiB); the rest is not played");
  if (!stop_feeding_) Mp3_PushDataToStream(handle_, nullptr, 0);
}

void Player::SetStreamProblem(std::string text) {
  std::lock_guard<std::mutex> hold(problem_lock_);
  stream_problem_ = std::move(text);
}

std::string Player::StreamProblem() const {
  std::lock_guard<std::mutex> hold(problem_lock_);
  return stream_problem_;
}

void Player::StopFeeding() {
  stop_feeding_ = true;
  if (feeder_.joinable()) feeder_.join();
}
