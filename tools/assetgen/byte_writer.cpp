#include "tools/assetgen/byte_writer.h"

#include <cstdio>
#include <stdexcept>

namespace assetgen {

void WriteFile(const std::string& path, const Bytes& data) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot create " + path);
  size_t written = data.empty() ? 0 : std::fwrite(data.data(), 1, data.size(), f);
  bool ok = written == data.size();
  ok = (std::fclose(f) == 0) && ok;
  if (!ok) throw std::runtime_error("cannot write " + path);
}

}  // namespace assetgen
