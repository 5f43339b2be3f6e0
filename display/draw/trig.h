#pragma once
// Cosine and sine in whole degrees from tables, and in radians from the standard library.
#include <cstdint>

// cos and sin of 0, 1, ..., 360 degrees. Filled when the program starts and again by
// BuildTrigTables.
extern float cos_table[361];
extern float sin_table[361];

int BuildTrigTables();

// The table entry for a whole-degree angle: a for 0..360, a + 360 for -360..-1; angles beyond
// +-360 are first reduced modulo 360.
int TrigIndex(int32_t degrees);

float Cosine(float radians);
float Sine(float radians);
