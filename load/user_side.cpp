#include "load/user_side.h"

#include "record/ac.h"
#include "record/record_texts.h"

namespace sism {

bool ReportRead(const ReadOutcome& outcome, UserInterface& ui) {
  for (const ReadMessage& m : outcome.messages) ui.MsgBox(m.text, MsgIcon::Critical, m.title);
  return outcome.Ok();
}

bool WriteAc(const std::string& path, const StrongRecord& rec, int32_t group, UserInterface& ui) {
  const std::string failure = WriteAcFile(path, rec, group);
  if (failure.empty()) return true;
  ui.MsgBox(failure, MsgIcon::Critical, AcWriteTitle());
  return false;
}

bool EditRecordTexts(StrongRecord& rec, UserInterface& ui) {
  RecordTexts texts = TextsOfRecord(rec);
  if (!ui.SetRecordParam(texts)) return false;
  ApplyRecordTexts(texts, rec);
  return true;
}

}  // namespace sism
