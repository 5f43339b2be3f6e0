// Any text as the palette file: the loader reads up to 256 entries of four numbers from it
// and answers without touching memory past the 256 entries it was given.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "display/display.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The loader opens a file by name: the input lives in a memory file of this process.
  static const int fd = memfd_create("PALDATA2.PAL", 0);
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);
  if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;
  auto* entries = new PALETTEENTRY[256];
  if (LoadPaletteFile(path.c_str(), entries) != 1) __builtin_trap();  // a readable file always loads
  delete[] entries;
  return 0;
}
