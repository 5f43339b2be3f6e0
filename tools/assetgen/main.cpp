// assetgen OUTPUT_DIR [--preview PREVIEW_DIR]: writes every file the game opens.
// assetgen --icons DIR: writes the desktop icon in its sizes.
#include <cstdio>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "platform/command_line.h"
#include "tools/assetgen/asset_generator.h"
#include "tools/assetgen/icons.h"

namespace {

// 0 when the work succeeds, 1 (with the reason printed) when it throws.
int Run(const std::function<void()>& work) {
  try {
    work();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "assetgen: %s\n", e.what());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  assetgen::GeneratorOptions options;
  std::string icons_dir;
  std::vector<std::string> operands;
  platform::CommandLine cli("assetgen", "OUTPUT_DIR [--preview PREVIEW_DIR] | --icons DIR");
  cli.Describe("Draws every picture, sound and music file the game opens into OUTPUT_DIR.");
  cli.Value("--preview", "PREVIEW_DIR", "also writes PNG previews and contact sheets there",
            [&](const std::string& dir, std::string*) {
              options.preview_dir = dir;
              return true;
            });
  cli.Value("--icons", "DIR", "writes only the desktop icon, in its sizes, into DIR",
            [&](const std::string& dir, std::string*) {
              icons_dir = dir;
              return true;
            });
  cli.Operands([&](const std::string& operand, std::string*) {
    operands.push_back(operand);
    return true;
  });
  int status = 0;
  if (cli.Parse(argc, argv, &status) == platform::CommandLine::Outcome::kExit) return status;
  if (!icons_dir.empty()) {
    if (!operands.empty() || !options.preview_dir.empty()) return cli.UsageError("--icons takes only its folder");
    return Run([&] { assetgen::WriteIcons(icons_dir); });
  }
  if (operands.size() != 1)
    return cli.UsageError(operands.empty() ? "no output folder given" : "one output folder only");
  options.output_dir = operands[0];
  return Run([&] { assetgen::GenerateAssets(options); });
}
