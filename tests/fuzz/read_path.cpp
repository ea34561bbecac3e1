// The whole way a record file takes when it is opened.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "load/pipeline.h"
#include "load/read_file.h"
#include "tests/fuzz/entries.h"
#include "tests/fuzz/file_sets.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/fuzz/fuzz_ui.h"
#include "tests/fuzz/scratch.h"

namespace sism::fuzz {

namespace {

// Values a stored settings file or a command-line switch can hold: anything finite.
constexpr float kFrequencies[] = {0, 0.02f, 0.1f, 0.5f, 1, 5, 10, 20, 49.9f, 50, 100, 1e4f, -1, 1e-7f, 3e38f, 0.3f};
constexpr float kSeconds[] = {0, 0.005f, 0.01f, 0.5f, 1, 2.5f, 10, 59.99f, 60, 1e6f, -1, 3e38f, 1e-9f, 0.02f, 5, 30};
constexpr const char* kMultipliers[] = {"", "", "", "", "1:1:0.5", "2", "0:-1", "abc", "1e38:1e38", ":::",
                                        "1e-38", "0.5:x", "-1:-1:-1:-1:-1:-1:-1", "1,5", " 2 : 3 "};

void ChooseSettings(FuzzInput& in, PreProcParams& p, FuzzUi& ui, bool& append) {
  const uint8_t flags = in.BackByte();
  p.RemoveDC = flags & 1;
  p.RotateWave = flags & 2;
  p.PickChannels = flags & 4;
  p.ConvertToMeter = flags & 8;
  p.KeepDrawChan = flags & 16;
  p.PrefixCode = flags & 32;
  append = flags & 64;
  const uint8_t counts = in.BackByte();
  p.RemoveDCSeconds = counts % 8 - 1;
  p.RefSensor = (counts >> 3) % 5 - 1;
  p.RotateWaveAngle = static_cast<int8_t>(in.BackByte()) * 3;
  if (flags & 128) {
    p.LowCutFreq = in.BackPick(kFrequencies);
    p.HighCutFreq = in.BackPick(kFrequencies);
  }
  const float skip = in.BackPick(kSeconds);
  p.SkipSeconds = in.BackByte() & 1 ? skip : 0;
  p.TimeLength = in.BackPick(kSeconds);
  p.Multipliers = in.BackPick(kMultipliers);
  if (p.PickChannels) {
    const int n = in.BackByte() % 8;
    for (int k = 0; k < n; ++k) ui.pick.push_back(in.BackByte());
  }
}

// A record the pipeline kept is whole: its arrays hold what its counts say.
void CheckRecord(const AppState& state) {
  const StrongRecord& rec = state.record;
  if (rec.ChanCount == 0) return;
  Require(rec.ChanCount >= 1 && rec.DataCount >= 1 && rec.SampFreq >= 1, "a kept record has no samples");
  Require(rec.AccChannels() >= rec.ChanCount && rec.DataCapacity() >= rec.DataCount,
          "a kept record's counts exceed its arrays");
  Require(state.view.LabelCopies.size() == static_cast<std::size_t>(rec.ChanCount),
          "the view's labels do not match the channels");
  Require(state.Durations.size() == static_cast<std::size_t>(rec.ChanCount),
          "the durations do not match the channels");
}

}  // namespace

void ReadPathInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return;
  FuzzInput in(data, size);
  const FileSet& set = kFileSets[in.FrontByte() % kFileSetCount];
  AppState state;
  FuzzUi ui;
  bool append = false;
  ChooseSettings(in, state.preproc, ui, append);

  const ScratchFolder& scratch = Scratch();
  scratch.Clear();
  std::vector<std::string> parts = SplitParts(in.Rest(), kPartSeparator);
  const std::string path = scratch.Write(set.name, parts[0]);
  std::size_t k = 1;
  for (const char* other : set.others) {
    if (k >= parts.size()) break;
    scratch.Write(other, parts[k++]);
  }

  OpenFileState files;
  ReadFileResult r = ReadFile(state, files, path, false, ui);
  if (std::getenv("SISMORA_FUZZ_VERBOSE"))
    std::fprintf(stderr, "%s: %d channels, %d steps\n", set.name, state.record.ChanCount, state.record.DataCount);
  CheckRecord(state);
  // Bad input never goes unexplained; a choice the user declined needs no explaining.
  Require(r.chanCount > 0 || ui.messages > 0 || ui.declined > 0, "a file was not opened and nothing was said");
  if (append && r.chanCount > 0) {
    const int said = ui.messages + ui.declined;
    const int32_t count = state.record.ChanCount;
    r = ReadFile(state, files, path, true, ui);
    CheckRecord(state);
    Require(r.chanCount > count || ui.messages + ui.declined > said, "a file was not appended and nothing was said");
  }
}

}  // namespace sism::fuzz
