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
  platform::CommandLine cli("dar3play", "[OPTION]... FILE|FOLDER|LIST|URL...");
  cli.Describe("Plays MP3 files, folders, M3U/PLS lists and http(s) addresses.");
  cli.Version(LibraryVersion);
  // The options with no help text are in the manual page only: --help stays one screen.
  cli.Flag("--info", "format, length and tags of FILE... (--json: as JSON)", [&] { info = true; });
  cli.Flag("--json", "", [&] { o.json = true; });
  cli.Flag("--decode", "IN... OUT.wav: decode into one 16-bit stereo WAV", [&] { decode = true; });
  cli.Flag("--list-devices", "list the sound devices", [&] { o.mode = RunMode::kListDevices; });
  cli.Flag("--shuffle", "play the list in random order", [&] { o.shuffle = true; });
  cli.Value("--repeat", "one|all|off", "repeat the track or the list", [&](const std::string& v, std::string* error) {
    if (ParseRepeat(v.c_str(), &o.repeat)) return true;
    *error = "repeat must be one, all or off, not '" + v + "'";
    return false;
  });
  cli.Flag("-q, --quiet", "no screen, no status lines: errors only", [&] { o.quiet = true; });
  cli.Value("--output", "null", "play without a sound device, in real time",
            [&](const std::string& v, std::string* error) {
              if (v == "null" || v == "default") {
                o.output_null = v == "null";
                return true;
              }
              *error = "output must be null or default, not '" + v + "'";
              return false;
            });
  cli.Value("--device", "NAME|INDEX", "sound device from --list-devices",
            [&](const std::string& v, std::string* error) {
              if (v.empty()) {
                *error = "--device needs a name or a number";
                return false;
              }
              o.device = v;
              return true;
            });
  cli.Flag("--remote", "commands on stdin, answers on stdout (man dar3play)", [&] { o.remote = true; });
  cli.Flag("--no-mpris", "", [&] { o.mpris = false; });
  cli.Flag("--stream", "", [&] { o.stream = true; });
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
  cli.Value("--buffer", "MS", "", IntIn(200, 10000, "buffer (ms)", &o.buffer_ms));
  cli.Flag("--no-gapless", "keep the encoder's silence at both ends of each track", [&] { o.gapless = false; });
  cli.Value("--replaygain", "MODE", "loudness from the tags: track (default), album, off",
            [&](const std::string& v, std::string* error) {
              if (ParseReplayGainMode(v, &o.replay_gain)) return true;
              *error = "replaygain must be track, album or off, not '" + v + "'";
              return false;
            });
  cli.Flag("--stats", "", [&] { o.stats = true; });
  cli.Operands([&](const std::string& file, std::string*) {
    o.files.push_back(file);
    return true;
  });
  // The keys and exit statuses live in the manual page, so --help stays one screen.
  cli.Epilogue("Keys, exit statuses, --json --stream --buffer --stats --no-mpris: man dar3play");
  int status = 0;
  if (cli.Parse(argc, argv, &status) == platform::CommandLine::Outcome::kExit) return status;

  if (decode && info) return cli.UsageError("--info and --decode exclude each other");
  if (decode) {
    if (o.files.size() < 2) return cli.UsageError("--decode takes one or more inputs and OUT.wav");
    o.mode = RunMode::kDecode;
    o.wav_out = o.files.back();
    o.files.pop_back();
  } else if (info) {
    o.mode = RunMode::kInfo;
  }
  if (o.files.empty() && o.mode != RunMode::kListDevices && !(o.remote && o.mode == RunMode::kPlay))
    return cli.UsageError("no file given");
  *options = o;
  return -1;
}
