#include "tools/dar3play/remote_control.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "tools/dar3play/interrupt.h"
#include "tools/dar3play/plain_player.h"
#include "tools/dar3play/printable_text.h"

namespace {

// How often the list moves on while no command comes.
constexpr int kPollMs = 50;

std::string Error(const std::string& why) { return "error " + Printable(why); }

std::string Playing(PlayerControls* c, bool ok) {
  return ok ? "ok playing " + Printable(c->Title()) : Error(c->status_line());
}

const char* State(PlayerControls* c) {
  if (!c->playing()) return "stopped";
  return c->Status().paused ? "paused" : "playing";
}

bool ParseNumber(const std::string& text, double* value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  *value = std::strtod(text.c_str(), &end);
  return !errno && !*end && !std::isnan(*value);
}

// What a web stream tells comes between the answers, as "notice title TEXT" and the like.
void PrintStreamNotices(const PlayerControls& c, size_t* told) {
  for (; *told < c.stream_events().size(); ++*told) {
    const StreamEvent& event = c.stream_events()[*told];
    std::printf("notice %s %s\n", EventName(event.kind), Printable(event.text).c_str());
    std::fflush(stdout);
  }
}

}  // namespace

std::string AnswerRemoteCommand(const std::string& line, PlayerControls* c, bool* quit) {
  const size_t space = line.find(' ');
  const std::string command = line.substr(0, space);
  const std::string argument = space == std::string::npos ? "" : line.substr(space + 1);
  if (command == "load") {
    if (argument.empty()) return Error("load needs a file, folder, list or URL");
    return Playing(c, c->Load(argument));
  }
  if (command == "pause") {
    if (!c->playing()) return Error("nothing is playing");
    c->TogglePause();
    return c->Status().paused ? "ok paused" : "ok playing";
  }
  if (command == "seek") {
    double seconds = 0;
    if (!ParseNumber(argument, &seconds) || seconds < -1e6 || seconds > 1e6)
      return Error("seek needs seconds, like 30 or +5");
    const bool relative = argument[0] == '+' || argument[0] == '-';
    const bool ok = relative ? c->SeekBy(int(seconds * 1000)) : c->SeekTo(uint32_t(std::max(0.0, seconds) * 1000));
    return ok ? "ok position " + std::to_string(c->Position()) : Error(c->status_line());
  }
  if (command == "volume") {
    double level = -1;
    if (!ParseNumber(argument, &level) || level < 0 || level > 100 || level != int(level))
      return Error("volume needs 0..100");
    c->ChangeVolume(int(level) - c->volume());
    return c->volume() == int(level) ? "ok volume " + std::to_string(c->volume()) : Error(c->status_line());
  }
  if (command == "stop") {
    c->Stop();
    return "ok stopped";
  }
  if (command == "next") {
    if (c->count() == 0) return Error("nothing loaded");
    const size_t before = c->index();
    const bool was_playing = c->playing();
    c->Next();
    return Playing(c, c->playing() && (c->index() != before || !was_playing));
  }
  if (command == "status") {
    return std::string("status ") + State(c) + " " + std::to_string(c->playing() ? c->Position() : 0) + " " +
           std::to_string(c->playing() && !c->live() ? c->info().length.ms : 0) + " " + std::to_string(c->volume()) +
           " " + std::to_string(c->count() ? c->index() + 1 : 0) + "/" + std::to_string(c->count()) + " " +
           Printable(c->playing() ? c->Title() : "");
  }
  if (command == "quit") {
    *quit = true;
    return "ok quit";
  }
  return Error("unknown command '" + command + "' (load, pause, seek, volume, stop, next, status, quit)");
}

int RunRemote(PlayerControls* controls) {
  CatchInterrupts();
  FailurePrinter failures(*controls);
  if (controls->count()) controls->Start();
  std::string pending;
  bool quit = false;
  size_t told = 0;
  while (!quit && !Interrupted()) {
    controls->Tick();
    failures.PrintNew();
    PrintStreamNotices(*controls, &told);
    pollfd in{STDIN_FILENO, POLLIN, 0};
    if (poll(&in, 1, kPollMs) <= 0) continue;
    char block[4096];
    const ssize_t got = read(STDIN_FILENO, block, sizeof block);
    if (got <= 0) break;  // the frontend went away
    pending.append(block, size_t(got));
    for (size_t end; !quit && (end = pending.find('\n')) != std::string::npos;) {
      std::string line = pending.substr(0, end);
      pending.erase(0, end + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty()) continue;
      std::printf("%s\n", AnswerRemoteCommand(line, controls, &quit).c_str());
      std::fflush(stdout);
    }
  }
  failures.PrintNew();
  controls->Stop();
  if (Interrupted()) return InterruptedStatus();
  return 0;
}
