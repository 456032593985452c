#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "EngineTimeline.h"
#include "ProfileReplay.h"

namespace brevanto {
namespace {

namespace fs = std::filesystem;

// Inputs on which the stuck-key fuzz targets once found a key left down, and
// the seeds their runs start from, replayed through the same checks.
std::vector<fs::path> Regressions(const char* target) {
  std::vector<fs::path> files;
  for (const char* kind : {"regressions", "corpus"}) {
    const fs::path dir = fs::path(BREVANTO_FUZZ_DIR) / kind / target;
    if (!fs::is_directory(dir)) continue;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<uint8_t> Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

template <typename Harness>
void ReplayAll(const char* target) {
  const std::vector<fs::path> files = Regressions(target);
  ASSERT_FALSE(files.empty()) << "no saved inputs for " << target;
  Harness harness;
  for (const fs::path& file : files) {
    const std::vector<uint8_t> bytes = Bytes(file);
    EXPECT_EQ(harness.Run(bytes.data(), bytes.size()), "") << file;
  }
}

TEST(StuckKeyRegressions, RecordsUnderInputTimelines) {
  ReplayAll<fuzzing::EngineTimeline>("engine_timeline_fuzz");
}

TEST(StuckKeyRegressions, ProfilesThroughTheProcessingCycle) {
  ReplayAll<fuzzing::ProfileReplay>("profile_replay_fuzz");
}

}  // namespace
}  // namespace brevanto
