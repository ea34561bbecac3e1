#include "app/shell/forms/read_data_form.h"

#include <cmath>

#include "app/shell/forms/field_check.h"
#include "common/text.h"

namespace sism {

std::optional<std::string> AcceptBoxText(DataBox box, std::string_view text) {
  if (!IsNumeric(text)) return std::nullopt;
  double v;
  try {
    v = ToDouble(text);
  } catch (...) {
    return std::nullopt;
  }
  if (box == DataBox::Coef) {
    float f = static_cast<float>(v);
    if (!std::isfinite(f)) return std::nullopt;
    return NumberText(f);
  }
  if (v != std::floor(v) || v > 2147483647.0) return std::nullopt;
  if (box == DataBox::Skip ? v < 0 : v <= 0) return std::nullopt;
  return std::to_string(static_cast<int32_t>(v));
}

const std::string& ReadDataCaption(DataFileKind kind) {
  static const std::string general = "Reading a general data file", csv = "Reading a CSV file",
                           counts = "Counts without a response";
  return kind == DataFileKind::Csv ? csv : kind == DataFileKind::Counts ? counts : general;
}

std::string FileNameCaption(const std::string& path) {
  return "Filename: " + ReplaceAll(path, "&", "&&");
}

ReadDataForm::ReadDataForm(DataFileKind kind, const DataFileParams& p)
    : description(p.description), kind_(kind), hasLabel_(p.hasLabel), neglectFirst_(p.neglectFirst) {
  auto set = [&](DataBox b, const std::string& t) { text_[Index(b)] = remembered_[Index(b)] = t; };
  set(DataBox::Skip, std::to_string(p.skip));
  set(DataBox::Step, std::to_string(p.count));
  set(DataBox::Freq, std::to_string(p.freq));
  set(DataBox::Coef, NumberText(p.coef));
  set(DataBox::Chan, std::to_string(p.channels));
  fixed_ = kind == DataFileKind::General && p.width > 0;
  set(DataBox::Start, std::to_string(fixed_ && p.start > 0 ? p.start : 1));
  set(DataBox::Width, std::to_string(fixed_ ? p.width : 1));
  set(DataBox::Cols, std::to_string(fixed_ && p.columns > 0 ? p.columns : 1));
  // The guess may already leave a time column out; unchecking takes it back.
  guessedChannels_ = kind == DataFileKind::Csv && p.neglectFirst ? std::to_string(p.channels + 1) : Text(DataBox::Chan);
}

void ReadDataForm::Enter(DataBox box) {
  remembered_[Index(box)] = text_[Index(box)];
}

std::string ReadDataForm::Allowed(DataBox box) {
  switch (box) {
    case DataBox::Coef:
      return "a number";
    case DataBox::Skip:
      return "a whole number of at least 0";
    case DataBox::Freq:
      return "a whole number above 0 (samples per second)";
    default:
      return "a whole number of at least 1";
  }
}

int ReadDataForm::LabelOf(DataBox box) {
  static constexpr int kLabels[kDataBoxCount] = {14011, 14012, 14013, 14014, 14016, 14032, 14033, 14034};
  return kLabels[Index(box)];
}

bool ReadDataForm::Leave(DataBox box) {
  refusal_.clear();
  if (auto plain = AcceptBoxText(box, text_[Index(box)])) {
    text_[Index(box)] = *plain;
    return true;
  }
  refusal_ = RefusalText(FieldName(LabelOf(box)), Allowed(box), text_[Index(box)]) + " It keeps " +
             remembered_[Index(box)] + ".";
  text_[Index(box)] = remembered_[Index(box)];
  return false;
}

void ReadDataForm::SetNeglectFirst(bool on) {
  neglectFirst_ = on;
  if (!on) {
    SetText(DataBox::Chan, guessedChannels_);
    return;
  }
  int32_t n = IsNumeric(guessedChannels_) ? ToLong(guessedChannels_) : 1;
  SetText(DataBox::Chan, std::to_string(n - 1));
}

bool ReadDataForm::Result(DataFileParams& out) const {
  DataFileParams r = out;
  auto whole = [&](DataBox b, int32_t& v) {
    auto t = AcceptBoxText(b, Text(b));
    if (!t) return false;
    v = ToLong(*t);
    return true;
  };
  if (!whole(DataBox::Skip, r.skip) || !whole(DataBox::Step, r.count) || !whole(DataBox::Freq, r.freq) ||
      !whole(DataBox::Chan, r.channels))
    return false;
  auto coef = AcceptBoxText(DataBox::Coef, Text(DataBox::Coef));
  if (!coef) return false;
  r.coef = ToSingle(*coef);
  r.description = description;
  r.start = r.width = r.columns = 0;
  if (kind_ == DataFileKind::General && fixed_) {
    if (!whole(DataBox::Start, r.start) || !whole(DataBox::Width, r.width) ||
        !whole(DataBox::Cols, r.columns))
      return false;
  }
  r.hasLabel = kind_ == DataFileKind::Csv && hasLabel_;
  r.neglectFirst = kind_ == DataFileKind::Csv && neglectFirst_;
  out = r;
  return true;
}

}  // namespace sism
