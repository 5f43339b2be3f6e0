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
  return "Usage: dar3play [OPTION]... FILE...\n"
         "Plays MP3 files in a terminal interface, or inspects and decodes them.\n"
         "\n"
         "Modes:\n"
         "  (default)              play FILE... in order\n"
         "  --info FILE...         print format, length and tags\n"
         "  --json                 with --info: print JSON instead of text\n"
         "  --decode FILE OUT.wav  decode to a 16-bit stereo WAV file, no sound output\n"
         "\n"
         "Options:\n"
         "  --stream               feed the file through OpenStream/PushDataToStream\n"
         "                         while reading it (FILE '-' is standard input, always so)\n"
         "  --eq PRESET            FFT equalizer: flat, bass, treble, vocal, loudness\n"
         "  --echo MODE            echo mode 0..9\n"
         "  --reverse              play backwards\n"
         "  --volume N             player volume 0..100\n"
         "  --buffer MS            output buffer length (200..10000, default 500)\n"
         "  --stats                after playing: print the screen refresh rate and CPU use\n"
         "  -h, --help             show this text\n"
         "  --version              show the library version\n"
         "\n"
         "Keys while playing:\n"
         "  Space pause   Left/Right seek 5 s   Up/Down volume   n/p next/previous file\n"
         "  r reverse   [ ] loop start/end   l loop the section   e echo mode   g equalizer\n"
         "  w spectrum window   v vocal cut   m mix channels   d output device\n"
         "  f fade out and quit   q or Escape quit\n"
         "\n"
         "Exit status: 0 when every file worked, 1 when any failed, 2 for a bad command line.\n";
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
  if (o.mode == RunMode::kHelp || o.mode == RunMode::kVersion) {
    *options = o;
    return true;
  }
  if (decode && info) {
    *error = "--info and --decode exclude each other";
    return false;
  }
  if (decode) {
    if (o.files.size() != 2) {
      *error = "--decode takes FILE and OUT.wav";
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
