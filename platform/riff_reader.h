#pragma once
// A RIFF chunk reader over a whole file (mapped read-only), standing in for the multimedia file
// reader's descend/ascend/read. Every chunk found lies wholly inside its parent and the file:
// a size field that runs past either is a failure, so no read ever leaves the file.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"

namespace platform {

constexpr uint32_t RiffFourCc(char a, char b, char c, char d) {
  return static_cast<uint32_t>(static_cast<uint8_t>(a)) | static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}

struct RiffChunk {
  uint32_t id = 0;
  uint32_t size = 0;       // bytes of data, without the pad byte
  uint32_t form_type = 0;  // for RIFF and LIST chunks
  size_t data_offset = 0;  // where the data begins (after the form type for RIFF/LIST)
  size_t end = 0;          // one past the data
};

class RiffReader {
 public:
  // Maps the whole file; null when it cannot be opened.
  static std::unique_ptr<RiffReader> Open(const std::string& path);
  // Reads from bytes the caller keeps alive.
  RiffReader(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}

  // From the file's start, the first top-level "RIFF" chunk of that form type; enters it.
  bool FindRiff(uint32_t form_type, RiffChunk* chunk);
  // The chunk at the current position inside `parent`, whatever its id; enters it.
  bool DescendNext(const RiffChunk& parent, RiffChunk* chunk);
  // From the current position inside `parent`, the first chunk with this id; enters it.
  bool FindChunk(const RiffChunk& parent, uint32_t id, RiffChunk* chunk);
  // Moves past the chunk (and its pad byte).
  void Ascend(const RiffChunk& chunk);
  // Copies up to `bytes` from the current position, never past the chunk; returns the count.
  size_t Read(const RiffChunk& chunk, void* out, size_t bytes);

  size_t position() const { return position_; }

 private:
  bool ChunkAt(size_t offset, size_t limit, RiffChunk* chunk) const;
  uint32_t U32(size_t offset) const;

  std::unique_ptr<MappedFile> file_;
  const uint8_t* bytes_;
  size_t size_;
  size_t position_ = 0;
};

}  // namespace platform
