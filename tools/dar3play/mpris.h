// The desktop's media control (MPRIS): org.mpris.MediaPlayer2 and its .Player interface on the
// session bus, so media keys, panels and playerctl see and drive dar3play. Served from the
// main loop (Poll), no thread of its own.
#pragma once

#include <memory>
#include <string>

#include "tools/dar3play/player_controls.h"

struct sd_bus;
struct sd_bus_slot;

class Mpris {
 public:
  // Null, silently, when there is no session bus to register on.
  static std::unique_ptr<Mpris> Connect(PlayerControls* controls);
  ~Mpris();
  Mpris(const Mpris&) = delete;
  Mpris& operator=(const Mpris&) = delete;

  // Answers the calls waiting and announces what changed since the last poll.
  void Poll();

 private:
  explicit Mpris(PlayerControls* controls) : c_(controls) {}
  bool Register(sd_bus* bus);
  void AnnounceChanges();

  PlayerControls* c_;
  sd_bus* bus_ = nullptr;
  sd_bus_slot* root_slot_ = nullptr;
  sd_bus_slot* player_slot_ = nullptr;
  // What the desktop was last told.
  std::string status_;
  unsigned serial_ = 0;
  int volume_ = -1;
  bool can_next_ = false, can_previous_ = false;
  bool failed_ = false;  // the bus went away: playing goes on without it
};
