// The event and station facts the readers take from the sample records' headers, and the
// helpers that turn them into degrees, ISO 8601 times, distances and orientations.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "load/user_side.h"
#include "record/dispatch.h"
#include "record/record_source.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

StrongRecord ReadSample(const std::string& name) {
  StrongRecord rec;
  test::ScriptedUi ui;
  EXPECT_TRUE(ReportRead(ReadRecordFile((test::SamplesDir() / name).string(), rec, ui), ui))
      << ui.OnlyMessage();
  return rec;
}

TEST(RecordSource, DegreesZonesAndTimesAsHeadersWriteThem) {
  EXPECT_DOUBLE_EQ(DegreesOf("41.5267"), 41.5267);
  EXPECT_DOUBLE_EQ(DegreesOf(" -22.73"), -22.73);
  EXPECT_DOUBLE_EQ(DegreesOf("99.85157 LONG. W"), -99.85157);
  EXPECT_DOUBLE_EQ(DegreesOf("16.84851 LAT. N"), 16.84851);
  EXPECT_DOUBLE_EQ(DegreesOf("33.5S"), -33.5);
  EXPECT_TRUE(std::isnan(DegreesOf("")));
  EXPECT_TRUE(std::isnan(DegreesOf("N/A")));

  EXPECT_EQ(ZoneOf("StartTime(GMT+08)"), "+08:00");
  EXPECT_EQ(ZoneOf("22:30:58.000000 (GMT)"), "Z");
  EXPECT_EQ(ZoneOf("UTC-5:30"), "-05:30");
  EXPECT_EQ(ZoneOf("UTC+0"), "Z");
  EXPECT_EQ(ZoneOf("local time"), "");
  EXPECT_EQ(ZoneOf("GMT+15"), "");

  EXPECT_EQ(IsoTimeOf("2018/02/06", "23:50:29", "+08:00"), "2018-02-06T23:50:29+08:00");
  EXPECT_EQ(IsoTimeOf("2018-02-06", "23:50", ""), "2018-02-06T23:50:00");
  // A fraction before the whole second of the record's time, across a year's end.
  EXPECT_EQ(IsoTimeOf("2019/01/01", "00:00:00", "Z", -0.13), "2018-12-31T23:59:59.870Z");
  EXPECT_EQ(IsoTimeOf("2020/02/28", "23:59:59", "Z", 1.5), "2020-02-29T00:00:00.500Z");
  EXPECT_EQ(IsoTimeOf("2019/13/01", "00:00:00", "Z"), "");
  EXPECT_EQ(IsoTimeOf("0000/00/00", "00:00:00", ""), "");
  EXPECT_EQ(IsoTimeOf("yesterday", "noon", ""), "");
}

TEST(RecordSource, DistancesNeedBothEnds) {
  StrongRecord rec;
  rec.SiteLat = "0";
  rec.SiteLong = "1";
  EXPECT_TRUE(std::isnan(EpicentralDistanceKm(rec)));
  rec.Source.EventLat = 0;
  rec.Source.EventLon = 0;
  // One degree of a great circle of 6371 km.
  EXPECT_NEAR(EpicentralDistanceKm(rec), 111.195, 0.001);
  EXPECT_TRUE(std::isnan(HypocentralDistanceKm(rec)));
  rec.Source.EventDepthKm = 30;
  EXPECT_NEAR(HypocentralDistanceKm(rec), std::hypot(111.195, 30.0), 0.001);
  rec.SiteLong.clear();
  EXPECT_TRUE(std::isnan(HypocentralDistanceKm(rec)));
}

TEST(RecordSource, OrientationsFromLabelsAndCodes) {
  auto orient = [](const std::string& label) {
    ChannelSource c;
    c.Label = label;
    OrientByLabel(c);
    return std::make_pair(c.Azimuth, c.Dip);
  };
  EXPECT_EQ(orient("N-S"), std::make_pair(0.0, 0.0));
  EXPECT_EQ(orient("E-W(S)"), std::make_pair(90.0, 0.0));
  EXPECT_EQ(orient("U-D(B)"), std::make_pair(0.0, -90.0));
  EXPECT_EQ(orient("HNZ"), std::make_pair(0.0, -90.0));
  EXPECT_EQ(orient("N28W"), std::make_pair(332.0, 0.0));
  EXPECT_EQ(orient("S45W"), std::make_pair(225.0, 0.0));
  EXPECT_EQ(orient("S90E"), std::make_pair(90.0, 0.0));
  EXPECT_TRUE(std::isnan(orient("CH01").first));
  EXPECT_TRUE(std::isnan(orient("HN1").first));  // numbered: the direction is not in the code
  // What the header said stays.
  ChannelSource stated;
  stated.Label = "N-S";
  stated.Azimuth = 5;
  OrientByLabel(stated);
  EXPECT_EQ(stated.Azimuth, 5);
  EXPECT_EQ(stated.Dip, 0);
}

TEST(RecordSource, HeadersOfTheSampleRecords) {
  SKIP_WITHOUT_SAMPLES();
  const StrongRecord knet = ReadSample("knet/AOM0011801241951.NS");
  EXPECT_EQ(knet.Source.OriginTime, "2018-01-24T19:51:00+09:00");
  EXPECT_EQ(StartTimeIso(knet), "2018-01-24T19:51:28+09:00");
  EXPECT_EQ(knet.Source.EventLat, 41.0);
  EXPECT_EQ(knet.Source.EventLon, 142.5);
  EXPECT_EQ(knet.Source.EventDepthKm, 30);
  EXPECT_EQ(knet.Source.Magnitude, 6.2);
  EXPECT_EQ(knet.Source.StationElevationM, 39);
  ASSERT_EQ(knet.Source.Channels.size(), 3u);
  EXPECT_EQ(knet.Source.Channels[1].Azimuth, 90);

  const StrongRecord esm = ReadSample("esm/HI.ARS1..HNE.D.20190728.160908.C.ACC.ASC");
  EXPECT_EQ(esm.Source.EventId, "EMSC-20190728_0000106");
  EXPECT_EQ(esm.Source.OriginTime, "2019-07-28T16:09:08Z");
  EXPECT_EQ(esm.Source.MagnitudeType, "Ml");  // no moment magnitude in this header
  EXPECT_EQ(esm.Source.Magnitude, 4.6);
  EXPECT_EQ(esm.Source.Network, "HI");
  EXPECT_EQ(StartTimeIso(esm), "2019-07-28T16:09:19.870Z");
  EXPECT_NEAR(EpicentralDistanceKm(esm), 88.1, 1.0);  // the header's own figure
  const ChannelSource* e = esm.Source.Channel("HNE");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->HighPassHz, 0.1);
  EXPECT_EQ(e->LowPassHz, 30);

  const StrongRecord cosmos = ReadSample("cosmos/us1000hyfh_akbmrp_AKBMR--n.1000hyfh.BNZ.--.acc.V2c");
  EXPECT_EQ(cosmos.Source.OriginTime, "2018-11-30T17:29:29Z");
  EXPECT_EQ(StartTimeIso(cosmos), "2018-11-30T17:29:39.137Z");
  EXPECT_EQ(cosmos.Source.MagnitudeType, "Mw");
  EXPECT_EQ(cosmos.Source.Magnitude, 7.0);
  EXPECT_EQ(cosmos.Source.EventDepthKm, 46.7);
  EXPECT_EQ(cosmos.Source.StationElevationM, 842);
  EXPECT_EQ(cosmos.Source.Network, "AK");

  const StrongRecord cwb = ReadSample("cwb/1-EAS.dat");
  EXPECT_EQ(StartTimeIso(cwb), "2018-02-06T23:50:29+08:00");
  EXPECT_EQ(cwb.Source.OriginTime, "2018-02-06T23:50:42+08:00");
  EXPECT_EQ(cwb.Source.MagnitudeType, "Ml");
  EXPECT_EQ(cwb.Source.EventLat, 24.14);

  const StrongRecord afad = ReadSample("afad/20170720223109_0921.txt");
  EXPECT_EQ(afad.Source.OriginTime, "2017-07-20T22:31:09Z");
  EXPECT_EQ(StartTimeIso(afad), "2017-07-20T22:30:58Z");
  EXPECT_EQ(afad.Source.MagnitudeType, "Mw");
  EXPECT_EQ(afad.Source.EventLon, 27.4435);

  const StrongRecord unam = ReadSample("unam/ACAC1709.191");
  EXPECT_EQ(unam.Source.OriginTime, "2017-09-19T18:14:40Z");
  EXPECT_EQ(unam.Source.EventLon, -98.6763);
  EXPECT_EQ(unam.Source.EventDepthKm, 38.5);
  EXPECT_EQ(unam.Source.Magnitude, 7.1);
  EXPECT_EQ(unam.Source.StationElevationM, 13);

  const StrongRecord geonet = ReadSample("geonet/20161113_110259_WTMC_20.V2A");
  EXPECT_EQ(geonet.Source.TimeZone, "Z");
  EXPECT_EQ(geonet.Source.MagnitudeType, "Mw");
  EXPECT_EQ(geonet.Source.Magnitude, 7.82);
  EXPECT_NEAR(geonet.Source.EventLat, -42.6925, 1e-4);
  // "Dist 9km" in the header.
  EXPECT_NEAR(EpicentralDistanceKm(geonet), 9, 1.5);

  const StrongRecord mseed = ReadSample("fdsn/BK.CMB.00.HNE__20140824T102014Z__20140824T102244Z.mseed");
  EXPECT_EQ(mseed.Source.Network, "BK");
  EXPECT_EQ(mseed.Source.Location, "00");
  EXPECT_EQ(mseed.Source.TimeZone, "Z");
  const ChannelSource* z = mseed.Source.Channel("HNZ");
  ASSERT_NE(z, nullptr);
  EXPECT_EQ(z->Code, "HNZ");
  EXPECT_EQ(z->Dip, -90);
}

}  // namespace
}  // namespace sism
