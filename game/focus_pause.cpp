#include "game/focus_pause.h"

#include "game/win_main.h"
#include "game/world.h"

void PauseOnLostFocus() {
  if (CurrentPhase() == GamePhase::Level && GameOver == 0 && GameWon == 0) Paused = 1;
}
