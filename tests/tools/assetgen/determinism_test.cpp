// A fresh run of the generator reproduces the build's files byte for byte.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "tests/tools/assetgen/asset_files.h"
#include "tools/assetgen/asset_generator.h"

namespace {

using namespace assettest;

TEST(Determinism, AFreshRunWritesTheSameBytesAsTheBuild) {
  const std::string dir =
      (std::filesystem::temp_directory_path() / ("assetgen-rerun-" + std::to_string(getpid()))).string();
  assetgen::GeneratorOptions options;
  options.output_dir = dir;
  assetgen::GenerateAssets(options);
  size_t compared = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    const std::vector<uint8_t> fresh = ReadBytes(entry.path().string());
    const std::vector<uint8_t> built = ReadBytes(AssetPath(name));
    ASSERT_EQ(fresh.size(), built.size());
    EXPECT_TRUE(fresh == built);
    ++compared;
  }
  EXPECT_EQ(compared, ExpectedFiles().size()) << "the generator writes exactly the game's files";
  std::filesystem::remove_all(dir);
}

}  // namespace
