// Every format read through the dispatcher with its questions answered in advance: a read
// that turns to the user (a message, a question, a dialog, the status bar) fails the test,
// as it would hang a batch run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/ui.h"
#include "load/statistics.h"
#include "record/dispatch.h"
#include "state/preproc_params.h"
#include "tests/support/samples.h"
#include "tests/support/seismic_files.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

class NoUserAtAll : public UserInterface {
 public:
  void MsgBox(const std::string& text, MsgIcon, const std::string&) override { ADD_FAILURE() << "message: " << text; }
  bool AskYesNo(const std::string& text, const std::string&) override {
    ADD_FAILURE() << "question: " << text;
    return false;
  }
  void Beep() override { ADD_FAILURE() << "beep"; }
  void ShowStatusMessage(const std::string& text) override { ADD_FAILURE() << "status: " << text; }
  void RestoreStatusMessage() override { ADD_FAILURE() << "status restored"; }
  void ShowStatusParams(const std::string& text) override { ADD_FAILURE() << "status params: " << text; }
  void SetMousePointer(int) override { ADD_FAILURE() << "pointer"; }
  void RestoreMousePointer() override { ADD_FAILURE() << "pointer restored"; }
  bool ShowReadDataDialog(DataFileKind, const std::string& path, const std::string&, DataFileParams&) override {
    ADD_FAILURE() << "layout dialog for " << path;
    return false;
  }
  bool ShowDlgPickChan(const std::vector<std::string>&, std::vector<int32_t>&) override {
    ADD_FAILURE() << "channel pick";
    return false;
  }
  bool ShowPreProcDialog(PreProcParams&) override {
    ADD_FAILURE() << "preprocessing dialog";
    return false;
  }
  bool ShowDlgSelChan(SelChanMode, const std::vector<std::string>&, SelChanValues&) override {
    ADD_FAILURE() << "channel selection";
    return false;
  }
  bool SetRecordParam(RecordTexts&) override {
    ADD_FAILURE() << "record parameters";
    return false;
  }
  int32_t PickStation(const std::vector<std::string>& groups) override {
    ADD_FAILURE() << "station pick of " << groups.size();
    return -1;
  }
  std::string ResponseFile(const std::string& path, const std::string&, const std::string&) override {
    ADD_FAILURE() << "StationXML question for " << path;
    return {};
  }
  bool AskDifferentiate(const std::string& text, const std::string&) override {
    ADD_FAILURE() << "differentiate: " << text;
    return false;
  }
  // Progress is no question: a batch run simply goes on.
  void Yield() override {}
};

struct Case {
  const char* file;
  int32_t format;
  int32_t chans;
};

StrongRecord ReadUnattended(const std::string& path, const ReadOptions& options, ReadOutcome& outcome) {
  NoUserAtAll nobody;
  PresetQuestions answers(options, &nobody);
  StrongRecord rec;
  outcome = ReadRecordFile(path, rec, answers);
  return rec;
}

TEST(UnattendedRead, EverySampleFormatWithTheAnswersGivenBefore) {
  SKIP_WITHOUT_SAMPLES();
  const std::vector<Case> cases = {
      {"afad/20170720223109_0921.txt", FormatAfad, 3},
      {"bhrc/5520-1.V1", FormatBhrc, 3},
      {"cosmos/us1000hyfh_akbmrp_AKBMR--n.1000hyfh.BNZ.--.acc.V2c", FormatCosmos, 1},
      {"cwb/1-EAS.dat", FormatCwb, 3},
      {"dmg/CE89146.V1", FormatRaw, 3},
      {"dmg/CE89146.V2", FormatRaw, 3},
      {"dmg/NEWPORT.RAW", FormatRaw, 0},
      {"esm/HI.ARS1..HNE.D.20190728.160908.C.ACC.ASC", FormatEsm, 0},
      {"evt/BI008_MEMA-04823.evt", FormatAltus, 0},
      {"fdsn/BK.CMB.00.HNZ__20140824T102014Z__20140824T102244Z.mseed", FormatMseed, 3},
      {"geonet/20161113_110259_WTMC_20.V1A", FormatGeoNet, 3},
      {"geonet/20161113_110259_WTMC_20.V2A", FormatGeoNet, 3},
      {"jma/Q4169D2004.csv", FormatJmaCsv, 0},
      {"kiknet/NGNH311106302345.EW2", FormatKnet, 6},
      {"knet/AOM0011801241951.UD", FormatKnet, 3},
      {"peer/RSN763_LOMAP_GIL067.AT2", FormatPeer, 1},
      {"smc/0111a.smc", FormatSmc, 1},
      {"smc/891018_1.sma-1.0444a.smc", FormatSmc, 1},
      {"unam/ACAC1709.191", FormatUnam, 3},
      {"usc/017m30bt.s0a", FormatUsc, 0},
  };
  ReadOptions options;
  options.responseFile = (test::SamplesDir() / "fdsn/BK.CMB.xml").string();
  for (const Case& c : cases) {
    const std::string path = (test::SamplesDir() / c.file).string();
    ReadOutcome outcome;
    StrongRecord rec = ReadUnattended(path, options, outcome);
    ASSERT_TRUE(outcome.Ok()) << c.file << ": "
                              << (outcome.messages.empty() ? std::string("no message") : outcome.messages[0].text);
    EXPECT_EQ(rec.FileFormat, c.format) << c.file;
    if (c.chans > 0) {
      EXPECT_EQ(rec.ChanCount, c.chans) << c.file;
    }
    EXPECT_GE(rec.DataCount, 100) << c.file;
    EXPECT_GT(rec.Peak(1) != 0 ? 1 : 0, 0) << c.file;
  }
}

// Formats without a sample, and the ones that only ever ask: general data, CSV and SAC.
TEST(UnattendedRead, QuestionsAnsweredByTheOptions) {
  test::TempDir dir;
  ReadOptions options;
  DataFileParams general;
  general.skip = 1;
  general.count = 4;
  general.freq = 50;
  general.channels = 2;
  options.generalLayout = general;
  DataFileParams csv;
  csv.skip = 0;
  csv.count = 3;
  csv.freq = 20;
  csv.channels = 2;
  options.csvLayout = csv;
  ReadOutcome outcome;

  StrongRecord data = ReadUnattended(dir.Write("d.dat", "two columns\n1 2\n3 4\n5 6\n7 8\n"), options, outcome);
  ASSERT_TRUE(outcome.Ok());
  EXPECT_EQ(data.FileFormat, FormatOther);
  EXPECT_EQ(data.SampFreq, 50);
  EXPECT_EQ(data.ChanCount, 2);
  EXPECT_FLOAT_EQ(data.Acc(4, 2), 8.0f);

  StrongRecord table = ReadUnattended(dir.Write("t.csv", "1,2\n3,4\n5,6\n"), options, outcome);
  ASSERT_TRUE(outcome.Ok());
  EXPECT_EQ(table.FileFormat, FormatCsv);
  EXPECT_EQ(table.DataCount, 3);
  EXPECT_FLOAT_EQ(table.Acc(3, 1), 5.0f);

  test::SacFile sac;
  sac.idep = 8;  // acceleration in nm/s/s: no response needed
  sac.values = {1e7f, -2e7f, 3e7f, 0, 0, 0, 0, 0};
  StrongRecord seis = ReadUnattended(dir.Write("XX.STA.00.HNE.sac", test::SacBinary(sac, false)), options, outcome);
  ASSERT_TRUE(outcome.Ok()) << (outcome.messages.empty() ? "" : outcome.messages[0].text);
  EXPECT_EQ(seis.FileFormat, FormatSac);
  EXPECT_NEAR(seis.Acc(2, 1), -2.0f, 1e-4f);
}

// Left unanswered with nobody to ask, a question declines the read; it never guesses.
TEST(UnattendedRead, UnansweredQuestionsDecline) {
  test::TempDir dir;
  PresetQuestions nobody{ReadOptions{}};
  StrongRecord rec;
  ReadOutcome o = ReadRecordFile(dir.Write("d.dat", "1 2\n3 4\n"), rec, nobody);
  EXPECT_EQ(o.status, ReadStatus::Declined);
  EXPECT_TRUE(o.messages.empty());
  EXPECT_EQ(rec.FileFormat, FormatNone);
}

}  // namespace
}  // namespace sism
