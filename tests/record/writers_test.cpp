// The writers of COSMOS, SAC and miniSEED: what they write is laid out as each format's
// description places it, and reads back through the program's own dispatcher.
#include <gtest/gtest.h>

#include <libmseed.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/text.h"
#include "load/user_side.h"
#include "record/dispatch.h"
#include "record/strong_record.h"
#include "record/writers.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"
#include "tests/support/writer_checks.h"

namespace sism {
namespace {

using test::ScriptedUi;
using test::TempDir;

// Three channels of differing sizes: small values keep their digits only in a lossless format.
StrongRecord Synthetic() {
  StrongRecord rec;
  rec.FileFormat = FormatAc;
  rec.StartChannels(3);
  rec.SampFreq = 200;
  rec.DataCount = 1001;
  rec.RecDate = "2020/05/01";
  rec.RecTime = "12:34:56";
  rec.SiteCode = "ABC";
  rec.SiteName = "Test site";
  rec.SiteLat = "35.6895";
  rec.SiteLong = "139.6917";
  rec.RedimAcc(rec.DataCount, 3);
  rec.Label(1) = "NS";
  rec.Label(2) = "EW";
  rec.Label(3) = "UD";
  for (int32_t i = 1; i <= rec.DataCount; ++i) {
    rec.Acc(i, 1) = static_cast<float>(123.456789 * std::sin(i * 0.05));
    rec.Acc(i, 2) = static_cast<float>(1.234567e-3 * std::cos(i * 0.07));
    rec.Acc(i, 3) = static_cast<float>(-9876.54321 * std::sin(i * 0.011) * std::exp(-i * 0.001));
  }
  ComputePeaks(rec);
  return rec;
}

std::string Bytes(const std::string& path) {
  return ReadWholeFile(path);
}

float FloatAt(const std::string& b, std::size_t word) {
  uint32_t w;
  std::memcpy(&w, b.data() + 4 * word, 4);
  return std::bit_cast<float>(w);  // the writer is little-endian, as this machine
}
int32_t IntAt(const std::string& b, std::size_t word) {
  int32_t w;
  std::memcpy(&w, b.data() + 4 * word, 4);
  return w;
}

TEST(Writers, TableChoosesByExtensionAndName) {
  EXPECT_EQ(WriterOfPath("/d/x.V2")->id, WriterId::CosmosV2);
  EXPECT_EQ(WriterOfPath("x.v1c")->id, WriterId::CosmosV1);
  EXPECT_EQ(WriterOfPath("x.SAC")->id, WriterId::Sac);
  EXPECT_EQ(WriterOfPath("x.miniseed")->id, WriterId::Mseed);
  EXPECT_EQ(WriterOfPath("x.ac")->id, WriterId::Ac);
  EXPECT_EQ(WriterOfPath("x.txt"), nullptr);
  EXPECT_EQ(WriterOfPath("x"), nullptr);
  EXPECT_EQ(FindWriter("COSMOS-V2")->id, WriterId::CosmosV2);
  EXPECT_EQ(FindWriter("segy"), nullptr);
  EXPECT_EQ(WriterFilter(*FindWriter("sac")), "SAC binary (*.sac)");
  const StrongRecord rec = Synthetic();
  EXPECT_EQ(WrittenFiles(*FindWriter("sac"), "/d/out.sac", rec),
            (std::vector<std::string>{"/d/out.HNN.sac", "/d/out.HNE.sac", "/d/out.HNZ.sac"}));
  EXPECT_EQ(WrittenFiles(*FindWriter("cosmos-v2"), "/d/out.v2", rec),
            (std::vector<std::string>{"/d/out.NS.v2", "/d/out.EW.v2", "/d/out.UD.v2"}));
  EXPECT_EQ(WrittenFiles(*FindWriter("mseed"), "/d/out.mseed", rec),
            (std::vector<std::string>{"/d/out.mseed", "/d/out.xml"}));
}

TEST(Writers, ChannelCodesKeepSeedLabelsAndOtherwiseFollowOrientation) {
  StrongRecord rec = Synthetic();
  auto codes = [&] {
    std::vector<std::string> out;
    for (const SeedChannel& c : SeedChannels(rec)) out.push_back(c.loc + ":" + c.cha);
    return out;
  };
  EXPECT_EQ(codes(), (std::vector<std::string>{":HNN", ":HNE", ":HNZ"}));
  rec.Label(1) = "HNE", rec.Label(2) = "HNN", rec.Label(3) = "HNZ";
  EXPECT_EQ(codes(), (std::vector<std::string>{":HNE", ":HNN", ":HNZ"}));
  // A second sensor gets a location code of its own; unknown directions 1, 2, 3.
  rec.PreserveChannels(6);
  rec.ChanCount = 6;
  const char* labels[] = {"NS1", "EW1", "UD1", "NS2", "EW2", "X"};
  for (int32_t ch = 1; ch <= 6; ++ch) rec.Label(ch) = labels[ch - 1];
  rec.SampFreq = 50;
  EXPECT_EQ(codes(), (std::vector<std::string>{":BNN", ":BNE", ":BNZ", "01:BNN", "01:BNE", ":BN1"}));
}

TEST(Writers, CosmosFieldsStandWhereTheFormatPlacesThem) {
  TempDir dir;
  const StrongRecord rec = Synthetic();
  ASSERT_EQ(WriteCosmosFiles(dir.File("r.v2"), rec, 2), "");
  const std::string text = Bytes(dir.File("r.EW.v2"));
  std::vector<std::string> lines = Split(text, "\r\n");
  ASSERT_GT(lines.size(), 60u);
  EXPECT_EQ(Mid(lines[0], 1, 22), "Corrected acceleration");
  EXPECT_EQ(Mid(lines[0], 27, 9), "(Format v");
  EXPECT_EQ(Mid(lines[0], 36, 5), "01.20");
  EXPECT_EQ(Mid(lines[4], 21, 5), "Code:");
  EXPECT_EQ(Mid(lines[4], 29, 7), "ABC    ");
  EXPECT_EQ(Trim(Mid(lines[4], 41)), "Test site");
  EXPECT_EQ(Mid(lines[7], 18, 23), "2020/05/01 12:34:56.000");
  EXPECT_EQ(Mid(lines[8], 1, 13), "Sta Chan   2:");
  EXPECT_EQ(Mid(lines[12], 65), "   -999, -999.00");
  EXPECT_TRUE(StartsWith(lines[13], " 100 Integer-header values follow on  10 lines, Format= (10I8)"));
  auto integer = [&](int k) { return ToLong(Mid(lines[14 + (k - 1) / 10], 1 + 8 * ((k - 1) % 10), 8)); };
  EXPECT_EQ(integer(1), 2);    // corrected
  EXPECT_EQ(integer(2), 1);    // acceleration
  EXPECT_EQ(integer(3), 4);    // cm/s/s
  EXPECT_EQ(integer(4), 120);  // version
  EXPECT_EQ(integer(40), 2020);
  EXPECT_EQ(integer(41), 122);  // day of the year
  EXPECT_EQ(integer(42), 5);
  EXPECT_EQ(integer(43), 1);
  EXPECT_EQ(integer(44), 12);
  EXPECT_EQ(integer(45), 34);
  EXPECT_EQ(integer(49), -999);
  EXPECT_EQ(integer(50), 2);   // station channel number
  EXPECT_EQ(integer(54), 90);  // sensor azimuth: east
  EXPECT_EQ(integer(61), -999);  // no filter of this program's known
  EXPECT_EQ(lines[11], "Record filter corners unknown");
  EXPECT_EQ(integer(100), -999);
  EXPECT_TRUE(StartsWith(lines[24], " 100 Real-header values follow on  20 lines, Format= (5F15.6)"));
  auto real = [&](int k) { return ToDouble(Mid(lines[25 + (k - 1) / 5], 1 + 15 * ((k - 1) % 5), 15)); };
  EXPECT_DOUBLE_EQ(real(1), 35.6895);
  EXPECT_DOUBLE_EQ(real(2), 139.6917);
  EXPECT_DOUBLE_EQ(real(30), 56);
  EXPECT_DOUBLE_EQ(real(62), 5);  // ms
  EXPECT_DOUBLE_EQ(real(63), 5.005);
  EXPECT_NEAR(real(64), rec.Peak(2), 1e-6);
  EXPECT_DOUBLE_EQ(real(99), -999);
  EXPECT_TRUE(StartsWith(lines[45], "   1 Comment line(s) follow"));
  EXPECT_EQ(lines[46], "| Channel label: EW");
  EXPECT_EQ(lines[47], "    1001 acceleration pts, approx    5 secs, units=cm/sec2(04),Format=(5E16.8)");
  EXPECT_EQ(lines[48].size(), 80u);
  EXPECT_EQ(ToSingle(Mid(lines[48], 17, 16)), rec.Acc(2, 2));
  EXPECT_EQ(lines[48 + 201], "End-of-data for Chan   2 acceleration");
  EXPECT_TRUE(StartsWith(Bytes(dir.File("r.NS.v2")), "Corrected acceleration"));
  ASSERT_EQ(WriteCosmosFiles(dir.File("r.v1"), rec, 1), "");
  EXPECT_TRUE(StartsWith(Bytes(dir.File("r.UD.v1")), "Uncorrected acceleration  (Format v01.20"));
}

// A processed record's volume 2: the event where the format places it, the corners in the
// text and real headers, and the velocity and displacement blocks after the acceleration.
TEST(Writers, CosmosV2CarriesEventCornersVelocityAndDisplacement) {
  TempDir dir;
  StrongRecord rec = Synthetic();
  rec.Source.OriginTime = "2020-05-01T21:34:50.5+09:00";
  rec.Source.EventLat = 35.0;
  rec.Source.EventLon = 139.0;
  rec.Source.EventDepthKm = 12.3;
  rec.Source.Magnitude = 5.4;
  rec.Source.MagnitudeType = "ML";
  rec.Source.StationElevationM = 41.5;
  rec.Source.StartFraction = 0.25;
  rec.Source.Network = "XY";
  for (int32_t ch = 1; ch <= 3; ++ch) {
    ChannelSource c;
    c.Label = rec.Label(ch);
    c.HighPassHz = 0.08;
    c.LowPassHz = 30;
    c.ZeroPhaseButterworth = true;
    rec.Source.Channels.push_back(c);
  }
  ASSERT_EQ(WriteCosmosFiles(dir.File("r.v2"), rec, 2), "");
  const std::vector<std::string> lines = Split(Bytes(dir.File("r.NS.v2")), "\r\n");
  ASSERT_GT(lines.size(), 3 * 250u);
  EXPECT_EQ(lines[2], "Hypocenter:  35.0000  139.0000 H= 12km ML=5.4");
  EXPECT_EQ(lines[3], "Origin: 2020/05/01 12:34:50.500 UTC");
  EXPECT_EQ(lines[11], "Record filtered below  0.08 Hz (periods over  12.50 secs), and above 30.0 Hz");
  EXPECT_EQ(Mid(lines[4], 21, 14), "Code:XY-ABC   ");
  EXPECT_EQ(Mid(lines[7], 18, 23), "2020/05/01 12:34:56.250");
  // Block k (0 acceleration, 1 velocity, 2 displacement) begins at the line naming it.
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find("(Format v01.20 with 13 text lines)") != std::string::npos) starts.push_back(i);
  ASSERT_EQ(starts.size(), 3u);
  EXPECT_TRUE(StartsWith(lines[starts[1]], "Velocity data"));
  EXPECT_TRUE(StartsWith(lines[starts[2]], "Displacement data"));
  const auto integer = [&](std::size_t b, int k) {
    return ToLong(Mid(lines[b + 14 + (k - 1) / 10], 1 + 8 * ((k - 1) % 10), 8));
  };
  const auto real = [&](std::size_t b, int k) {
    return ToDouble(Mid(lines[b + 25 + (k - 1) / 5], 1 + 15 * ((k - 1) % 5), 15));
  };
  const std::size_t acc = starts[0], vel = starts[1], dis = starts[2];
  for (std::size_t b : starts) {
    EXPECT_EQ(integer(b, 1), 2);
    EXPECT_EQ(integer(b, 61), 5);  // high-pass filter type: acausal Butterworth
    EXPECT_EQ(integer(b, 62), 5);  // low-pass filter type
    EXPECT_EQ(integer(b, 64), 1);  // filter domain: time
    EXPECT_DOUBLE_EQ(real(b, 3), 41.5);   // station elevation, m
    EXPECT_DOUBLE_EQ(real(b, 10), 35.0);  // epicentre latitude
    EXPECT_DOUBLE_EQ(real(b, 11), 139.0);
    EXPECT_DOUBLE_EQ(real(b, 12), 12.3);  // depth, km
    EXPECT_DOUBLE_EQ(real(b, 13), -999);  // Mw: not this one
    EXPECT_DOUBLE_EQ(real(b, 15), 5.4);   // ML
    EXPECT_NEAR(real(b, 17), 99.07, 0.01);  // epicentral distance, km
    EXPECT_NEAR(real(b, 18), 39.09, 0.01);  // epicentre-to-station azimuth, degrees
    EXPECT_DOUBLE_EQ(real(b, 54), 0.08);  // high-pass corner
    EXPECT_DOUBLE_EQ(real(b, 57), 30);    // low-pass corner
    EXPECT_DOUBLE_EQ(real(b, 30), 56.25);  // start: seconds with the fraction
  }
  EXPECT_EQ(integer(acc, 2), 1);
  EXPECT_EQ(integer(acc, 3), 4);
  EXPECT_EQ(integer(vel, 2), 2);  // velocity, cm/s
  EXPECT_EQ(integer(vel, 3), 5);
  EXPECT_EQ(integer(dis, 2), 3);  // displacement, cm
  EXPECT_EQ(integer(dis, 3), 6);
  // The velocity block: the trapezoid rule from rest.
  const std::size_t data = vel + 45 + 3;
  EXPECT_TRUE(StartsWith(lines[data - 1], "    1001 velocity pts, approx    5 secs, units=cm/sec(05)")) << lines[data - 1];
  const double dt = 1.0 / rec.SampFreq;
  EXPECT_NEAR(ToDouble(Mid(lines[data], 17, 16)), 0.5 * dt * (rec.Acc(1, 1) + rec.Acc(2, 1)), 1e-7);
  EXPECT_EQ(lines[dis - 1], "End-of-data for Chan   1 velocity");
  EXPECT_EQ(lines.back().empty() ? lines[lines.size() - 2] : lines.back(), "End-of-data for Chan   1 displacement");

  // Read back: the acceleration only, with the event.
  ScriptedUi ui;
  StrongRecord back;
  ASSERT_TRUE(ReportRead(ReadRecordFile(dir.File("r.NS.v2"), back, ui), ui)) << ui.OnlyMessage();
  ASSERT_EQ(back.ChanCount, 1);
  ASSERT_EQ(back.DataCount, rec.DataCount);
  for (int32_t i = 1; i <= rec.DataCount; ++i) ASSERT_EQ(back.Acc(i, 1), rec.Acc(i, 1)) << i;
  EXPECT_DOUBLE_EQ(back.Source.EventLat, 35.0);
  EXPECT_DOUBLE_EQ(back.Source.EventDepthKm, 12.3);
  EXPECT_DOUBLE_EQ(back.Source.Magnitude, 5.4);
  EXPECT_EQ(back.Source.MagnitudeType, "ML");
  EXPECT_EQ(back.Source.OriginTime.substr(0, 19), "2020-05-01T12:34:50");
  EXPECT_DOUBLE_EQ(back.Source.StationElevationM, 41.5);
  EXPECT_EQ(back.RecTime, "12:34:56");
  EXPECT_NEAR(back.Source.StartFraction, 0.25, 1e-6);
  EXPECT_EQ(back.Source.Network, "XY");
}

TEST(Writers, SacHeaderWordsAreTheDocumentedOnes) {
  TempDir dir;
  const StrongRecord rec = Synthetic();
  ASSERT_EQ(WriteSacFiles(dir.File("r.sac"), rec), "");
  const std::string b = Bytes(dir.File("r.HNZ.sac"));
  ASSERT_EQ(b.size(), 632u + 4u * 1001u);
  EXPECT_FLOAT_EQ(FloatAt(b, 0), 0.005f);  // DELTA
  EXPECT_FLOAT_EQ(FloatAt(b, 5), 0.0f);    // B
  EXPECT_FLOAT_EQ(FloatAt(b, 6), 5.0f);    // E
  EXPECT_FLOAT_EQ(FloatAt(b, 31), 35.6895f);
  EXPECT_FLOAT_EQ(FloatAt(b, 32), 139.6917f);
  EXPECT_FLOAT_EQ(FloatAt(b, 35), -12345.0f);  // EVLA unknown
  EXPECT_FLOAT_EQ(FloatAt(b, 57), 0.0f);       // CMPAZ
  EXPECT_FLOAT_EQ(FloatAt(b, 58), 0.0f);       // CMPINC: vertical
  EXPECT_EQ(IntAt(b, 70), 2020);               // NZYEAR
  EXPECT_EQ(IntAt(b, 71), 122);                // NZJDAY
  EXPECT_EQ(IntAt(b, 72), 12);
  EXPECT_EQ(IntAt(b, 73), 34);
  EXPECT_EQ(IntAt(b, 74), 56);
  EXPECT_EQ(IntAt(b, 75), 0);
  EXPECT_EQ(IntAt(b, 76), 6);                        // NVHDR
  EXPECT_EQ(IntAt(b, 79), 1001);                     // NPTS
  EXPECT_EQ(IntAt(b, 85), 1);                        // IFTYPE: ITIME
  EXPECT_EQ(IntAt(b, 86), 8);                        // IDEP: IACC
  EXPECT_EQ(IntAt(b, 87), 9);                        // IZTYPE: IB
  EXPECT_EQ(IntAt(b, 105), 1);                       // LEVEN
  EXPECT_EQ(b.substr(440, 8), "ABC     ");           // KSTNM
  EXPECT_EQ(b.substr(448, 16), "-12345          ");  // KEVNM
  EXPECT_EQ(b.substr(600, 8), "HNZ     ");           // KCMPNM
  EXPECT_EQ(b.substr(608, 8), "-12345  ");           // KNETWK
  // Samples in nm/s/s.
  EXPECT_FLOAT_EQ(FloatAt(b, 158 + 9), static_cast<float>(rec.Acc(10, 3) * 1e7));
  const std::string e = Bytes(dir.File("r.HNE.sac"));
  EXPECT_FLOAT_EQ(FloatAt(e, 57), 90.0f);
  EXPECT_FLOAT_EQ(FloatAt(e, 58), 90.0f);

  // The event where the header gave it.
  StrongRecord quake = Synthetic();
  quake.Source.EventId = "20200501123400";
  quake.Source.EventLat = 35.2;
  quake.Source.EventLon = 140.1;
  quake.Source.EventDepthKm = 42;
  quake.Source.Magnitude = 6.1;
  quake.Source.StationElevationM = 12;
  ASSERT_EQ(WriteSacFiles(dir.File("q.sac"), quake), "");
  const std::string q = Bytes(dir.File("q.HNZ.sac"));
  EXPECT_FLOAT_EQ(FloatAt(q, 33), 12.0f);   // STEL
  EXPECT_FLOAT_EQ(FloatAt(q, 35), 35.2f);   // EVLA
  EXPECT_FLOAT_EQ(FloatAt(q, 36), 140.1f);  // EVLO
  EXPECT_FLOAT_EQ(FloatAt(q, 38), 42.0f);   // EVDP
  EXPECT_FLOAT_EQ(FloatAt(q, 39), 6.1f);    // MAG
  EXPECT_EQ(q.substr(448, 16), "20200501123400  ");
}

TEST(Writers, MseedReadsBackThroughLibmseedWithItsEncodings) {
  TempDir dir;
  StrongRecord rec = Synthetic();
  rec.SiteCode = "XX.ABC";
  // Channel 3 as a seismometer's counts times its coefficient.
  rec.Coef(3) = 1.0f / 4096;
  for (int32_t i = 1; i <= rec.DataCount; ++i)
    rec.Acc(i, 3) = static_cast<float>(std::round(rec.Acc(i, 3) * 4096) * static_cast<double>(rec.Coef(3)));
  ASSERT_EQ(WriteMseedFile(dir.File("r.mseed"), rec), "");
  std::string bytes = Bytes(dir.File("r.mseed"));
  ASSERT_EQ(bytes.size() % 4096, 0u);
  std::vector<std::vector<double>> got(3);
  MSRecord* msr = nullptr;
  for (std::size_t at = 0; at < bytes.size(); at += 4096) {
    ASSERT_EQ(msr_parse(bytes.data() + at, static_cast<int>(bytes.size() - at), &msr, 0, 1, 0), MS_NOERROR);
    EXPECT_STREQ(msr->network, "XX");
    EXPECT_STREQ(msr->station, "ABC");
    EXPECT_EQ(msr->samprate, 200);
    const std::string cha = msr->channel;
    const int c = cha == "HNN" ? 0 : cha == "HNE" ? 1 : 2;
    EXPECT_EQ(msr->encoding, c == 2 ? DE_STEIM2 : DE_FLOAT32) << cha;
    if (got[static_cast<std::size_t>(c)].empty()) {
      EXPECT_EQ(msr->starttime, ms_time2hptime(2020, 122, 12, 34, 56, 0));
    }
    for (int64_t k = 0; k < msr->numsamples; ++k)
      got[static_cast<std::size_t>(c)].push_back(msr->sampletype == 'i'
                                                     ? static_cast<int32_t*>(msr->datasamples)[k]
                                                     : static_cast<float*>(msr->datasamples)[k]);
  }
  msr_free(&msr);
  for (int32_t ch = 1; ch <= 3; ++ch) {
    ASSERT_EQ(got[static_cast<std::size_t>(ch - 1)].size(), 1001u);
    const double scale = ch == 3 ? 4096 : 1;
    for (int32_t i = 1; i <= rec.DataCount; i += 97)
      EXPECT_NEAR(got[static_cast<std::size_t>(ch - 1)][static_cast<std::size_t>(i - 1)],
                  rec.Acc(i, ch) * scale, 1e-6 * std::fabs(rec.Acc(i, ch) * scale));
  }
  const std::string xml = Bytes(dir.File("r.xml"));
  EXPECT_NE(xml.find("<Value>409600</Value>"), std::string::npos);  // counts per m/s/s
  EXPECT_NE(xml.find("<Name>Test site</Name>"), std::string::npos);
}

TEST(Writers, EveryFormatReadsBackTheSyntheticRecord) {
  const StrongRecord rec = Synthetic();
  for (const WriterRow& w : RecordWriters()) {
    if (w.id == WriterId::Ac) continue;
    SCOPED_TRACE(w.name);
    EXPECT_EQ(test::ExpectWrittenReadsBack(rec, w), "");
  }
}

TEST(Writers, RefuseWhatTheFormatCannotHoldAndLeaveFilesAlone) {
  TempDir dir;
  StrongRecord rec = Synthetic();
  rec.Acc(17, 2) = std::numeric_limits<float>::infinity();
  const std::string old = dir.Write("r.HNE.sac", "old");
  const std::string sac = WriteSacFiles(dir.File("r.sac"), rec);
  EXPECT_NE(sac.find("at step 17 of channel 2 (EW)"), std::string::npos) << sac;
  EXPECT_EQ(Bytes(old), "old");
  EXPECT_FALSE(FileExists(dir.File("r.HNN.sac")));
  EXPECT_NE(WriteMseedFile(dir.File("r.mseed"), rec).find("at step 17 of channel 2 (EW)"), std::string::npos);
  EXPECT_NE(WriteCosmosFiles(dir.File("r.v2"), rec, 2).find("at step 17 of channel 2 (EW)"),
            std::string::npos);
  rec = Synthetic();
  rec.Acc(5, 1) = 2e7f;
  EXPECT_NE(WriteCosmosFiles(dir.File("r.v2"), rec, 2).find("step 5 of channel 1 (NS)"), std::string::npos);
  rec = Synthetic();
  rec.RecDate.clear();
  EXPECT_NE(WriteMseedFile(dir.File("r.mseed"), rec).find("no start date"), std::string::npos);
  rec = Synthetic();
  rec.SiteCode = "AOM001";
  EXPECT_NE(WriteMseedFile(dir.File("r.mseed"), rec).find("longer than the 5 characters"), std::string::npos);
  rec.SiteCode = "ABCDEFGH";
  EXPECT_NE(WriteCosmosFiles(dir.File("r.v2"), rec, 2).find("longer than the 7 columns"), std::string::npos);
  // A StationXML file of the user's beside the output is not replaced.
  rec = Synthetic();
  const std::string theirs = dir.Write("x.xml", "<FDSNStationXML/>");
  EXPECT_NE(WriteMseedFile(dir.File("x.mseed"), rec).find("was not written by"), std::string::npos);
  EXPECT_EQ(Bytes(theirs), "<FDSNStationXML/>");
  EXPECT_FALSE(FileExists(dir.File("x.mseed")));
  ASSERT_EQ(WriteMseedFile(dir.File("y.mseed"), rec), "");
  EXPECT_EQ(WriteMseedFile(dir.File("y.mseed"), rec), "");  // its own is replaced
  // A folder that is not there: the failure is told, with the file it was writing.
  for (const WriterRow& w : RecordWriters()) {
    const std::string failure = WriteRecordAs(w, dir.File("none/r") + w.extensions.front(), rec);
    EXPECT_TRUE(StartsWith(failure, "Failed to write " + dir.File("none/r."))) << failure;
    EXPECT_NE(failure.find(" (Err#"), std::string::npos) << failure;
  }
}

TEST(Writers, AcWarnsOfChannelsWithFewerThanThreeDigitsAtTheirPeak) {
  StrongRecord rec = Synthetic();
  const std::string w = AcPrecisionWarning(rec);
  EXPECT_EQ(w, "channel 2 (EW): .ac keeps 1 significant digit of the peak " + NumberText(rec.Peak(2)) +
                   " cm/s/s; use .v2 or .sac to keep every digit\n");
  for (int32_t i = 1; i <= rec.DataCount; ++i) rec.Acc(i, 2) *= 100;
  ComputePeaks(rec);
  EXPECT_EQ(AcPrecisionWarning(rec), "");
  rec.Peak(1) = 0.0123f;
  EXPECT_NE(AcPrecisionWarning(rec).find("keeps 2 significant digits"), std::string::npos);
  rec.Peak(1) = 0;  // a silent channel loses nothing
  EXPECT_EQ(AcPrecisionWarning(rec), "");
}

}  // namespace
}  // namespace sism
