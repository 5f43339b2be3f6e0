#pragma once
// The C runtime's classic rand(): never seeded by the game, so every run draws the same numbers.
#include <cstdint>

constexpr int CRT_RAND_MAX = 0x7FFF;

// Next number in 0..32767.
int CrtRand();
// Restarts the sequence (1 is the runtime's own start).
void CrtSrand(uint32_t seed);
// The seed the sequence last started from (1 until CrtSrand is called).
uint32_t CrtSeed();
