#include "tests/fuzz/entries.h"

namespace sism::fuzz {

const std::vector<Target>& Targets() {
  static const std::vector<Target> targets = {
      {"read_path", ReadPathInput}, {"altus", AltusInput},       {"md", MdInput},
      {"trh", TrhInput},            {"jma95b", Jma95bInput},     {"settings", SettingsInput},
      {"templates", TemplatesInput}, {"fixed_text", FixedTextInput},
  };
  return targets;
}

}  // namespace sism::fuzz
