#pragma once
// The tear-downs run after each phase, in the order the subsystems need.
int TitleShutdown();
int StoryShutdown();
int LevelShutdown();
