// jed-grimstorm: the game. It finds its data folder, works from there and opens every file by
// bare name.
#include "game/data_dir.h"
#include "game/win_main.h"

int main() {
  if (!EnterDataFolder()) return 1;
  const int exit_code = WinMain();
  return DataFailed() ? 1 : exit_code;
}
