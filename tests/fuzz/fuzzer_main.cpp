// libFuzzer's entry for one target; SISMORA_FUZZ_ENTRY names the entry function.
#include <time.h>

#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/entries.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

// No input may take more than a second. Counted in processor time: libFuzzer's own
// timeout counts wall time, which a busy machine stretches (it stays on, longer, for hangs).
constexpr double kCpuSecondsLimit = 1.0;

double CpuSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const double start = CpuSeconds();
  try {
    sism::fuzz::SISMORA_FUZZ_ENTRY(data, size);
  } catch (const sism::fuzz::BrokenProperty& e) {
    std::fprintf(stderr, "Broken property: %s\n", e.what.c_str());
    std::abort();
  }
  const double used = CpuSeconds() - start;
  if (used > kCpuSecondsLimit) {
    std::fprintf(stderr, "Slow input: %.2f s of processor time\n", used);
    std::abort();
  }
  return 0;
}
