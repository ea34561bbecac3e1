// Every input the fuzzers found a fault with, run through the same entry points: each
// must now pass without a crash, a sanitizer report or a broken property.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "tests/fuzz/entries.h"
#include "tests/fuzz/file_sets.h"
#include "tests/fuzz/fuzz_input.h"

namespace sism::fuzz {
namespace {

namespace fs = std::filesystem;

const fs::path kRegressions = fs::path(SISMORA_SOURCE_DIR) / "tests" / "fuzz" / "regressions";

std::vector<fs::path> InputsOf(const std::string& target) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(kRegressions / target, ec))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

std::string Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class FuzzRegressions : public testing::TestWithParam<Target> {};

}  // namespace

// Test names and messages show the target's name.
void PrintTo(const Target& target, std::ostream* os) {
  *os << target.name;
}

namespace {

TEST_P(FuzzRegressions, EachFoundInputNowPasses) {
  const Target& target = GetParam();
  for (const fs::path& file : InputsOf(target.name)) {
    SCOPED_TRACE(file.string());
    const std::string bytes = Contents(file);
    try {
      target.run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    } catch (const BrokenProperty& e) {
      ADD_FAILURE() << e.what;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzRegressions, testing::ValuesIn(Targets()),
                         [](const testing::TestParamInfo<Target>& info) { return std::string(info.param.name); });

// Every folder of regression inputs belongs to a target, so none is silently skipped.
TEST(FuzzRegressionFolders, EachNamesATarget) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(kRegressions, ec)) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(std::any_of(Targets().begin(), Targets().end(),
                            [&](const Target& t) { return name == t.name; }))
        << name;
  }
}

// Empty and one-byte inputs, the smallest every target must take.
TEST(FuzzEntries, TakeTheSmallestInputs) {
  for (const Target& target : Targets()) {
    SCOPED_TRACE(target.name);
    for (std::size_t n = 0; n < 2 * kFileSetCount; ++n) {
      const uint8_t byte = static_cast<uint8_t>(n);
      EXPECT_NO_THROW(target.run(&byte, n == 0 ? 0 : 1));
    }
  }
}

}  // namespace
}  // namespace sism::fuzz
