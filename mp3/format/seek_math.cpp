#include "mp3/format/seek_math.h"

#include "dar3/dar3.h"

uint32_t SeekTargetByte(int move_method, uint32_t b, uint32_t p, uint32_t d) {
  switch (move_method) {
    case MOVE_FROM_START: return b > d ? d : b;
    case MOVE_FROM_END: return b > d ? 0 : d - b;
    case MOVE_FORWARD: return (p > d || b > d - p) ? d : p + b;
    case MOVE_BACKWARD: return b > p ? 0 : p - b;
    default: return 0;
  }
}

uint32_t ScaleSaturated(uint64_t value, uint64_t numerator, uint64_t denominator) {
  if (denominator == 0) return 0;
  const unsigned __int128 product = static_cast<unsigned __int128>(value) * numerator + denominator / 2;
  const unsigned __int128 result = product / denominator;
  return result > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(result);
}

uint32_t ByteToMs(const SeekGeometry& g, uint32_t m) {
  if (g.data_size == 0) return 0;
  if (!g.toc) return ScaleSaturated(m, g.song_length_ms, g.data_size);
  uint32_t x = static_cast<uint32_t>(static_cast<uint64_t>(m) * 256 / g.data_size);
  int hi = -1;
  for (int i = 0; i < 100; ++i)
    if (g.toc[i] > x) {
      hi = i;
      break;
    }
  int lo;
  if (hi < 0) {
    hi = 99;
    lo = 0;
  } else {
    lo = hi == 0 ? 0 : hi - 1;
  }
  double t_lo = static_cast<double>(g.song_length_ms) * lo / 100.0;
  double t_hi = static_cast<double>(g.song_length_ms) * hi / 100.0;
  double b_lo = static_cast<double>(g.data_size) / 256.0 * g.toc[lo];
  double b_hi = static_cast<double>(g.data_size) / 256.0 * g.toc[hi];
  double fraction = b_hi > b_lo ? (m - b_lo) / (b_hi - b_lo) : 0.0;
  double ms = t_lo + (t_hi - t_lo) * fraction;
  return ms <= 0 ? 0 : Saturate32(static_cast<uint64_t>(ms));
}

uint32_t SeekTargetMs(int move_method, uint32_t t, uint32_t position, uint32_t length) {
  switch (move_method) {
    case MOVE_FROM_START: return t;
    case MOVE_FROM_END: return t > length ? 0 : length - t;
    case MOVE_FORWARD: return position + t < position ? 0xFFFFFFFFu : position + t;
    case MOVE_BACKWARD: return t > position ? 0 : position - t;
    default: return 0;
  }
}

uint32_t MsToByte(const SeekGeometry& g, uint32_t r) {
  if (g.song_length_ms == 0) return 0;
  if (!g.toc) return static_cast<uint32_t>(static_cast<double>(r) / g.song_length_ms * g.data_size);
  double percent = static_cast<double>(r) * 100.0 / g.song_length_ms;
  int i = static_cast<int>(percent);
  if (i > 99) i = 99;
  double a = g.toc[i];
  double b = i > 98 ? 256.0 : g.toc[i + 1];
  double f = a + (b - a) * (percent - i);
  // The table counts from the Xing frame, which the data starts after.
  const double from_xing = (static_cast<double>(g.data_size) + g.xing_frame_length) / 256.0 * f;
  return from_xing <= g.xing_frame_length ? 0 : static_cast<uint32_t>(from_xing - g.xing_frame_length);
}
