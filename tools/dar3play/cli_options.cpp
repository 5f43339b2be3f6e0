#include "tools/dar3play/cli_options.h"

#include <cerrno>
#include <cstdlib>

#include "dar3/dar3.h"
#include "platform/command_line.h"
#include "tools/dar3play/sound_effects.h"

namespace {

bool ParseInt(const std::string& text, int low, int high, int* value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (errno || *end || v < low || v > high) return false;
  *value = int(v);
  return true;
}

// A handler for an integer option within [low, high]; `what` names it in the refusal.
platform::CommandLine::ValueHandler IntIn(int low, int high, const char* what, int* target) {
  return [=](const std::string& v, std::string* error) {
    if (ParseInt(v, low, high, target)) return true;
    *error = std::string(what) + " must be " + std::to_string(low) + ".." + std::to_string(high) + ", not '" + v + "'";
    return false;
  };
}

std::string LibraryVersion() {
  MP3_HANDLE player = Mp3_Initialize();
  if (!player) return "dar3play (libdar3 could not create a player)";
  const int version = Mp3_GetVersion(player);
  Mp3_Destroy(player);
  char text[64];
  std::snprintf(text, sizeof text, "dar3play with libdar3 %d.%02d", version / 100, version % 100);
  return text;
}

}  // namespace

int ParseOptions(int argc, char** argv, Options* options) {
  Options o;
  bool decode = false, info = false;
  platform::CommandLine cli("dar3play", "[OPTION]... FILE...");
  cli.Describe("Plays MP3 files in a terminal interface, or inspects and decodes them.");
  cli.Version(LibraryVersion);
  cli.Heading("Modes:");
  cli.Flag("--info", "print format, length and tags of FILE...", [&] { info = true; });
  cli.Flag("--json", "with --info: print JSON instead of text", [&] { o.json = true; });
  cli.Flag("--decode", "FILE OUT.wav: decode to a 16-bit stereo WAV file,\nno sound output", [&] { decode = true; });
  cli.Heading("Options:");
  cli.Flag("--stream",
           "feed the file through OpenStream/PushDataToStream\nwhile reading it (FILE '-' is standard input, always so)",
           [&] { o.stream = true; });
  cli.Value("--eq", "PRESET", "FFT equalizer: flat, bass, treble, vocal, loudness",
            [&](const std::string& v, std::string* error) {
              o.eq_preset = FindEqPreset(v.c_str());
              if (o.eq_preset >= 0) return true;
              *error = "unknown equalizer preset '" + v + "'";
              return false;
            });
  cli.Value("--echo", "MODE", "echo mode 0..9", IntIn(0, kEchoModeCount - 1, "echo mode", &o.echo_mode));
  cli.Flag("--reverse", "play backwards", [&] { o.reverse = true; });
  cli.Value("--volume", "N", "player volume 0..100", IntIn(0, 100, "volume", &o.volume));
  cli.Value("--buffer", "MS", "output buffer length (200..10000, default 500)",
            IntIn(200, 10000, "buffer (ms)", &o.buffer_ms));
  cli.Flag("--stats", "after playing: print the screen refresh rate and CPU use", [&] { o.stats = true; });
  cli.Operands([&](const std::string& file, std::string*) {
    o.files.push_back(file);
    return true;
  });
  cli.Epilogue(
      "Keys while playing:\n"
      "  Space pause   Left/Right seek 5 s   Up/Down volume   n/p next/previous file\n"
      "  r reverse   [ ] loop start/end   l loop the section   e echo mode   g equalizer\n"
      "  w spectrum window   v vocal cut   m mix channels   d output device\n"
      "  f fade out and quit   q or Escape quit\n"
      "\n"
      "Exit status: 0 when every file worked, 1 when any failed, 2 for a bad command line.");
  int status = 0;
  if (cli.Parse(argc, argv, &status) == platform::CommandLine::Outcome::kExit) return status;

  if (decode && info) return cli.UsageError("--info and --decode exclude each other");
  if (decode) {
    if (o.files.size() != 2) return cli.UsageError("--decode takes FILE and OUT.wav");
    o.mode = RunMode::kDecode;
    o.wav_out = o.files.back();
    o.files.pop_back();
  } else if (info) {
    o.mode = RunMode::kInfo;
  }
  if (o.files.empty()) return cli.UsageError("no file given");
  *options = o;
  return -1;
}
