#pragma once
// Every text the game shows goes through here: colour 255 on the back surface.
#include <cstdint>
#include <functional>

void DrawGameText(const char* text, int32_t x, int32_t y);

// Told of every text drawn (replays and tests read the screens' words through it).
using TextObserver = std::function<void(const char* text, int32_t x, int32_t y)>;
void SetTextObserver(TextObserver observer);
