#pragma once
// Read-only whole-file mappings and the registry of embedded data blocks that stands in for
// module resources.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// The size of a regular file; false when it cannot be opened or is not one.
bool RegularFileSize(const std::string& path, size_t* size);

class MappedFile {
 public:
  // Maps the whole file read-only. Null on failure, with the reason in *error when given.
  static std::unique_ptr<MappedFile> Open(const std::string& path, std::string* error = nullptr);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  MappedFile(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  const uint8_t* data_;
  size_t size_;
};

// Module resources: a program registers read-only blocks under a (name, type) pair; the
// player's OpenResource finds them. The bytes must outlive their registration.
bool RegisterResource(const std::string& name, const std::string& type, const void* data, size_t size);
bool UnregisterResource(const std::string& name, const std::string& type);
// Returns the block, or null when no such resource is registered.
const uint8_t* FindResource(const std::string& name, const std::string& type, size_t* size);

}  // namespace platform
