// The files the read-path target writes: the first byte of an input chooses a row, the
// opened file's name and the names its other parts go to (the other files of a set, or
// the next minute of a sequence). One row per extension the readers know; a new reader
// adds its row at the end, so saved inputs keep their meaning.
#pragma once

#include <cstddef>
#include <initializer_list>

namespace sism::fuzz {

struct FileSet {
  const char* name;
  std::initializer_list<const char*> others;
};

inline constexpr FileSet kFileSets[] = {
    {"rec.txt", {}},  // general text, AFAD, and whatever the first lines make it
    {"rec.ac", {}},
    {"rec.acs", {}},
    {"rec.NS", {"rec.EW", "rec.UD"}},
    {"rec.NS1", {"rec.EW1", "rec.UD1", "rec.NS2", "rec.EW2", "rec.UD2"}},
    {"rec.1", {"rec.2", "rec.3"}},
    {"rec0.ans", {"rec0.aew", "rec0.aud", "rec1.ans", "rec1.aew", "rec1.aud"}},
    {"rec1200.abc", {"rec1201.abc"}},  // JMA difference-coded minutes
    {"rec.smc", {}},
    {"rec.md", {}},
    {"rec.AT2", {}},
    {"rec.HNE.ASC", {"rec.HNN.ASC", "rec.HNZ.ASC"}},
    {"rec.V1A", {}},
    {"rec.V2A", {}},
    {"rec.evt", {}},
    {"rec.csv", {}},
    {"rec.org", {}},
    {"rec.V1c", {}},
    {"rec.V2c", {}},
    {"rec.V1", {}},
    {"rec.V2", {}},
    {"rec.RAW", {}},
    {"rec.dat", {}},
    {"rec.s0a", {}},
    {"rec.V3", {}},
    {"rec.V0c", {}},
    {"rec.trh", {}},
    // Seismometer data: the other components, and the station's response named from the data.
    {"XX.STA..HHZ.mseed", {"XX.STA..HHN.mseed", "XX.STA..HHE.mseed", "XX.STA.xml"}},
    {"XX.STA..HHZ.miniseed", {"XX.STA..HHN.miniseed", "XX.STA..HHE.miniseed", "XX.STA.xml"}},
    {"XX.STA..HHZ.sac", {"XX.STA..HHN.sac", "XX.STA..HHE.sac", "XX.STA.xml"}},
};

inline constexpr std::size_t kFileSetCount = sizeof kFileSets / sizeof kFileSets[0];

// Between the parts of an input that go to different files.
inline constexpr const char kPartSeparator[] = "\n@@@\n";

}  // namespace sism::fuzz
