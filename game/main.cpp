// jed-grimstorm: the game. Everything is opened by bare name from the working directory.
#include "game/win_main.h"

int main() { return WinMain(); }
