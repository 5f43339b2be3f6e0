// play_mp3 (C++): plays an MP3 file to its end through the RUVe3 interface.
//
//   c++ play_mp3.cpp $(pkg-config --cflags --libs dar3) -o play_mp3_cxx
//   ./play_mp3_cxx song.mp3
#include <chrono>
#include <cstdio>
#include <dar3/ruve3.hpp>
#include <memory>
#include <thread>

namespace {

// Players are destroyed through Release, never by delete.
struct ReleasePlayer {
  void operator()(RUVe3* player) const { player->Release(); }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FILE.mp3\n", argv[0]);
    return 2;
  }
  std::unique_ptr<RUVe3, ReleasePlayer> player(CreateRUVe3());
  if (!player) {
    std::fprintf(stderr, "play_mp3: no player\n");
    return 1;
  }
  if (!player->OpenFile(argv[1], 1000, 0, 0) || !player->Play()) {
    std::fprintf(stderr, "play_mp3: %s: %s\n", argv[1], player->GetError());
    return 1;
  }
  MP3_TIME length{};
  player->GetSongLength(&length);
  std::printf("playing %s: %u.%03u s at %d kbit/s\n", argv[1], length.ms / 1000, length.ms % 1000,
              player->GetBitrate(1));
  std::fflush(stdout);

  MP3_STATUS status{};
  while (player->GetStatus(&status) && status.playing) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::printf("done\n");
  return 0;
}
