// What the player's stream feeder reads from: a file, a pipe, standard input or a web address.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // The name messages use.
  virtual const std::string& name() const = 0;
  // Reads up to `size` bytes, waiting until at least `at_least` of them have come (what has come
  // by then is taken too); fewer only at the end of the data or when `stop` is set while it
  // waits. Returns the count (0 at the end); -1 on a read error, with the message in *why.
  virtual long ReadAtLeast(uint8_t* into, size_t size, size_t at_least, const std::atomic<bool>& stop,
                           std::string* why) = 0;
  // Reads `size` bytes, fewer only at the end of the data or when stopped.
  long Read(uint8_t* into, size_t size, const std::atomic<bool>& stop, std::string* why) {
    return ReadAtLeast(into, size, size, stop, why);
  }
  // True once the source stopped at the song limit although more data was there.
  virtual bool truncated() const { return false; }
};
