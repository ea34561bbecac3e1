#include "record/record_texts.h"

#include "record/display_text.h"

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
  return {DisplayText(rec, rec.RecDate),  DisplayText(rec, rec.RecTime), DisplayText(rec, rec.SiteCode),
          DisplayText(rec, rec.SiteName), DisplayText(rec, rec.SiteLat), DisplayText(rec, rec.SiteLong)};
}

void ApplyRecordTexts(const RecordTexts& t, StrongRecord& rec) {
  StoreShownText(rec, rec.RecDate, t.date);
  StoreShownText(rec, rec.RecTime, t.time);
  StoreShownText(rec, rec.SiteCode, t.code);
  StoreShownText(rec, rec.SiteName, t.station);
  StoreShownText(rec, rec.SiteLat, t.lat);
  StoreShownText(rec, rec.SiteLong, t.lon);
}

}  // namespace sism
