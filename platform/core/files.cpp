#include "platform/files.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <utility>

namespace platform {
namespace {
// An empty file cannot be mapped; it is represented by a valid pointer to no bytes.
const uint8_t kEmpty[1] = {0};

struct Block {
  const uint8_t* data;
  size_t size;
};
std::mutex registry_lock;
std::map<std::pair<std::string, std::string>, Block>& Registry() {
  static std::map<std::pair<std::string, std::string>, Block> registry;
  return registry;
}
}  // namespace

bool RegularFileSize(const std::string& path, size_t* size) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);  // readable, as the player will need it
  if (fd < 0) return false;
  ::close(fd);
  if (size) *size = static_cast<size_t>(info.st_size);
  return true;
}

std::unique_ptr<MappedFile> MappedFile::Open(const std::string& path, std::string* error) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (error) *error = std::strerror(errno);
    return nullptr;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    if (error) *error = S_ISDIR(info.st_mode) ? "is a directory" : std::strerror(errno);
    ::close(fd);
    return nullptr;
  }
  size_t size = static_cast<size_t>(info.st_size);
  if (size == 0) {
    ::close(fd);
    return std::unique_ptr<MappedFile>(new MappedFile(kEmpty, 0));
  }
  void* view = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  ::close(fd);
  if (view == MAP_FAILED) {
    if (error) *error = std::strerror(errno);
    return nullptr;
  }
  return std::unique_ptr<MappedFile>(new MappedFile(static_cast<const uint8_t*>(view), size));
}

MappedFile::~MappedFile() {
  if (size_ != 0) ::munmap(const_cast<uint8_t*>(data_), size_);
}

bool RegisterResource(const std::string& name, const std::string& type, const void* data, size_t size) {
  if (!data && size) return false;
  std::lock_guard<std::mutex> guard(registry_lock);
  Registry()[{name, type}] = Block{static_cast<const uint8_t*>(data), size};
  return true;
}

bool UnregisterResource(const std::string& name, const std::string& type) {
  std::lock_guard<std::mutex> guard(registry_lock);
  return Registry().erase({name, type}) != 0;
}

const uint8_t* FindResource(const std::string& name, const std::string& type, size_t* size) {
  std::lock_guard<std::mutex> guard(registry_lock);
  auto found = Registry().find({name, type});
  if (found == Registry().end()) return nullptr;
  if (size) *size = found->second.size;
  return found->second.data ? found->second.data : kEmpty;
}

}  // namespace platform
