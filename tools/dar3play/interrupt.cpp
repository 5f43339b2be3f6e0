#include "tools/dar3play/interrupt.h"

#include <csignal>

namespace {
volatile std::sig_atomic_t caught = 0;
void OnSignal(int signal) { caught = signal; }
}  // namespace

void CatchInterrupts() {
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
}

bool Interrupted() { return caught != 0; }

int InterruptedStatus() { return 128 + (caught ? int(caught) : SIGINT); }
