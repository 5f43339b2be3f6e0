// Output device choice: the cached device list and the device the next run opens.
#include <algorithm>
#include <cstring>
#include <new>

#include "mp3/player/dar3_player.h"

int DAr3::EnumerateWaveOut() {
  const uint32_t count = platform::WaveOutGetNumDevs();
  if (count == 0) {
    SetError("EnumerateWaveOut->There is no wave-out devices !");
    return 0;
  }
  std::vector<platform::WaveOutCaps> list;
  try {
    list.reserve(count);
  } catch (const std::bad_alloc&) {
    SetError("EnumerateWaveOut->Memory allocation error !");
    return 0;
  }
  for (uint32_t id = 0; id < count; ++id) {
    platform::WaveOutCaps caps;
    if (platform::WaveOutGetDevCaps(id, &caps) == platform::kMmNoError) list.push_back(caps);
  }
  platform::MutexLock hold(lock_);
  devices_ = std::move(list);
  devices_listed_ = true;
  return static_cast<int>(devices_.size());
}

// The device list is taken on first use; EnumerateWaveOut takes the lock itself.
void DAr3::ListDevicesOnce() {
  bool listed;
  {
    platform::MutexLock hold(lock_);
    listed = devices_listed_;
  }
  if (!listed) EnumerateWaveOut();
}

int DAr3::GetWaveOutInfo(unsigned int index, WAVE_OUT_INFO* info) {
  if (!info) {
    SetError("GetWaveOutInfo->Invalid second parameter. pWaveOutInfo can't be 0 !");
    return 0;
  }
  std::memset(info, 0, sizeof *info);
  ListDevicesOnce();
  platform::MutexLock hold(lock_);
  if (devices_.empty()) {
    SetError("GetWaveOutInfo->There is no wave-out devices !");
    return 0;
  }
  if (index >= devices_.size()) {
    SetError("GetWaveOutInfo->Invalid first parameter. nIndex is out of bounds !");
    return 0;
  }
  const platform::WaveOutCaps& caps = devices_[index];
  info->manufacturer_id = caps.manufacturer_id;
  info->product_id = caps.product_id;
  info->driver_version = static_cast<int32_t>(caps.driver_version);
  info->formats = caps.formats;
  info->channels = caps.channels;
  info->support = caps.support;
  const size_t length = strnlen(caps.name, std::min(sizeof caps.name, sizeof info->product_name - 1));
  std::memcpy(info->product_name, caps.name, length);
  info->product_name[length] = 0;
  return 1;
}

int DAr3::SetWaveOutDevice(unsigned int index) {
  ListDevicesOnce();
  platform::MutexLock hold(lock_);
  if (devices_.empty()) {
    SetError("SetWaveOutDevice->There is no wave-out devices !");
    return 0;
  }
  if (index == WAVE_MAPPER || index < devices_.size()) {
    device_id_ = index;
    return 1;
  }
  SetError("SetWaveOutDevice->Invalid first parameter. nIndex is out of bounds !");
  return 0;
}
