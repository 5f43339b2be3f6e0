/* A minimal program of libdar3: opens an MP3 in the no-output mode and stops at the first
 * decoded block. Prints how many shared libraries the process has mapped at that moment,
 * whether SDL is among them, and the time since main started.
 * usage: dar3_first_block FILE.mp3 [--list] */
#include <dar3/dar3.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static struct timespec started;
static int list_libraries;

/* Distinct shared objects in /proc/self/maps (the vdso is no file and is not counted). */
static int CountLibraries(int print) {
  FILE* maps = fopen("/proc/self/maps", "r");
  if (!maps) return -1;
  char line[4096], seen[256][512];
  int count = 0;
  while (fgets(line, sizeof line, maps)) {
    char* path = strchr(line, '/');
    if (!path || !strstr(path, ".so")) continue;
    path[strcspn(path, "\n")] = 0; /* NOLINT(clang-analyzer-security.ArrayBound): within the line read */
    int known = 0;
    for (int i = 0; i < count && !known; ++i) known = strcmp(seen[i], path) == 0;
    if (known || count == 256) continue;
    snprintf(seen[count++], sizeof seen[0], "%s", path);
    if (print) printf("  %s\n", path);
  }
  fclose(maps);
  return count;
}

static int SdlMapped(void) {
  FILE* maps = fopen("/proc/self/maps", "r");
  if (!maps) return 0;
  char line[4096];
  int found = 0;
  while (!found && fgets(line, sizeof line, maps)) found = strstr(line, "libSDL2") != NULL;
  fclose(maps);
  return found;
}

static int32_t OnMessage(uint32_t message, intptr_t wparam, intptr_t lparam) {
  (void)wparam;
  if (message != MP3_EVENT_WAVE_BUFFER || lparam <= 0) return 1;
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  double ms = (now.tv_sec - started.tv_sec) * 1e3 + (now.tv_nsec - started.tv_nsec) / 1e6;
  int libraries = CountLibraries(list_libraries);
  printf("libraries %d sdl %d first_block_ms %.3f\n", libraries, SdlMapped(), ms);
  fflush(stdout);
  _exit(0);
}

int main(int argc, char** argv) {
  clock_gettime(CLOCK_MONOTONIC, &started);
  if (argc < 2) {
    fprintf(stderr, "usage: %s FILE.mp3 [--list]\n", argv[0]);
    return 2;
  }
  list_libraries = argc > 2 && strcmp(argv[2], "--list") == 0;
  MP3_HANDLE player = Mp3_Initialize();
  if (!player || !Mp3_SetCallbackFunc(player, OnMessage, MP3_EVENT_WAVE_BUFFER) ||
      Mp3_OpenFile(player, argv[1], 0, 0, 0) != 1 || Mp3_Play(player) != 1) {
    fprintf(stderr, "cannot decode %s\n", argv[1]);
    return 1;
  }
  sleep(10);
  fprintf(stderr, "no block decoded\n");
  return 1;
}
