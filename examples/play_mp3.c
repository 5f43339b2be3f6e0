/* play_mp3: plays an MP3 file to its end with libdar3's flat C API.
 *
 *   cc play_mp3.c $(pkg-config --cflags --libs dar3) -o play_mp3
 *   ./play_mp3 song.mp3
 */
#include <dar3/dar3.h>
#include <stdio.h>
#include <time.h>

static void Nap(void) {
  const struct timespec pause = {0, 50 * 1000 * 1000};
  nanosleep(&pause, NULL);
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s FILE.mp3\n", argv[0]);
    return 2;
  }
  MP3_HANDLE player = Mp3_Initialize();
  if (player == NULL) {
    fprintf(stderr, "play_mp3: no player\n");
    return 1;
  }
  if (!Mp3_OpenFile(player, argv[1], 1000, 0, 0) || !Mp3_Play(player)) {
    char error[256];
    Mp3_GetError(player, error, sizeof error);
    fprintf(stderr, "play_mp3: %s: %s\n", argv[1], error);
    Mp3_Destroy(player);
    return 1;
  }
  MP3_STREAM_INFO info;
  MP3_TIME length;
  Mp3_GetMp3Info(player, &info);
  Mp3_GetSongLength(player, &length);
  printf("playing %s: %d Hz, %d channels, %d kbit/s, %u.%03u s\n", argv[1], info.sample_rate, info.channels,
         info.bitrate, length.ms / 1000, length.ms % 1000);
  fflush(stdout);

  MP3_STATUS status;
  while (Mp3_GetStatus(player, &status) && status.playing) Nap();
  printf("done\n");
  Mp3_Close(player);
  Mp3_Destroy(player);
  return 0;
}
