#pragma once
// Alt-tabbing away during the level pauses it, as Enter does (the level's own pause and text;
// Space goes on). Outside the level, or once it is won or lost, nothing changes.
void PauseOnLostFocus();
