// Where the real sample records live; tests that need them skip when the folder is absent.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace sism::test {

std::filesystem::path SamplesDir();
bool HaveSamples();

}  // namespace sism::test

// Skips the current test with a message when ../shared/samples is not there.
#define SKIP_WITHOUT_SAMPLES()                                                      \
  do {                                                                              \
    if (!::sism::test::HaveSamples())                                               \
      GTEST_SKIP() << "sample records not found at " << ::sism::test::SamplesDir(); \
  } while (0)
