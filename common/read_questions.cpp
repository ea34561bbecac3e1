#include "common/read_questions.h"

namespace sism {

bool PresetQuestions::ShowReadDataDialog(DataFileKind kind, const std::string& path, const std::string& preview,
                                         DataFileParams& params) {
  const std::optional<DataFileParams>& given = kind == DataFileKind::General ? options_.generalLayout
                                               : kind == DataFileKind::Csv   ? options_.csvLayout
                                                                             : options_.countsLayout;
  if (given) {
    if (kind == DataFileKind::Counts)
      params.coef = given->coef;
    else
      params = *given;
    return true;
  }
  return next_ != nullptr && next_->ShowReadDataDialog(kind, path, preview, params);
}

int32_t PresetQuestions::PickStation(const std::vector<std::string>& groups) {
  if (options_.station) return *options_.station;
  return next_ != nullptr ? next_->PickStation(groups) : -1;
}

std::string PresetQuestions::ResponseFile(const std::string& dataPath, const std::string& what,
                                          const std::string& found) {
  if (options_.responseFile) return *options_.responseFile;
  return next_ != nullptr ? next_->ResponseFile(dataPath, what, found) : found;
}

bool PresetQuestions::AskDifferentiate(const std::string& text, const std::string& title) {
  if (options_.differentiate) return *options_.differentiate;
  return next_ != nullptr && next_->AskDifferentiate(text, title);
}

void PresetQuestions::Yield() {
  if (next_ != nullptr) next_->Yield();
}

}  // namespace sism
