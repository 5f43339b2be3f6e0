// The sound devices the library lists, and finding one by the name or number a user typed.
#pragma once

#include <string>
#include <vector>

#include "dar3/dar3.h"

std::vector<std::string> DeviceNames(MP3_HANDLE player);
// "2" is the device numbered 2; anything else is a name, matched exactly, else by the only
// name that contains it. Returns -1 with a message in *why when none or several match.
int FindDevice(const std::vector<std::string>& names, const std::string& wanted, std::string* why);
// Prints the list for --list-devices; returns the exit status.
int RunListDevices();
