// Runs a piece of work in a forked child and measures how far the child's resident
// memory rose above where it stood when the work began, so that the figure is the
// work's own and not what the test process held before.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace sism::test {

struct ChildRun {
  bool finished = false;  // the child ended normally
  int64_t peakGrowthKb = 0;
  std::string text;  // what the work returned
};

ChildRun RunInChild(const std::function<std::string()>& work);

// The resident-memory peak of this process (VmHWM), in kB; -1 when unknown.
int64_t PeakResidentKb();

// AddressSanitizer's shadow memory and quarantine make memory figures mean nothing.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kMemoryFiguresHold = false;
#else
inline constexpr bool kMemoryFiguresHold = true;
#endif

}  // namespace sism::test
