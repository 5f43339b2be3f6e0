#include "game/game_text.h"

#include <utility>

#include "display/display.h"
#include "display/text.h"
#include "game/world.h"

namespace {
TextObserver& Observer() {
  static TextObserver observer;
  return observer;
}
}  // namespace

void DrawGameText(const char* text, int32_t x, int32_t y) {
  DrawTextGdi(text, x, y, COLOR_TEXT, back_surface);
  if (Observer()) Observer()(text, x, y);
}

void SetTextObserver(TextObserver observer) { Observer() = std::move(observer); }
