#pragma once
// Rewriting a settings file the player may have edited: the values change where they stand, and
// everything else (comments, blank lines, unknown keys and sections, their order) stays.
#include <string>

// The player's file text with every setting of the complete file (one the game wrote, "[section]"
// and "name = value" lines with comments) brought to the complete file's value. A setting the
// player's text lacks is added at the end of its section; a section it lacks is added at the end,
// with the complete file's comments. A comment after a value stays after the new value.
std::string MergeSettingsText(const std::string& existing, const std::string& complete);
