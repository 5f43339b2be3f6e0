// jedreplay: plays Jed Grimstorm headless from a key script or with the built-in autoplayer,
// saves PNG screenshots of chosen frames and prints the final state. Run it in the assets folder.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/command_line.h"
#include "tools/jedreplay/key_script.h"
#include "tools/jedreplay/replay.h"

namespace {

bool ReadScript(const std::string& path, KeyScript* script, std::string* error) {
  std::ifstream file(path);
  if (!file) {
    *error = "cannot read " + path;
    return false;
  }
  std::stringstream text;
  text << file.rdbuf();
  std::string reason;
  if (script->Parse(text.str(), &reason)) return true;
  *error = path + ": " + reason;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  ReplayOptions options;
  bool print_texts = false;
  bool max_frames_given = false;
  platform::CommandLine cli("jedreplay", "[--auto | --stand | --script FILE] [OPTION]...");
  cli.Describe(
      "Plays Jed Grimstorm headless, from a key script or with the built-in autoplayer,\n"
      "saves screenshots of chosen frames and prints the final state. Run it in the\n"
      "folder of the game's data.");
  cli.Flag("--auto", "the autoplayer plays the game through (default)",
           [&] { options.driver = ReplayOptions::Driver::Autoplay; });
  cli.Flag("--stand", "walks to the first thug and stands still until HEALTH runs out",
           [&] { options.driver = ReplayOptions::Driver::StandStill; });
  cli.Value("--script", "FILE",
            "keys per frame: lines \"FIRST[-LAST] key...\" (left right up down\n"
            "space shift enter escape), frames counted from 1; recordings of the\n"
            "game (jed-grimstorm --record) add \"seed N\", \"close\" and \"unfocus\"",
            [&](const std::string& path, std::string* error) {
              options.driver = ReplayOptions::Driver::Script;
              return ReadScript(path, &options.script, error);
            });
  cli.Value("--shot", "FRAME:FILE.png", "saves the picture presented in that frame",
            [&](const std::string& spec, std::string* error) {
              const auto colon = spec.find(':');
              uint64_t frame = 0;
              const char* end = nullptr;
              const std::string number = colon == std::string::npos ? spec : spec.substr(0, colon);
              if (colon == std::string::npos || colon == 0 || !ParseFrameNumber(number.c_str(), &end, &frame) ||
                  *end != '\0' || frame == 0) {
                *error = "bad frame number in --shot " + spec;
                return false;
              }
              options.shots.push_back({frame, spec.substr(colon + 1)});
              return true;
            });
  cli.Value("--end-shot", "FILE.png", "saves the end screen as the autoplayer leaves it",
            [&](const std::string& path, std::string*) {
              options.end_screen_shot = path;
              return true;
            });
  cli.Value("--max-frames", "N", "stops after N frames (0: no limit; default 200000,\nor the end of a longer script)",
            [&](const std::string& text, std::string* error) {
              const char* end = nullptr;
              max_frames_given = true;
              if (ParseFrameNumber(text.c_str(), &end, &options.max_frames) && *end == '\0') return true;
              *error = "bad frame count in --max-frames " + text;
              return false;
            });
  cli.Flag("--texts", "prints the texts of the end screen (or of the last frame with any)",
           [&] { print_texts = true; });
  cli.Flag("--trace", "prints the hero's and nearby thugs' state after every level frame",
           [&] { options.trace = true; });
  int status = 0;
  if (cli.Parse(argc, argv, &status) == platform::CommandLine::Outcome::kExit) return status;

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
