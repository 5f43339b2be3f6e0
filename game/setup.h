#pragma once
// The set-ups run before each phase. They return 1; GameInit returns 0 as soon as a sprite
// cannot be created (the game then runs on with what exists).
int GameInit();
int StoryInit();
int LevelInit();
