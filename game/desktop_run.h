#pragma once
// The jed-grimstorm program around the game: command-line options, the settings file, recorded
// runs. With no option and no settings file the game runs exactly as WinMain alone runs it.
int RunOnDesktop(int argc, char** argv);
