#pragma once
// One frame of level play, in the fixed order the collision scans depend on.
int LevelFrame();

// Moves to the next or previous screen when the hero passes an edge.
void ChangeScreenAtEdges();

// The pause line shown on the black screen.
constexpr const char* PAUSE_TEXT = "PAUSED:  Press SPACE BAR to return, ESCAPE to exit";
