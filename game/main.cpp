// jed-grimstorm: the game. Everything is opened by bare name from the working directory.
#include "game/desktop_run.h"

int main(int argc, char** argv) { return RunOnDesktop(argc, argv); }
