#include "record/display_text.h"

#include <algorithm>

#include "common/shift_jis.h"
#include "common/utf8.h"

namespace sism {

std::string DisplayText(const StrongRecord& rec, std::string_view text) {
  if (rec.Encoding == TextEncoding::ShiftJis) return ShiftJisToUtf8(text);
  // Texts of the other formats are UTF-8 or, from older recorders and networks, Latin-1.
  return AsUtf8(text);
}

std::string DisplayLabelOf(const StrongRecord& rec, int32_t ch) {
  return DisplayText(rec, rec.Label(ch));
}

std::vector<std::string> DisplayLabels(const StrongRecord& rec) {
  std::vector<std::string> out;
  const auto n =
      std::min<std::size_t>(static_cast<std::size_t>(std::max(rec.ChanCount, 0)), rec.Labels().size());
  out.reserve(n);
  for (std::size_t i = 0; i < n; ++i) out.push_back(DisplayText(rec, rec.Labels()[i]));
  return out;
}

void DecodeRecordTexts(StrongRecord& rec) {
  if (rec.Encoding == TextEncoding::AsRead) return;
  for (std::string* t :
       {&rec.RecDate, &rec.RecTime, &rec.SiteCode, &rec.SiteName, &rec.SiteLat, &rec.SiteLong})
    *t = DisplayText(rec, *t);
  for (std::size_t i = 0; i < rec.Labels().size(); ++i) {
    std::string& label = rec.Label(static_cast<int32_t>(i) + 1);
    label = DisplayText(rec, label);
  }
  rec.Encoding = TextEncoding::AsRead;
}

void StoreShownText(StrongRecord& rec, std::string& text, std::string_view shown) {
  if (DisplayText(rec, text) == shown) return;
  if (rec.Encoding == TextEncoding::ShiftJis) {
    std::string bytes;
    if (Utf8ToShiftJis(shown, bytes)) {
      text = std::move(bytes);
      return;
    }
    DecodeRecordTexts(rec);
  }
  text = std::string(shown);
}

namespace {

bool UnknownDate(const std::string& shown) {
  return shown.find_first_not_of("0/- ") == std::string::npos;
}

std::string Trimmed(std::string s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string ShownDate(const StrongRecord& rec) {
  const std::string date = Trimmed(DisplayText(rec, rec.RecDate));
  return UnknownDate(date) ? std::string() : date;
}

std::string ShownTime(const StrongRecord& rec) {
  const std::string time = Trimmed(DisplayText(rec, rec.RecTime));
  // Midnight on no date is the placeholder too; a real date keeps its midnight.
  if (ShownDate(rec).empty() && time.find_first_not_of("0:. ") == std::string::npos) return {};
  return time;
}

std::string ShownStation(const StrongRecord& rec) {
  const std::string code = Trimmed(DisplayText(rec, rec.SiteCode));
  const std::string name = Trimmed(DisplayText(rec, rec.SiteName));
  if (code.empty()) return name;
  if (name.empty()) return code;
  if (name.compare(0, code.size(), code) == 0 && (name.size() == code.size() || name[code.size()] == ' '))
    return name;
  return code + ": " + name;
}

}  // namespace sism
