// Where dar3play's songs come from: the check every source passes in both modes (a folder, a
// device that is not a pipe, an empty file or one larger than a song can be are refused with one
// message each), and the reader that feeds a pushed stream from a file, a pipe or standard input
// ("-") in bounded blocks.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "tools/dar3play/byte_source.h"

// "-" means standard input.
bool IsStandardInput(const std::string& path);
// The name messages use for a source (a web address without its password).
std::string SourceName(const std::string& path);

// The most bytes one song can hold: a song's byte positions are 32-bit.
constexpr uint64_t kMaxSongBytes = 0xFFFFFFFEu;

// Checks what a path names before either mode opens it; pipes pass only when `pipes_too`.
// On refusal returns false with a message naming the source.
bool CheckSource(const std::string& path, bool pipes_too, std::string* why);

// An open source for a pushed stream.
class StreamSource : public ByteSource {
 public:
  // Opens a file or a pipe (or takes standard input for "-"), after CheckSource.
  static std::unique_ptr<StreamSource> Open(const std::string& path, std::string* why);
  // Takes an open descriptor the caller set up (a pipe, a terminal), named `name` in messages,
  // without the checks of Open; it is closed with the source.
  static std::unique_ptr<StreamSource> Adopt(int fd, std::string name);
  const std::string& name() const override { return name_; }
  ~StreamSource() override;
  StreamSource(const StreamSource&) = delete;
  StreamSource& operator=(const StreamSource&) = delete;

  // As ByteSource::ReadAtLeast; the end also comes past kMaxSongBytes in all.
  long ReadAtLeast(uint8_t* into, size_t size, size_t at_least, const std::atomic<bool>& stop,
                   std::string* why) override;
  bool truncated() const override { return truncated_; }

 private:
  StreamSource(int fd, bool owned, std::string name) : fd_(fd), owned_(owned), name_(std::move(name)) {}

  int fd_;
  bool owned_;
  std::string name_;
  uint64_t total_ = 0;
  bool truncated_ = false;
};
