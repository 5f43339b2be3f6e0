#pragma once
#include <memory>
#include <string>

#include "mp3/id3/id3.h"
#include "tests/mp3/id3/tag_builder.h"

namespace id3_test {

// The stream in a heap block of exactly its size, so ASan sees any read past it.
class ExactStream {
 public:
  explicit ExactStream(const Bytes& bytes) : size_(bytes.size()), data_(new uint8_t[bytes.size() ? bytes.size() : 1]) {
    if (size_) std::memcpy(data_.get(), bytes.data(), size_);
  }
  std::span<const uint8_t> span() const { return {data_.get(), size_}; }

 private:
  size_t size_;
  std::unique_ptr<uint8_t[]> data_;
};

struct Loaded {
  int result = -1;
  MP3_ID3_FIELDS record{};
  const char* message = nullptr;

  bool AllNull() const {
    return !record.title && !record.artist && !record.album && !record.year && !record.comment && !record.track &&
           !record.genre;
  }
};

inline Loaded Load(id3::Id3Reader& reader, int version, const Bytes& stream) {
  ExactStream exact(stream);
  Loaded out;
  // Garbage first, to see that a failure really nulls every pointer.
  std::memset(&out.record, 0x5A, sizeof out.record);
  out.result = reader.Load(version, exact.span(), id3::HasId3v1(exact.span()), &out.record, &out.message);
  return out;
}

// Every text of the record as one line, in record order, for compact comparisons.
inline std::string Describe(const MP3_ID3_FIELDS& r) {
  auto s = [](const char* p) { return p ? std::string(p) : std::string("<null>"); };
  return "title=" + s(r.title) + "|artist=" + s(r.artist) + "|album=" + s(r.album) + "|year=" + s(r.year) +
         "|comment=" + s(r.comment) + "|track=" + s(r.track) + "|genre=" + s(r.genre);
}

}  // namespace id3_test
