// The event and station facts of a record (RecordSource) as readers take them from headers
// and as reports and flatfiles give them: degrees, ISO 8601 times, distances.
#pragma once

#include <string>
#include <string_view>

#include "record/strong_record.h"

namespace sism {

// A latitude or longitude as headers write it ("41.5267", "-22.73", "37.87470N",
// "99.85157 LONG. W"): south and west negative; NaN when it holds no number.
double DegreesOf(std::string_view text);
// A number of a header text; NaN when it is none (blank, "-999" placeholders are numbers).
double NumberOf(std::string_view text);

// The zone a header names ("GMT+08", "(GMT)", "UTC", "UTC-5:30") in ISO form ("+08:00",
// "Z", "-05:30"); empty when it names none.
std::string ZoneOf(std::string_view text);

// "yyyy-mm-ddThh:nn:ss[.fff]" and `zone`; empty when the parts make no time.
std::string IsoTime(int year, int month, int day, int hour, int minute, double seconds,
                    const std::string& zone);
// The same from a date "yyyy/mm/dd" (or with '-') and a time "hh:nn:ss[.f]", later by
// `addSeconds`.
std::string IsoTimeOf(std::string_view date, std::string_view time, const std::string& zone,
                      double addSeconds = 0);
// The start of the record: RecDate, RecTime and the fraction of its first sample, in the
// zone its file states; empty when the file gives no date.
std::string StartTimeIso(const StrongRecord& rec);

// Great-circle distance (km, on a sphere of 6371 km) from the epicentre to the station;
// NaN unless both are known.
double EpicentralDistanceKm(const StrongRecord& rec);
// From the hypocentre: with the depth; NaN unless the depth is known too.
double HypocentralDistanceKm(const StrongRecord& rec);
// Azimuth of the station seen from the epicentre (degrees clockwise from north, 0 up to 360,
// on the same sphere); NaN unless both are known or when they coincide.
double EpicentreToStationAzimuth(const StrongRecord& rec);

// Azimuth and dip of a component from its label or code ("N-S", "EW", "UD", "N00E",
// "S45W", "HNZ", "V"); left unknown when the label says no direction.
void OrientByLabel(ChannelSource& c);
// The component facts of every channel: its label's orientation where the reader said
// nothing of the channel, the reader's own facts kept.
void CompleteChannelSources(StrongRecord& rec);

}  // namespace sism
