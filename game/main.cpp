// jed-grimstorm: the game. It finds its data folder, works from there and opens every file by
// bare name (game/data_dir.h).
#include "game/desktop_run.h"

int main(int argc, char** argv) { return RunOnDesktop(argc, argv); }
