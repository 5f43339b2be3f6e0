#include "game/crt_random.h"

namespace {
uint32_t rand_state = 1;
uint32_t rand_seed = 1;
}  // namespace

int CrtRand() {
  rand_state = rand_state * 214013u + 2531011u;
  return static_cast<int>((rand_state >> 16) & CRT_RAND_MAX);
}

void CrtSrand(uint32_t seed) {
  rand_state = seed;
  rand_seed = seed;
}

uint32_t CrtSeed() { return rand_seed; }
