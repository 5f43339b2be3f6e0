#pragma once
// The HUD bars and labels and the message bar, drawn before the sprites.

// HEALTH bar (when above 0), RAGE bar (when above 0) and both labels.
void DrawHealthBar();
void DrawRageAndLabels();
// The message bar of the current MessageMode, with its face sprites.
void DrawMessageBar();

// The cries of the knockout message, the n-th knockout showing entry n of each list.
const char* ThugCry(int knockout);
const char* HeroCry(int knockout);
