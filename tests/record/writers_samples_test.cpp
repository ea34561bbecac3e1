// Every sample record written in every format reads back the same through the dispatcher.
#include <gtest/gtest.h>

#include <libmseed.h>

#include <string>
#include <vector>

#include "common/files.h"
#include "load/user_side.h"
#include "record/dispatch.h"
#include "record/writers.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"
#include "tests/support/writer_checks.h"

namespace sism {
namespace {

const char* const kSamples[] = {
    "knet/AOM0011801241951.NS",
    "kiknet/NGNH311106302345.NS1",
    "peer/RSN763_LOMAP_GIL067.AT2",
    "smc/0111a.smc",
    "smc/891018_1.sma-1.0444a.smc",
    "cosmos/us1000hyfh_akbmrp_AKBMR--n.1000hyfh.BNZ.--.acc.V2c",
    "dmg/NEWPORT.RAW",
    "dmg/CE89146.V1",
    "dmg/CE89146.V2",
    "evt/BI008_MEMA-04823.evt",
    "jma/Q4169D2004.csv",
    "esm/HI.ARS1..HNE.D.20190728.160908.C.ACC.ASC",
    "geonet/20161113_110259_WTMC_20.V2A",
    "cwb/1-EAS.dat",
    "unam/ACAC1709.191",
    "bhrc/5520-1.V1",
    "afad/20170720223109_0921.txt",
    "usc/017m30bt.s0a",
    "usc/017m30cc.y0a",
    "fdsn/BK.CMB.00.HNE__20140824T102014Z__20140824T102244Z.mseed",
};

// What a writer may refuse in a real record: a code longer than the format's field.
bool ExpectedRefusal(const std::string& message) {
  return message.find("is longer than") != std::string::npos ||
         message.find("no start date and time") != std::string::npos;
}

TEST(WritersOnSamples, EverySampleReadsBackFromEveryFormat) {
  SKIP_WITHOUT_SAMPLES();
  int written = 0, refused = 0;
  for (const char* name : kSamples) {
    SCOPED_TRACE(name);
    const std::string path = (test::SamplesDir() / name).string();
    StrongRecord rec;
    test::ScriptedUi ui;
    if (!ReportRead(ReadRecordFile(path, rec, ui), ui)) {
      ADD_FAILURE() << "the sample does not read: " << ui.OnlyMessage();
      continue;
    }
    for (const WriterRow& w : RecordWriters()) {
      if (w.id == WriterId::Ac) continue;
      SCOPED_TRACE(w.name);
      const std::string refusal = test::ExpectWrittenReadsBack(rec, w);
      if (refusal.empty()) {
        ++written;
      } else {
        ++refused;
        EXPECT_TRUE(ExpectedRefusal(refusal)) << refusal;
      }
    }
  }
  // Most of them are written; refusals are the exception.
  EXPECT_GT(written, 3 * refused);
}

// A seismometer's counts go back as counts, with the sensitivity they were read with.
TEST(WritersOnSamples, CountsOfMseedGoBackAsSteim2WithTheirSensitivity) {
  SKIP_WITHOUT_SAMPLES();
  const std::string path =
      (test::SamplesDir() / "fdsn/BK.CMB.00.HNE__20140824T102014Z__20140824T102244Z.mseed").string();
  StrongRecord rec;
  test::ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadRecordFile(path, rec, ui), ui)) << ui.OnlyMessage();
  test::TempDir dir;
  ASSERT_EQ(WriteMseedFile(dir.File("cmb.mseed"), rec), "");
  std::string bytes = ReadWholeFile(dir.File("cmb.mseed"));
  MSRecord* msr = nullptr;
  ASSERT_EQ(msr_parse(bytes.data(), static_cast<int>(bytes.size()), &msr, 0, 0, 0), MS_NOERROR);
  EXPECT_EQ(msr->encoding, DE_STEIM2);
  EXPECT_STREQ(msr->network, "BK");
  EXPECT_STREQ(msr->station, "CMB");
  msr_free(&msr);
  // HNE's overall sensitivity in the station's own file is 4.27819E5 counts per m/s/s.
  EXPECT_NE(ReadWholeFile(dir.File("cmb.xml")).find("<Value>427819"), std::string::npos);
}

}  // namespace
}  // namespace sism
