#include "mp3/output/stream_queue.h"

#include <climits>
#include <cstring>
#include <new>

bool StreamQueue::Append(const void* data, uint32_t size) {
  if (!data || size == 0) return false;
  Node node;
  node.identity = data;
  node.size = size;
  node.left = size;
  try {
    if (copies_) {
      std::shared_ptr<uint8_t[]> copy(new uint8_t[size]);
      std::memcpy(copy.get(), data, size);
      node.read = copy.get();
      node.copy = std::move(copy);
    } else {
      node.read = static_cast<const uint8_t*>(data);
    }
    std::lock_guard<std::mutex> guard(lock_);
    nodes_.push_back(std::move(node));
    total_ += size;
    unread_ += size;
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

StreamQueue::ReadResult StreamQueue::ReadInto(uint8_t* dest, uint32_t wanted) {
  ReadResult result;
  std::lock_guard<std::mutex> guard(lock_);
  while (result.bytes < wanted && !nodes_.empty()) {
    Node& oldest = nodes_.front();
    const uint32_t take = wanted - result.bytes < oldest.left ? wanted - result.bytes : oldest.left;
    if (dest) std::memcpy(dest + result.bytes, oldest.read, take);
    oldest.read += take;
    oldest.left -= take;
    result.bytes += take;
    unread_ -= take;
    if (oldest.left == 0) {
      total_ -= oldest.size;
      nodes_.pop_front();
      ++result.used_up;
    }
  }
  return result;
}

StreamQueue::Load StreamQueue::Figures() const {
  std::lock_guard<std::mutex> guard(lock_);
  Load load;
  load.blocks = nodes_.size() > INT32_MAX ? uint32_t(INT32_MAX) : uint32_t(nodes_.size());
  load.unread = unread_ > INT32_MAX ? uint32_t(INT32_MAX) : uint32_t(unread_);
  return load;
}

uint64_t StreamQueue::Unread() const {
  std::lock_guard<std::mutex> guard(lock_);
  return unread_;
}

uint64_t StreamQueue::Peek(uint8_t* dest, uint64_t wanted) const {
  std::lock_guard<std::mutex> guard(lock_);
  uint64_t copied = 0;
  for (const Node& node : nodes_) {
    if (copied == wanted) break;
    const uint64_t take = wanted - copied < node.left ? wanted - copied : node.left;
    std::memcpy(dest + copied, node.read, take);
    copied += take;
  }
  return copied;
}

bool StreamQueue::Contains(const void* data) const {
  std::lock_guard<std::mutex> guard(lock_);
  for (const Node& node : nodes_)
    if (node.identity == data) return true;
  return false;
}

void StreamQueue::Clear() {
  std::deque<Node> gone;
  {
    std::lock_guard<std::mutex> guard(lock_);
    gone.swap(nodes_);
    total_ = 0;
    unread_ = 0;
  }
  // The copies are freed outside the lock.
}

std::shared_ptr<const uint8_t[]> StreamQueue::OldestCopy() const {
  std::lock_guard<std::mutex> guard(lock_);
  return nodes_.empty() ? nullptr : nodes_.front().copy;
}
