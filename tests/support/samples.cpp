#include "tests/support/samples.h"

namespace sism::test {

std::filesystem::path SamplesDir() {
  if (const char* env = std::getenv("SISMORA_SAMPLES")) return env;
  return SISMORA_SAMPLES_DIR;
}

bool HaveSamples() {
  return std::filesystem::is_directory(SamplesDir());
}

}  // namespace sism::test
