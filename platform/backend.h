#pragma once
// Which bottom layer the platform services run on.
//
// Sdl: a real window, keyboard, display and sound card (silent real-time device without one).
// Headless: no window; keys come from the caller, the millisecond clock is virtual, the last
// presented frame is kept, and audio is mixed only when a test pulls it.
//
// The backend is chosen once, lazily, on first use of any service: JED_HEADLESS=1 in the
// environment selects Headless, anything else Sdl. SelectBackend() before first use overrides.
//
// Every service that has a backend per bottom layer is a table of functions (platform/<service>/
// <service>_backend.h) with one table per backend folder. BackendTable is the one place that maps
// the choice onto a table; services call it once and never ask which backend runs.
namespace platform {

enum class Backend { Sdl, Headless };

// Returns false when a backend was already chosen (the choice cannot change afterwards).
bool SelectBackend(Backend backend);
Backend CurrentBackend();

// The tables are the callers' statics, never temporaries.
template <class Table>
const Table& BackendTable(const Table& sdl, const Table& headless) {
  return CurrentBackend() == Backend::Headless ? headless : sdl;  // NOLINT(bugprone-return-const-ref-from-parameter)
}

}  // namespace platform
