#pragma once
// A player made through libdar3's public interface, as applications make one, and released at
// the end of its scope.
#include "dar3/dar3.h"
#include "dar3/ruve3.hpp"

class PublicPlayer {
 public:
  PublicPlayer() : player_(CreateRUVe3()) {}
  ~PublicPlayer() {
    if (player_) player_->Release();
  }
  PublicPlayer(const PublicPlayer&) = delete;
  PublicPlayer& operator=(const PublicPlayer&) = delete;
  RUVe3* operator->() const { return player_; }
  MP3_HANDLE handle() const { return player_; }

 private:
  RUVe3* player_;
};
