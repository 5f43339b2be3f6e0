#pragma once
// The game window's icon: the hero's portrait from the data folder, sampled as the desktop icon
// is, so the window and the menu show the same face.

// Call in the data folder, before or after the window opens. Without the portrait the window
// keeps the desktop's default icon.
void SetGameWindowIcon();
