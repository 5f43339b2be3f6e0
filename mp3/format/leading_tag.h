#pragma once
// An ID3v2 tag in front of the first frame: its size is in its header, so a stream that
// arrives in blocks knows how much data it has to take in before the first frame can be found.
#include <cstddef>
#include <cstdint>

// Bytes of the ID3v2 tag at `data` (header, body and footer); 0 when `data` does not begin
// with a well-formed tag header (10 bytes are needed).
uint64_t LeadingId3v2Size(const uint8_t* data, size_t size);

// Bytes a stream needs before it can be opened: a leading tag (or several in a row) plus room
// for the frames that prove the first one. 0 when the `size` bytes at hand suffice.
// `limit` caps the answer (the largest stream there can be).
uint64_t BytesNeededToOpen(const uint8_t* data, size_t size, uint64_t limit);

// After the tag: enough for the first frames and a VBR header, at any bit rate.
constexpr uint64_t kOpenWindowAfterTag = 16 * 1024;
