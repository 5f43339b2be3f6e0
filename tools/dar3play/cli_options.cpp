#include "tools/dar3play/cli_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "tools/dar3play/sound_effects.h"

namespace {

bool ParseInt(const char* text, int low, int high, int* value) {
  if (!text || !*text) return false;
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (errno || *end || v < low || v > high) return false;
  *value = int(v);
  return true;
}

}  // namespace

const char* UsageText() {
  return "Usage: dar3play [OPTION]... FILE|FOLDER|LIST...\n"
         "Plays MP3 files, folders and M3U/PLS lists; full screen on a terminal, else a line a track.\n"
         "  --info FILE...          print format, length and tags (--json: as JSON)\n"
         "  --decode IN... OUT.wav  decode into one 16-bit stereo WAV, back to back\n"
         "  --list-devices          list the sound devices\n"
         "  --shuffle               random order      --repeat one|all|off  repeat track or list\n"
         "  -q, --quiet             errors only       --output null         play without a device\n"
         "  --device NAME|INDEX     sound device from --list-devices\n"
         "  --stream                read files through a pushed stream ('-' is standard input)\n"
         "  --eq PRESET             flat, bass, treble, vocal, loudness\n"
         "  --echo MODE             0..9              --reverse             play backwards\n"
         "  --volume N              0..100            --buffer MS           200..10000, default 500\n"
         "  --stats                 print refresh rate and CPU use after playing\n"
         "  -h, --help              this text         --version             library version\n"
         "Keys: Space pause  Left/Right seek  Up/Down volume  n/p next/previous  s shuffle\n"
         "  t repeat  NUMBER Enter jump  r reverse  [ ] l loop  e echo  g equalizer  w window\n"
         "  v vocal cut  m mix  d device  f fade out and quit  q quit\n"
         "Exit status: 0 all played, 1 any failed or no sound device, 2 bad command line,\n"
         "130 after Ctrl+C, 143 after SIGTERM. See dar3play(1).\n";
}

bool ParseOptions(int argc, char** argv, Options* options, std::string* error) {
  Options o;
  bool decode = false, info = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    auto value = [&](const char* name) -> const char* {
      if (i + 1 >= argc) {
        *error = std::string("option ") + name + " needs a value";
        return nullptr;
      }
      return argv[++i];
    };
    if (!std::strcmp(arg, "-h") || !std::strcmp(arg, "--help")) {
      o.mode = RunMode::kHelp;
    } else if (!std::strcmp(arg, "--version")) {
      o.mode = RunMode::kVersion;
    } else if (!std::strcmp(arg, "--info")) {
      info = true;
    } else if (!std::strcmp(arg, "--json")) {
      o.json = true;
    } else if (!std::strcmp(arg, "--decode")) {
      decode = true;
    } else if (!std::strcmp(arg, "--stream")) {
      o.stream = true;
    } else if (!std::strcmp(arg, "--list-devices")) {
      o.mode = RunMode::kListDevices;
    } else if (!std::strcmp(arg, "--shuffle")) {
      o.shuffle = true;
    } else if (!std::strcmp(arg, "-q") || !std::strcmp(arg, "--quiet")) {
      o.quiet = true;
    } else if (!std::strcmp(arg, "--repeat")) {
      const char* v = value("--repeat");
      if (!v) return false;
      if (!ParseRepeat(v, &o.repeat)) {
        *error = std::string("repeat must be one, all or off, not '") + v + "'";
        return false;
      }
    } else if (!std::strcmp(arg, "--output")) {
      const char* v = value("--output");
      if (!v) return false;
      if (std::strcmp(v, "null") != 0 && std::strcmp(v, "default") != 0) {
        *error = std::string("output must be null or default, not '") + v + "'";
        return false;
      }
      o.output_null = std::strcmp(v, "null") == 0;
    } else if (!std::strcmp(arg, "--device")) {
      const char* v = value("--device");
      if (!v) return false;
      if (!*v) {
        *error = "--device needs a name or a number";
        return false;
      }
      o.device = v;
    } else if (!std::strcmp(arg, "--stats")) {
      o.stats = true;
    } else if (!std::strcmp(arg, "--reverse")) {
      o.reverse = true;
    } else if (!std::strcmp(arg, "--eq")) {
      const char* v = value("--eq");
      if (!v) return false;
      o.eq_preset = FindEqPreset(v);
      if (o.eq_preset < 0) {
        *error = std::string("unknown equalizer preset '") + v + "'";
        return false;
      }
    } else if (!std::strcmp(arg, "--echo")) {
      const char* v = value("--echo");
      if (!v) return false;
      if (!ParseInt(v, 0, kEchoModeCount - 1, &o.echo_mode)) {
        *error = std::string("echo mode must be 0..9, not '") + v + "'";
        return false;
      }
    } else if (!std::strcmp(arg, "--volume")) {
      const char* v = value("--volume");
      if (!v) return false;
      if (!ParseInt(v, 0, 100, &o.volume)) {
        *error = std::string("volume must be 0..100, not '") + v + "'";
        return false;
      }
    } else if (!std::strcmp(arg, "--buffer")) {
      const char* v = value("--buffer");
      if (!v) return false;
      if (!ParseInt(v, 200, 10000, &o.buffer_ms)) {
        *error = std::string("buffer must be 200..10000 ms, not '") + v + "'";
        return false;
      }
    } else if (!std::strcmp(arg, "--")) {
      for (++i; i < argc; ++i) o.files.push_back(argv[i]);
    } else if (arg[0] == '-' && arg[1]) {
      *error = std::string("unknown option '") + arg + "'";
      return false;
    } else {
      o.files.push_back(arg);
    }
  }
  if (o.mode == RunMode::kHelp || o.mode == RunMode::kVersion || o.mode == RunMode::kListDevices) {
    *options = o;
    return true;
  }
  if (decode && info) {
    *error = "--info and --decode exclude each other";
    return false;
  }
  if (decode) {
    if (o.files.size() < 2) {
      *error = "--decode takes one or more inputs and OUT.wav";
      return false;
    }
    o.mode = RunMode::kDecode;
    o.wav_out = o.files.back();
    o.files.pop_back();
  } else if (info) {
    o.mode = RunMode::kInfo;
  }
  if (o.files.empty()) {
    *error = "no file given";
    return false;
  }
  *options = o;
  return true;
}
