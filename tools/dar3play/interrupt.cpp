#include "tools/dar3play/interrupt.h"

#include <csignal>

namespace {
volatile std::sig_atomic_t interrupted = 0;
void OnSignal(int) { interrupted = 1; }
}  // namespace

void CatchInterrupts() {
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
}

bool Interrupted() { return interrupted != 0; }
