// Turns the player's spectrum (dB per harmonic) into log-spaced bar heights.
#pragma once

#include <vector>

// freqs and amplitudes hold count harmonics; the result has bar_count heights in 0..height.
std::vector<int> LogSpacedBars(const int* freqs, const int* amplitudes, int count, int bar_count, int height);
