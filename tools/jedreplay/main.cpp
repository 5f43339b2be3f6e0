// jedreplay: plays Jed Grimstorm headless from a key script or with the built-in autoplayer,
// saves PNG screenshots of chosen frames and prints the final state. Run it in the assets folder.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/jedreplay/key_script.h"
#include "tools/jedreplay/replay.h"

namespace {

void Usage() {
  std::fprintf(stderr,
               "usage: jedreplay [--auto | --stand | --script FILE] [--shot FRAME:FILE.png]...\n"
               "                 [--end-shot FILE.png] [--max-frames N] [--texts] [--trace]\n"
               "  --auto      the autoplayer plays the game through (default)\n"
               "  --stand     walks to the first thug and stands still until HEALTH runs out\n"
               "  --script    keys per frame: lines \"FIRST[-LAST] key...\" (left right up down\n"
               "              space shift enter escape), frames counted from 1; recordings of the\n"
               "              game (jed-grimstorm --record) add \"seed N\", \"close\" and \"unfocus\"\n"
               "  --shot      saves the picture presented in that frame\n"
               "  --end-shot  saves the end screen as the autoplayer leaves it\n"
               "  --texts     prints the texts of the end screen (or of the last frame with any)\n"
               "  --trace     prints the hero's and nearby thugs' state after every level frame\n");
}

}  // namespace

int main(int argc, char** argv) {
  ReplayOptions options;
  bool print_texts = false;
  bool max_frames_given = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--auto") {
      options.driver = ReplayOptions::Driver::Autoplay;
    } else if (arg == "--stand") {
      options.driver = ReplayOptions::Driver::StandStill;
    } else if (arg == "--script" && has_value) {
      std::ifstream file(argv[++i]);
      if (!file) {
        std::fprintf(stderr, "jedreplay: cannot read %s\n", argv[i]);
        return 2;
      }
      std::stringstream text;
      text << file.rdbuf();
      std::string error;
      if (!options.script.Parse(text.str(), &error)) {
        std::fprintf(stderr, "jedreplay: %s: %s\n", argv[i], error.c_str());
        return 2;
      }
      options.driver = ReplayOptions::Driver::Script;
    } else if (arg == "--shot" && has_value) {
      const std::string spec = argv[++i];
      const auto colon = spec.find(':');
      if (colon == std::string::npos || colon == 0) {
        Usage();
        return 2;
      }
      uint64_t frame = 0;
      const std::string number = spec.substr(0, colon);
      const char* end = nullptr;
      if (!ParseFrameNumber(number.c_str(), &end, &frame) || *end != '\0' || frame == 0) {
        std::fprintf(stderr, "jedreplay: bad frame number in --shot %s\n", spec.c_str());
        return 2;
      }
      options.shots.push_back({frame, spec.substr(colon + 1)});
    } else if (arg == "--end-shot" && has_value) {
      options.end_screen_shot = argv[++i];
    } else if (arg == "--max-frames" && has_value) {
      max_frames_given = true;
      const char* text = argv[++i];
      const char* end = nullptr;
      if (!ParseFrameNumber(text, &end, &options.max_frames) || *end != '\0') {
        std::fprintf(stderr, "jedreplay: bad frame count in --max-frames %s\n", text);
        return 2;
      }
    } else if (arg == "--trace") {
      options.trace = true;
    } else if (arg == "--texts") {
      print_texts = true;
    } else {
      Usage();
      return 2;
    }
  }
  // A long recording plays to its own end unless a limit was asked for.
  if (!max_frames_given && options.max_frames != 0 && options.script.last_frame() >= options.max_frames)
    options.max_frames = options.script.last_frame() + 1;
  const ReplayResult result = RunReplay(options);
  std::printf("%s\n", DescribeResult(result).c_str());
  if (print_texts)
    for (const std::string& text : result.end_screen_texts.empty() ? result.last_texts : result.end_screen_texts)
      std::printf("text: %s\n", text.c_str());
  for (const std::string& failure : result.shot_failures) std::fprintf(stderr, "jedreplay: %s\n", failure.c_str());
  // A screenshot that was asked for and not written is a failed run, whatever the game said.
  return result.shot_failures.empty() ? result.exit_code : (result.exit_code != 0 ? result.exit_code : 1);
}
