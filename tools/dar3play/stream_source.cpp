#include "tools/dar3play/stream_source.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "tools/dar3play/net/url_password.h"

bool IsStandardInput(const std::string& path) { return path == "-"; }

std::string SourceName(const std::string& path) {
  return IsStandardInput(path) ? "standard input" : HidePassword(path);
}

namespace {

bool CheckStat(const struct stat& info, const std::string& name, bool pipes_too, std::string* why) {
  if (S_ISDIR(info.st_mode)) {
    *why = name + ": is a folder, not a file";
    return false;
  }
  if (S_ISFIFO(info.st_mode) && pipes_too) return true;
  if (!S_ISREG(info.st_mode)) {
    *why = name + ": not a file" + (S_ISFIFO(info.st_mode) ? " (a pipe plays with --stream)" : "");
    return false;
  }
  if (info.st_size == 0) {
    *why = name + ": the file is empty";
    return false;
  }
  if (uint64_t(info.st_size) > kMaxSongBytes) {
    *why = name + ": larger than a song can be (4 GiB)";
    return false;
  }
  return true;
}

}  // namespace

bool CheckSource(const std::string& path, bool pipes_too, std::string* why) {
  struct stat info {};
  const int status = IsStandardInput(path) ? ::fstat(STDIN_FILENO, &info) : ::stat(path.c_str(), &info);
  if (status != 0) {
    *why = SourceName(path) + ": " + std::strerror(errno);
    return false;
  }
  return CheckStat(info, SourceName(path), pipes_too, why);
}

std::unique_ptr<StreamSource> StreamSource::Open(const std::string& path, std::string* why) {
  if (!CheckSource(path, true, why)) return nullptr;
  if (IsStandardInput(path))
    return std::unique_ptr<StreamSource>(new StreamSource(STDIN_FILENO, false, SourceName(path)));
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *why = path + ": " + std::strerror(errno);
    return nullptr;
  }
  // What was opened is checked again: the path may have changed since.
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !CheckStat(info, path, true, why)) {
    if (why->empty()) *why = path + ": " + std::strerror(errno);
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<StreamSource>(new StreamSource(fd, true, path));
}

std::unique_ptr<StreamSource> StreamSource::Adopt(int fd, std::string name) {
  return std::unique_ptr<StreamSource>(new StreamSource(fd, true, std::move(name)));
}

StreamSource::~StreamSource() {
  if (owned_) ::close(fd_);
}

namespace {
constexpr int kStopCheckMs = 100;  // how soon a reader waiting for a pipe notices `stop`
}  // namespace

long StreamSource::ReadAtLeast(uint8_t* into, size_t size, size_t at_least, const std::atomic<bool>& stop,
                               std::string* why) {
  const uint64_t room = kMaxSongBytes - total_;
  if (size > room) size = size_t(room);
  at_least = std::min(at_least, size);
  size_t got = 0;
  while (got < at_least && !stop) {
    pollfd ready{fd_, POLLIN, 0};
    const int polled = ::poll(&ready, 1, kStopCheckMs);
    if (polled == 0 || (polled < 0 && errno == EINTR)) continue;
    const ssize_t n = ::read(fd_, into + got, size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *why = name_ + ": " + std::strerror(errno);
      return -1;
    }
    if (n == 0) break;
    got += size_t(n);
  }
  total_ += got;
  if (total_ == kMaxSongBytes && !truncated_) {
    uint8_t probe;
    truncated_ = ::read(fd_, &probe, 1) == 1;
  }
  return long(got);
}
