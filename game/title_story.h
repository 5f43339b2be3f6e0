#pragma once
// The title and story frames; each posts the close request while Escape or Enter is down.
int TitleFrame();
int StoryFrame();

// Frames per story page.
constexpr int STORY_PAGE_FRAMES = 250;
