// The fuzz targets' entry points: plain functions that the libFuzzer wrappers and the
// regression test both call. Each takes one input and returns normally whatever it
// holds; a fault shows as a crash, a sanitizer report or a BrokenProperty exception.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sism::fuzz {

// Detection, dispatch, the reader, preprocessing and the load statistics on the input
// written as a record file (tests/fuzz/file_sets.h), with preprocessing settings chosen
// by the input's last bytes.
void ReadPathInput(const uint8_t* data, std::size_t size);
// The binary readers' parsing cores on the input as a file's bytes.
void AltusInput(const uint8_t* data, std::size_t size);
void MdInput(const uint8_t* data, std::size_t size);
void TrhInput(const uint8_t* data, std::size_t size);
void Jma95bInput(const uint8_t* data, std::size_t size);
// The INI reader and the settings sections loaded from and saved to it.
void SettingsInput(const uint8_t* data, std::size_t size);
// The title template expander and the escapes of multi-line settings texts.
void TemplatesInput(const uint8_t* data, std::size_t size);
// Fortran edit descriptors and fixed-column values.
void FixedTextInput(const uint8_t* data, std::size_t size);

struct Target {
  const char* name;  // also the folder of its seeds, dictionary and regression inputs
  void (*run)(const uint8_t* data, std::size_t size);
};
const std::vector<Target>& Targets();

}  // namespace sism::fuzz
