#include "tools/dar3play/player.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

namespace {
// Large enough for the opener to find a frame pair and any VBR header in the first block.
constexpr size_t kFirstStreamBlock = 64 * 1024;
constexpr size_t kPushBlock = 16 * 1024;
}  // namespace

Player::Player() : handle_(Mp3_Initialize()) {}

Player::~Player() {
  if (handle_) Mp3_Destroy(handle_);
}

std::string Player::LastError() const {
  if (!handle_) return "can't create the player";
  const int needed = Mp3_GetError(handle_, nullptr, 0);
  if (needed <= 1) return {};
  std::string text(size_t(needed), '\0');
  const int copied = Mp3_GetError(handle_, text.data(), needed);
  text.resize(size_t(copied > 0 ? copied : 0));
  return text;
}

bool Player::Check(int ok) {
  if (!ok) failure_ = LastError();
  return ok != 0;
}

bool Player::Open(const std::string& path, int buffer_ms, bool as_stream) {
  failure_.clear();
  if (!handle_) {
    failure_ = path + ": can't create the player";
    return false;
  }
  const bool ok = as_stream ? OpenAsStream(path, buffer_ms)
                            : Mp3_OpenFile(handle_, path.c_str(), buffer_ms, 0, 0) != 0;
  if (!ok && failure_.empty()) failure_ = path + ": " + LastError();
  return ok;
}

bool Player::OpenAsStream(const std::string& path, int buffer_ms) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    failure_ = path + ": can't read the file";
    return false;
  }
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (bytes.empty()) {
    failure_ = path + ": the file is empty";
    return false;
  }
  const size_t first = std::min(bytes.size(), kFirstStreamBlock);
  if (!Mp3_OpenStream(handle_, 1, 1, bytes.data(), unsigned(first), buffer_ms)) return false;
  // Buffered mode copies each block, so the whole file can be queued before playing.
  for (size_t at = first; at < bytes.size(); at += kPushBlock) {
    const size_t size = std::min(kPushBlock, bytes.size() - at);
    if (!Mp3_PushDataToStream(handle_, bytes.data() + at, unsigned(size))) return false;
  }
  return Mp3_PushDataToStream(handle_, nullptr, 0) != 0;
}
