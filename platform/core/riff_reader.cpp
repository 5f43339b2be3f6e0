#include "platform/riff_reader.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {
constexpr uint32_t kRiff = RiffFourCc('R', 'I', 'F', 'F');
constexpr uint32_t kList = RiffFourCc('L', 'I', 'S', 'T');
constexpr size_t kHeaderBytes = 8;
}  // namespace

std::unique_ptr<RiffReader> RiffReader::Open(const std::string& path) {
  auto file = MappedFile::Open(path);
  if (!file) return nullptr;
  auto reader = std::make_unique<RiffReader>(file->data(), file->size());
  reader->file_ = std::move(file);
  return reader;
}

uint32_t RiffReader::U32(size_t offset) const {
  const uint8_t* p = bytes_ + offset;
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool RiffReader::ChunkAt(size_t offset, size_t limit, RiffChunk* chunk) const {
  limit = std::min(limit, size_);
  if (offset > limit || limit - offset < kHeaderBytes) return false;
  RiffChunk found;
  found.id = U32(offset);
  found.size = U32(offset + 4);
  found.data_offset = offset + kHeaderBytes;
  const bool container = found.id == kRiff || found.id == kList;
  if (found.size > limit - found.data_offset) {
    // Writers that could not seek back leave a container's size too large (or count a pad
    // byte they never wrote): its chunks still end where the file or the parent does. A chunk
    // of data that runs past them is truncated and refused.
    if (!container) return false;
    found.size = static_cast<uint32_t>(limit - found.data_offset);
  }
  found.end = found.data_offset + found.size;
  if (container) {
    if (found.size < 4) return false;
    found.form_type = U32(found.data_offset);
    found.data_offset += 4;
  }
  *chunk = found;
  return true;
}

bool RiffReader::FindRiff(uint32_t form_type, RiffChunk* chunk) {
  size_t offset = 0;
  RiffChunk found;
  while (ChunkAt(offset, size_, &found)) {
    if (found.id == kRiff && found.form_type == form_type) {
      *chunk = found;
      position_ = found.data_offset;
      return true;
    }
    offset = found.end + (found.size & 1);
  }
  return false;
}

bool RiffReader::DescendNext(const RiffChunk& parent, RiffChunk* chunk) {
  RiffChunk found;
  if (position_ < parent.data_offset || !ChunkAt(position_, parent.end, &found)) return false;
  *chunk = found;
  position_ = found.data_offset;
  return true;
}

bool RiffReader::FindChunk(const RiffChunk& parent, uint32_t id, RiffChunk* chunk) {
  size_t offset = std::max(position_, parent.data_offset);
  RiffChunk found;
  while (ChunkAt(offset, parent.end, &found)) {
    if (found.id == id) {
      *chunk = found;
      position_ = found.data_offset;
      return true;
    }
    offset = found.end + (found.size & 1);
  }
  return false;
}

void RiffReader::Ascend(const RiffChunk& chunk) { position_ = std::min(chunk.end + (chunk.size & 1), size_); }

size_t RiffReader::Read(const RiffChunk& chunk, void* out, size_t bytes) {
  if (position_ < chunk.data_offset || position_ >= chunk.end) return 0;
  size_t count = std::min(bytes, chunk.end - position_);
  std::memcpy(out, bytes_ + position_, count);
  position_ += count;
  return count;
}

}  // namespace platform
