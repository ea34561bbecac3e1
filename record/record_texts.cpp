#include "record/record_texts.h"

namespace sism {

const std::string& RecordParamCaption() {
  static const std::string caption = "Parameter setting";
  return caption;
}

const std::array<std::string, 6>& RecordParamLabels() {
  static const std::array<std::string, 6> labels = {"Date", "Time", "Code", "Station", "Lat.", "Long."};
  return labels;
}

RecordTexts TextsOfRecord(const StrongRecord& rec) {
  return {rec.RecDate, rec.RecTime, rec.SiteCode, rec.SiteName, rec.SiteLat, rec.SiteLong};
}

void ApplyRecordTexts(const RecordTexts& t, StrongRecord& rec) {
  rec.RecDate = t.date;
  rec.RecTime = t.time;
  rec.SiteCode = t.code;
  rec.SiteName = t.station;
  rec.SiteLat = t.lat;
  rec.SiteLong = t.lon;
}

bool EditRecordTexts(StrongRecord& rec, UserInterface& ui) {
  RecordTexts texts = TextsOfRecord(rec);
  if (!ui.SetRecordParam(texts)) return false;
  ApplyRecordTexts(texts, rec);
  return true;
}

}  // namespace sism
