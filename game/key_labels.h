#pragma once
// How the game's texts name a key: as they always have while the key keeps its default binding,
// else by the keys bound now, so a prompt never names a key that no longer works.
#include <string>

#include "platform/window.h"

// default_label while the key has its default keyboard binding; else the bound key names joined
// by "/" (upper case when upper is set).
std::string KeyLabel(platform::Key key, const char* default_label, bool upper = false);

// The texts that name keys, with the bindings in force.
std::string PauseText();            // the pause line
std::string MovementControlText();  // the controls box, line by line
std::string JumpControlText();
std::string PunchControlText();
std::string SpecialControlText();
std::string ContinuePromptText();  // the story's last page
