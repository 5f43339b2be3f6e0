#pragma once
// The player's own files (settings, scores): read whole, written whole or not at all, and on
// failure the system's own reason, taken before anything else can change it.
#include <string>

enum class FileRead { Read, Missing, Failed };
// The file's bytes into *text (empty when missing). *error says why on Failed.
FileRead ReadWholeFile(const std::string& path, std::string* text, std::string* error);
// Makes the folders above path, writes text to a new file beside it, syncs it and renames it over
// path, so a crash or a full disk leaves the old file whole. False with *error ("cannot make
// /x/y: Permission denied", ...) when any step fails; the new file is removed then.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string* error);
