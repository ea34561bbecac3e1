// libFuzzer's entry for one target; SISMORA_FUZZ_ENTRY names the entry function.
#include <sanitizer/allocator_interface.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/entries.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

// No input may take more than a second. Counted in processor time: libFuzzer's own
// timeout counts wall time, which a busy machine stretches (it stays on, longer, for hangs).
constexpr double kCpuSecondsLimit = 1.0;

// No allocation beyond what the input's size can justify: a count read from a file may
// size an array only as far as the file can hold values, plus a fixed margin (a minute of
// JMA samples, a transform's padding).
constexpr std::size_t kBytesPerInputByte = 16;
constexpr std::size_t kAllocationMargin = std::size_t{1} << 20;

// The largest single allocation while an input runs.
std::size_t largestAllocation = 0;
bool watching = false;

void OnMalloc(const volatile void*, std::size_t size) {
  if (watching && size > largestAllocation) largestAllocation = size;
}
void OnFree(const volatile void*) {}

const int hooksInstalled = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);

double CpuSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  (void)hooksInstalled;
  const double start = CpuSeconds();
  largestAllocation = 0;
  watching = true;
  try {
    sism::fuzz::SISMORA_FUZZ_ENTRY(data, size);
  } catch (const sism::fuzz::BrokenProperty& e) {
    watching = false;
    std::fprintf(stderr, "Broken property: %s\n", e.what.c_str());
    std::abort();
  }
  watching = false;
  if (largestAllocation > kBytesPerInputByte * size + kAllocationMargin) {
    std::fprintf(stderr, "Allocation of %zu bytes for an input of %zu\n", largestAllocation, size);
    std::abort();
  }
  const double used = CpuSeconds() - start;
  if (used > kCpuSecondsLimit) {
    std::fprintf(stderr, "Slow input: %.2f s of processor time\n", used);
    std::abort();
  }
  return 0;
}
