#include "tools/dar3play/mpris.h"

#include <systemd/sd-bus.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

constexpr char kPath[] = "/org/mpris/MediaPlayer2";
constexpr char kRootInterface[] = "org.mpris.MediaPlayer2";
constexpr char kPlayerInterface[] = "org.mpris.MediaPlayer2.Player";
constexpr char kBusName[] = "org.mpris.MediaPlayer2.dar3play";
constexpr char kNoTrack[] = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

PlayerControls* Controls(void* userdata) { return static_cast<PlayerControls*>(userdata); }

// MPRIS counts time in microseconds.
int64_t Microseconds(uint32_t ms) { return int64_t(ms) * 1000; }

std::string TrackId(PlayerControls* c) {
  if (!c->playing()) return kNoTrack;
  return "/org/mpris/MediaPlayer2/dar3play/track/" + std::to_string(c->track_serial());
}

// A track's address for xesam:url: a file as a file:// URI, a web address as shown (without its
// password); empty for standard input.
std::string TrackUrl(const std::string& shown_location) {
  if (shown_location.find("://") != std::string::npos) return shown_location;
  if (shown_location == "-") return {};
  std::error_code ec;
  const std::string path = std::filesystem::absolute(shown_location, ec).lexically_normal().string();
  std::string uri = "file://";
  for (unsigned char c : path) {
    if (std::isalnum(c) || (c != 0 && std::strchr("/-._~", c))) {
      uri += char(c);
    } else {
      char escape[4];
      std::snprintf(escape, sizeof escape, "%%%02X", c);
      uri += escape;
    }
  }
  return uri;
}

const char* PlaybackStatus(PlayerControls* c) {
  if (!c->playing()) return "Stopped";
  return c->Status().paused ? "Paused" : "Playing";
}

int Done(sd_bus_message* m) { return sd_bus_reply_method_return(m, ""); }

// Methods of the two interfaces.
int Raise(sd_bus_message* m, void*, sd_bus_error*) { return Done(m); }
int Quit(sd_bus_message* m, void* u, sd_bus_error*) {
  Controls(u)->Quit();
  return Done(m);
}
int Next(sd_bus_message* m, void* u, sd_bus_error*) {
  Controls(u)->Next();
  return Done(m);
}
int Previous(sd_bus_message* m, void* u, sd_bus_error*) {
  Controls(u)->Previous();
  return Done(m);
}
int Pause(sd_bus_message* m, void* u, sd_bus_error*) {
  Controls(u)->Pause();
  return Done(m);
}
int Play(sd_bus_message* m, void* u, sd_bus_error*) {
  Controls(u)->Play();
  return Done(m);
}
int PlayPause(sd_bus_message* m, void* u, sd_bus_error*) {
  PlayerControls* c = Controls(u);
  if (c->playing() && !c->Status().paused) {
    c->Pause();
  } else {
    c->Play();
  }
  return Done(m);
}
int Stop(sd_bus_message* m, void* u, sd_bus_error*) {
  Controls(u)->Stop();
  return Done(m);
}

int Seeked(sd_bus_message* m, PlayerControls* c) {
  sd_bus_emit_signal(sd_bus_message_get_bus(m), kPath, kPlayerInterface, "Seeked", "x", Microseconds(c->Position()));
  return Done(m);
}

int Seek(sd_bus_message* m, void* u, sd_bus_error*) {
  int64_t offset = 0;
  const int r = sd_bus_message_read(m, "x", &offset);
  if (r < 0) return r;
  PlayerControls* c = Controls(u);
  if (!c->playing()) return Done(m);
  const int64_t ms = std::clamp<int64_t>(offset / 1000, INT32_MIN, INT32_MAX);
  c->SeekBy(int(ms));
  return Seeked(m, c);
}

int SetPosition(sd_bus_message* m, void* u, sd_bus_error*) {
  const char* track = nullptr;
  int64_t position = 0;
  const int r = sd_bus_message_read(m, "ox", &track, &position);
  if (r < 0) return r;
  PlayerControls* c = Controls(u);
  // A position for another track, or outside this one, is ignored, as the interface asks.
  if (!c->playing() || TrackId(c) != track || position < 0 || position > Microseconds(c->info().length.ms)) {
    return Done(m);
  }
  c->SeekTo(uint32_t(position / 1000));
  return Seeked(m, c);
}

int OpenUri(sd_bus_message* m, void* u, sd_bus_error* error) {
  const char* uri = nullptr;
  const int r = sd_bus_message_read(m, "s", &uri);
  if (r < 0) return r;
  std::string location = uri;
  if (location.rfind("file://", 0) == 0) location.erase(0, 7);
  if (!Controls(u)->Load(location)) {
    return sd_bus_error_set(error, SD_BUS_ERROR_INVALID_ARGS, Controls(u)->status_line().c_str());
  }
  return Done(m);
}

// Properties.
int True(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
  return sd_bus_message_append(reply, "b", 1);
}
int False(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
  return sd_bus_message_append(reply, "b", 0);
}
int Identity(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
  return sd_bus_message_append(reply, "s", "dar3play");
}
int UriSchemes(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
  return sd_bus_message_append(reply, "as", 1, "file");
}
int MimeTypes(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
  return sd_bus_message_append(reply, "as", 2, "audio/mpeg", "audio/x-mpegurl");
}
int One(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
  return sd_bus_message_append(reply, "d", 1.0);
}
int GetStatus(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* u, sd_bus_error*) {
  return sd_bus_message_append(reply, "s", PlaybackStatus(Controls(u)));
}
int GetPosition(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* u, sd_bus_error*) {
  PlayerControls* c = Controls(u);
  return sd_bus_message_append(reply, "x", c->playing() ? Microseconds(c->Position()) : int64_t(0));
}
int GetVolume(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* u, sd_bus_error*) {
  return sd_bus_message_append(reply, "d", Controls(u)->volume() / 100.0);
}
int SetVolume(sd_bus*, const char*, const char*, const char*, sd_bus_message* value, void* u, sd_bus_error*) {
  double volume = 0.0;
  const int r = sd_bus_message_read(value, "d", &volume);
  if (r < 0) return r;
  if (!std::isfinite(volume)) return -EINVAL;
  PlayerControls* c = Controls(u);
  const int level = int(std::lround(std::clamp(volume, 0.0, 1.0) * 100));
  c->ChangeVolume(level - c->volume());
  return 1;
}
int HasEntries(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* u, sd_bus_error*) {
  return sd_bus_message_append(reply, "b", Controls(u)->count() > 0);
}
int IsPlaying(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* u, sd_bus_error*) {
  return sd_bus_message_append(reply, "b", Controls(u)->playing());
}

int AppendEntry(sd_bus_message* reply, const char* key, char type, const void* value) {
  const char contents[2] = {type, 0};
  int r = sd_bus_message_open_container(reply, 'e', "sv");
  if (r >= 0) r = sd_bus_message_append(reply, "s", key);
  if (r >= 0) r = sd_bus_message_open_container(reply, 'v', contents);
  if (r >= 0) r = sd_bus_message_append_basic(reply, type, value);
  if (r >= 0) r = sd_bus_message_close_container(reply);
  if (r >= 0) r = sd_bus_message_close_container(reply);
  return r;
}

int GetMetadata(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* u, sd_bus_error*) {
  PlayerControls* c = Controls(u);
  int r = sd_bus_message_open_container(reply, 'a', "{sv}");
  if (r < 0) return r;
  const std::string id = TrackId(c);
  r = AppendEntry(reply, "mpris:trackid", 'o', id.c_str());
  if (r >= 0 && c->playing()) {
    const TrackInfo& info = c->info();
    const int64_t length = Microseconds(info.length.ms);
    const std::string title = c->Title();
    // A broadcast has no length; a panel then shows the time played alone.
    if (!c->live()) r = AppendEntry(reply, "mpris:length", 'x', &length);
    if (r >= 0) r = AppendEntry(reply, "xesam:title", 's', title.c_str());
    if (r >= 0 && !info.tags.album.empty()) r = AppendEntry(reply, "xesam:album", 's', info.tags.album.c_str());
    const std::string url = TrackUrl(info.path);
    if (r >= 0 && !url.empty()) r = AppendEntry(reply, "xesam:url", 's', url.c_str());
    if (r >= 0 && !info.tags.artist.empty()) {
      r = sd_bus_message_open_container(reply, 'e', "sv");
      if (r >= 0) r = sd_bus_message_append(reply, "s", "xesam:artist");
      if (r >= 0) r = sd_bus_message_open_container(reply, 'v', "as");
      if (r >= 0) r = sd_bus_message_append(reply, "as", 1, info.tags.artist.c_str());
      if (r >= 0) r = sd_bus_message_close_container(reply);
      if (r >= 0) r = sd_bus_message_close_container(reply);
    }
  }
  if (r < 0) return r;
  return sd_bus_message_close_container(reply);
}

constexpr uint64_t kChanges = SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE;
constexpr uint64_t kConst = SD_BUS_VTABLE_PROPERTY_CONST;
constexpr uint64_t kOpen = SD_BUS_VTABLE_UNPRIVILEGED;

const sd_bus_vtable kRootTable[] = {SD_BUS_VTABLE_START(0),
                                    SD_BUS_METHOD("Raise", "", "", Raise, kOpen),
                                    SD_BUS_METHOD("Quit", "", "", Quit, kOpen),
                                    SD_BUS_PROPERTY("CanQuit", "b", True, 0, kConst),
                                    SD_BUS_PROPERTY("CanRaise", "b", False, 0, kConst),
                                    SD_BUS_PROPERTY("HasTrackList", "b", False, 0, kConst),
                                    SD_BUS_PROPERTY("Identity", "s", Identity, 0, kConst),
                                    SD_BUS_PROPERTY("SupportedUriSchemes", "as", UriSchemes, 0, kConst),
                                    SD_BUS_PROPERTY("SupportedMimeTypes", "as", MimeTypes, 0, kConst),
                                    SD_BUS_VTABLE_END};

const sd_bus_vtable kPlayerTable[] = {SD_BUS_VTABLE_START(0),
                                      SD_BUS_METHOD("Next", "", "", Next, kOpen),
                                      SD_BUS_METHOD("Previous", "", "", Previous, kOpen),
                                      SD_BUS_METHOD("Pause", "", "", Pause, kOpen),
                                      SD_BUS_METHOD("PlayPause", "", "", PlayPause, kOpen),
                                      SD_BUS_METHOD("Stop", "", "", Stop, kOpen),
                                      SD_BUS_METHOD("Play", "", "", Play, kOpen),
                                      SD_BUS_METHOD("Seek", "x", "", Seek, kOpen),
                                      SD_BUS_METHOD("SetPosition", "ox", "", SetPosition, kOpen),
                                      SD_BUS_METHOD("OpenUri", "s", "", OpenUri, kOpen),
                                      SD_BUS_SIGNAL("Seeked", "x", 0),
                                      SD_BUS_PROPERTY("PlaybackStatus", "s", GetStatus, 0, kChanges),
                                      SD_BUS_PROPERTY("Rate", "d", One, 0, kConst),
                                      SD_BUS_PROPERTY("MinimumRate", "d", One, 0, kConst),
                                      SD_BUS_PROPERTY("MaximumRate", "d", One, 0, kConst),
                                      SD_BUS_PROPERTY("Metadata", "a{sv}", GetMetadata, 0, kChanges),
                                      SD_BUS_WRITABLE_PROPERTY("Volume", "d", GetVolume, SetVolume, 0, kChanges),
                                      SD_BUS_PROPERTY("Position", "x", GetPosition, 0, 0),
                                      SD_BUS_PROPERTY("CanGoNext", "b", HasEntries, 0, kChanges),
                                      SD_BUS_PROPERTY("CanGoPrevious", "b", HasEntries, 0, kChanges),
                                      SD_BUS_PROPERTY("CanPlay", "b", HasEntries, 0, kChanges),
                                      SD_BUS_PROPERTY("CanPause", "b", IsPlaying, 0, kChanges),
                                      SD_BUS_PROPERTY("CanSeek", "b", IsPlaying, 0, kChanges),
                                      SD_BUS_PROPERTY("CanControl", "b", True, 0, kConst),
                                      SD_BUS_VTABLE_END};

}  // namespace

std::unique_ptr<Mpris> Mpris::Connect(PlayerControls* controls) {
  sd_bus* bus = nullptr;
  if (sd_bus_open_user(&bus) < 0) return nullptr;
  std::unique_ptr<Mpris> mpris(new Mpris(controls));
  if (!mpris->Register(bus)) {
    sd_bus_flush_close_unref(bus);
    return nullptr;
  }
  return mpris;
}

bool Mpris::Register(sd_bus* bus) {
  if (sd_bus_add_object_vtable(bus, &root_slot_, kPath, kRootInterface, kRootTable, c_) < 0 ||
      sd_bus_add_object_vtable(bus, &player_slot_, kPath, kPlayerInterface, kPlayerTable, c_) < 0) {
    return false;
  }
  // A second dar3play takes a name of its own, as the interface's convention has it.
  if (sd_bus_request_name(bus, kBusName, 0) < 0) {
    const std::string instance = std::string(kBusName) + ".instance" + std::to_string(getpid());
    if (sd_bus_request_name(bus, instance.c_str(), 0) < 0) return false;
  }
  bus_ = bus;
  return true;
}

Mpris::~Mpris() {
  sd_bus_slot_unref(player_slot_);
  sd_bus_slot_unref(root_slot_);
  if (bus_) sd_bus_flush_close_unref(bus_);
}

void Mpris::Poll() {
  if (!bus_ || failed_) return;
  int r = 0;
  while ((r = sd_bus_process(bus_, nullptr)) > 0) {
  }
  if (r < 0) {
    failed_ = true;
    return;
  }
  AnnounceChanges();
}

void Mpris::AnnounceChanges() {
  std::vector<const char*> changed;
  const std::string status = PlaybackStatus(c_);
  if (status != status_) {
    status_ = status;
    changed.insert(changed.end(), {"PlaybackStatus", "CanPause", "CanSeek"});
  }
  if (c_->track_serial() != serial_) {
    serial_ = c_->track_serial();
    changed.push_back("Metadata");
  }
  if (c_->volume() != volume_) {
    volume_ = c_->volume();
    changed.push_back("Volume");
  }
  const bool can = c_->count() > 0;
  if (can != can_next_ || can != can_previous_) {
    can_next_ = can_previous_ = can;
    changed.insert(changed.end(), {"CanGoNext", "CanGoPrevious", "CanPlay"});
  }
  if (changed.empty()) return;
  changed.push_back(nullptr);
  sd_bus_emit_properties_changed_strv(bus_, kPath, kPlayerInterface, const_cast<char**>(changed.data()));
  sd_bus_flush(bus_);
}
