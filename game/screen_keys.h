#pragma once
// The keys that open the desktop's extra screens from the title (and the options also from the
// pause screen): O for the options, S for the scores; Y and the left shoulder on a pad. They are
// read as presses, so they never reach the game's own keys.
enum class ScreenKey { None, Options, Scores };

constexpr const char* kOptionsKeyName = "O";
constexpr const char* kOptionsPadButton = "y";
constexpr const char* kScoresKeyName = "S";
constexpr const char* kScoresPadButton = "leftshoulder";

// The first screen key pressed since the last call; the presses in between are dropped.
ScreenKey TakeScreenKey();
