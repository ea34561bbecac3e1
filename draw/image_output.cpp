#include "draw/image_output.h"

#include "common/files.h"
#include "common/path.h"
#include "common/strings.h"
#include "common/text.h"
#include "common/ui.h"

namespace sism {

ImageFormat ImageFormatFor(const std::string& path) {
  return EqualsNoCase(SplitPath(path).ext, ".bmp") ? ImageFormat::Bmp : ImageFormat::Png;
}

bool ConfirmImageOverwrite(const std::string& path, UserInterface& ui) {
  if (!FileExists(path)) return true;
  return ui.AskYesNo(OverwriteQuestion(path), ProgramTitle());
}

}  // namespace sism
