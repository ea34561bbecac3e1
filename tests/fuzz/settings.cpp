// The INI reader and the settings sections read from a user's settings file.
#include <string>

#include "app/shell/profile.h"
#include "app/shell/settings.h"
#include "common/text.h"
#include "tests/fuzz/entries.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/fuzz/scratch.h"

namespace sism::fuzz {

void SettingsInput(const uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  // The document itself: a key written reads back, and every other line stays.
  ProfileFile doc = ProfileFile::Parse(text);
  std::string value;
  doc.Get("Graph", "CompCountMax", value);
  doc.Get("PreProcess", "Multipliers", value);
  doc.Set("PreProcess", "LowCut", "0.1");
  ProfileFile again = ProfileFile::Parse(doc.Text());
  Require(again.Get("PreProcess", "LowCut", value) && value == "0.1", "a key written does not read back");

  // The sections loaded from it as a user's settings file; the numeric ones saved and loaded again.
  const ScratchFolder& scratch = Scratch();
  scratch.Clear();
  const std::string file = scratch.Write("user.ini", text);
  // A section the text does not name has nothing to load: its keys all keep their defaults.
  const std::string lower = LCase(text);
  auto names = [&](const char* section) { return lower.find(section) != std::string::npos; };
  GraphSettings graph;
  CalcParams calcLoaded;
  PreProcParams preprocLoaded;
  SetCalcDefaults(calcLoaded);
  SetPreProcDefaults(preprocLoaded);
  {
    const SettingsStore store(file);
    if (names("graph")) {
      ResizeWaveLines(graph, ReadCompCountMax(store, graph.CompCountMax));
      SetGraphDefaults(graph);
      LoadGraphSettings(graph, store);
      CountGraphKeys(graph, store);
    }
    if (names("calculation")) LoadCalcParams(calcLoaded, store);
    if (names("preprocess")) LoadPreProcParams(preprocLoaded, store);
  }
  if (!names("calculation") && !names("preprocess")) return;
  const std::string saved = scratch.File("saved.ini");
  {
    SettingsStore store(saved);
    SaveCalcParams(calcLoaded, store);
    SavePreProcParams(preprocLoaded, store);
    store.Commit();
  }
  CalcParams calc;
  SetCalcDefaults(calc);
  LoadCalcParams(calc, saved);
  Require(calc == calcLoaded, "calculation settings saved do not load back");
  PreProcParams preproc;
  SetPreProcDefaults(preproc);
  LoadPreProcParams(preproc, saved);
  preproc.ConvertToMeter = preprocLoaded.ConvertToMeter;
  preproc.PrefixCode = preprocLoaded.PrefixCode;
  Require(preproc == preprocLoaded, "preprocessing settings saved do not load back");
}

}  // namespace sism::fuzz
