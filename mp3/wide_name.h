#pragma once
// Wide file names (UTF-32 wchar_t here) in the UTF-8 form the file system takes.
#include <cstdint>
#include <string>

std::string WideToUtf8(const wchar_t* text);
