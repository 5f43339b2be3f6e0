#pragma once
// The keys the game reads, taken once at the start of a frame so every step of the frame sees
// the same keyboard.
struct GameKeys {
  bool left = false;
  bool right = false;
  bool up = false;
  bool space = false;
  bool shift = false;
  bool enter = false;
  bool escape = false;
};

GameKeys ReadGameKeys();
bool EscapeOrEnterDown();
