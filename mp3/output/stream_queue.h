#pragma once
// The FIFO of blocks pushed into a managed stream. The caller's thread appends at the newest
// end while the decoding thread reads and removes at the oldest; a lock guards both ends, and
// nobody holds it for longer than one copy.
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

class StreamQueue {
 public:
  struct ReadResult {
    uint32_t bytes = 0;    // bytes copied (or skipped)
    uint32_t used_up = 0;  // blocks the read finished and removed
  };

  StreamQueue(const StreamQueue&) = delete;
  StreamQueue& operator=(const StreamQueue&) = delete;

  // Appends a block at the newest end; false (queue unchanged) when memory runs out.
  bool Append(const void* data, uint32_t size);
  // Copies up to `wanted` bytes in order into `dest` (null skips them instead).
  ReadResult ReadInto(uint8_t* dest, uint32_t wanted);
  // Queued blocks and unread bytes, taken together; each saturates at INT32_MAX, the widest
  // figure the load record and the callback carry.
  struct Load {
    uint32_t blocks = 0;
    uint32_t unread = 0;
  };
  Load Figures() const;
  // Unread bytes, not saturated.
  uint64_t Unread() const;
  // Copies up to `wanted` unread bytes in order into `dest` and leaves them queued.
  uint64_t Peek(uint8_t* dest, uint64_t wanted) const;
  // True when a queued block was pushed from `data`.
  bool Contains(const void* data) const;
  void Clear();
  // The oldest block's own copy (copying queues only), kept alive by the holder.
  std::shared_ptr<const uint8_t[]> OldestCopy() const;

 protected:
  explicit StreamQueue(bool copies) : copies_(copies) {}

 private:
  struct Node {
    const uint8_t* read = nullptr;   // next unread byte
    uint32_t left = 0;               // unread bytes of this block
    const void* identity = nullptr;  // the caller's pointer
    uint32_t size = 0;
    std::shared_ptr<const uint8_t[]> copy;  // copying queues only
  };

  const bool copies_;
  mutable std::mutex lock_;
  std::deque<Node> nodes_;
  uint64_t total_ = 0;
  uint64_t unread_ = 0;
};

// Unbuffered mode: the queue holds the caller's own memory until it has been read.
class StreamBlockQueue : public StreamQueue {
 public:
  StreamBlockQueue() : StreamQueue(false) {}
};

// Buffered mode: every block is copied when it is pushed.
class StreamCopyQueue : public StreamQueue {
 public:
  StreamCopyQueue() : StreamQueue(true) {}
};
