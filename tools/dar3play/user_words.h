// The library's messages ("_OpenMp3->Can't find first valid mp3 frame") said the way a listener
// understands them ("not an MP3 file, or damaged").
#pragma once

#include <string>

std::string UserWords(const std::string& library_message);
