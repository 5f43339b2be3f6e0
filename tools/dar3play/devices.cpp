#include "tools/dar3play/devices.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

std::vector<std::string> DeviceNames(MP3_HANDLE player) {
  std::vector<std::string> names;
  const int count = Mp3_EnumerateWaveOut(player);
  for (int i = 0; i < count; ++i) {
    WAVE_OUT_INFO info{};
    if (!Mp3_GetWaveOutInfo(player, unsigned(i), &info)) {
      names.push_back("#" + std::to_string(i));
      continue;
    }
    info.product_name[sizeof info.product_name - 1] = '\0';
    names.push_back(info.product_name);
  }
  return names;
}

int FindDevice(const std::vector<std::string>& names, const std::string& wanted, std::string* why) {
  errno = 0;
  char* end = nullptr;
  const long number = std::strtol(wanted.c_str(), &end, 10);
  if (!wanted.empty() && !*end && !errno) {
    if (number >= 0 && size_t(number) < names.size()) return int(number);
    *why = "no sound device number " + wanted + " (there are " + std::to_string(names.size()) + "; see --list-devices)";
    return -1;
  }
  int found = -1, matches = 0;
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] == wanted) return int(i);
    if (names[i].find(wanted) != std::string::npos) {
      found = int(i);
      ++matches;
    }
  }
  if (matches == 1) return found;
  *why = matches ? "'" + wanted + "' names several sound devices; give its number (see --list-devices)"
                 : "no sound device named '" + wanted + "' (see --list-devices)";
  return -1;
}

int RunListDevices() {
  MP3_HANDLE player = Mp3_Initialize();
  if (!player) {
    std::fputs("dar3play: can't create the player\n", stderr);
    return 1;
  }
  const std::vector<std::string> names = DeviceNames(player);
  Mp3_Destroy(player);
  std::puts("default: the system's default device");
  for (size_t i = 0; i < names.size(); ++i) std::printf("%zu: %s\n", i, names[i].c_str());
  return 0;
}
