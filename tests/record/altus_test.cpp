#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "load/user_side.h"
#include "record/readers.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using test::ScriptedUi;
using test::TempDir;

void PutBE(std::string& b, std::size_t at, uint64_t v, int bytes) {
  if (b.size() < at + bytes) b.resize(at + bytes, '\0');
  for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<char>((v >> (8 * (bytes - 1 - i))) & 0xFF);
}

void PutFloat(std::string& b, std::size_t at, float f) {
  uint32_t u;
  std::memcpy(&u, &f, 4);
  PutBE(b, at, u, 4);
}

void PutText(std::string& b, std::size_t at, const std::string& s) {
  if (b.size() < at + s.size()) b.resize(at + s.size(), '\0');
  b.replace(at, s.size(), s);
}

struct EvtSpec {
  int bits = 24;
  int bytes = 3;
  int32_t samples = 4;
  int channels = 2;
  int freq = 100;
  int32_t start = 0;
  float lat = 35.5f, lon = 139.25f;
};

// A header and frames of `perFrame` steps; sample of step i, channel c is given by value(i, c).
std::string MakeEvt(const EvtSpec& s, int perFrame, int64_t (*value)(int, int)) {
  std::string b(2056, '\0');
  b[0] = 'K';
  PutBE(b, 24, s.bits, 1);
  PutBE(b, 25, s.bytes, 1);
  PutBE(b, 572, static_cast<uint32_t>(s.start), 4);
  PutBE(b, 592, static_cast<uint32_t>(s.samples), 4);
  PutBE(b, 606, s.channels, 2);
  PutText(b, 608, "ST01");
  PutText(b, 613, std::string("SITE NAME\0garbage", 17));
  PutFloat(b, 648, s.lat);
  PutFloat(b, 652, s.lon);
  for (int c = 1; c <= s.channels; ++c) {
    std::size_t base = 728 + 76 * (c - 1);
    PutText(b, base, std::string("CH") + char('0' + c) + std::string("\0x", 2));
    PutFloat(b, base + 32, 2.5f);
    PutFloat(b, base + 36, 1.25f);
  }
  PutBE(b, 1650, s.freq, 2);
  for (int step = 1; step <= s.samples;) {
    int k = std::min(perFrame, s.samples - step + 1);
    std::string frame(48, '\0');
    frame[0] = 'K';
    PutBE(frame, 10, static_cast<uint64_t>(k) * s.channels * s.bytes, 2);
    for (int j = 0; j < k; ++j, ++step)
      for (int c = 1; c <= s.channels; ++c)
        PutBE(frame, frame.size(), static_cast<uint64_t>(value(step, c)), s.bytes);
    b += frame;
  }
  return b;
}

int64_t Ramp(int i, int c) {
  return (c == 1 ? 1 : -1) * i * 1000;
}

TEST(ReadAltus, RealEventFile) {
  SKIP_WITHOUT_SAMPLES();
  std::string path = (test::SamplesDir() / "evt" / "BI008_MEMA-04823.evt").string();
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadAltus(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(rec.ChanCount, 3);
  EXPECT_EQ(rec.SampFreq, 250);
  EXPECT_EQ(rec.DataCount, 5750);
  EXPECT_EQ(rec.DataCapacity(), 5750);
  EXPECT_EQ(rec.SiteCode, "MEMA");
  EXPECT_EQ(rec.SiteName, "MEMBACH");
  EXPECT_EQ(rec.RecDate, "2013/08/15");
  EXPECT_EQ(rec.RecTime, "09:20:28");
  EXPECT_EQ(rec.SiteLat, "50.6098");
  EXPECT_EQ(rec.SiteLong, "6.0093");
  // 2.5 V full scale at about 2.5 V/g over 2^23 counts.
  for (int c = 1; c <= 3; ++c) {
    EXPECT_NEAR(rec.Coef(c), 980.665 / 8388608, 1e-3 * 980.665 / 8388608) << c;
    EXPECT_EQ(rec.Offset(c), 0);
  }
  EXPECT_FLOAT_EQ(rec.Coef(1), static_cast<float>(980.665 / 8388608));
  // First sample of channel 1 is 0xFFAE48, a negative count.
  EXPECT_FLOAT_EQ(rec.Acc(1, 1), static_cast<float>(-20920.0 * rec.Coef(1)));
  // The last step is filled from the last, partly used frame.
  EXPECT_NE(rec.Acc(5750, 1), 0.0f);
  EXPECT_NE(rec.PeakStep(1), 0);
  EXPECT_EQ(rec.Peak(1), rec.Acc(rec.PeakStep(1), 1));
}

TEST(ReadAltus, SampleSizesAndSignExtension) {
  struct Case {
    int bits, bytes;
    int64_t raw;
    double counts;
  } cases[] = {
      {24, 3, 0xFFFFFF, -1}, {24, 3, 0x7FFFFF, 8388607}, {24, 3, 0x800000, -8388608},
      {16, 2, 0xFFFE, -2},   {16, 2, 0x1234, 0x1234},    {32, 4, 0xFFFFFFF0, -16},
  };
  for (const auto& cs : cases) {
    TempDir dir;
    EvtSpec s;
    s.bits = cs.bits;
    s.bytes = cs.bytes;
    s.samples = 1;
    s.channels = 1;
    static int64_t raw;
    raw = cs.raw;
    std::string path = dir.Write("a.evt", MakeEvt(s, 1, [](int, int) { return raw; }));
    StrongRecord rec;
    ScriptedUi ui;
    ASSERT_TRUE(ReportRead(ReadAltus(path, rec, ui), ui)) << ui.OnlyMessage();
    // 2.5 V / 1.25 V/g = 2 g full scale.
    float coef = static_cast<float>(2 * 980.665 / std::ldexp(1.0, cs.bits - 1));
    EXPECT_FLOAT_EQ(rec.Coef(1), coef);
    EXPECT_FLOAT_EQ(rec.Acc(1, 1), static_cast<float>(cs.counts * coef)) << cs.bytes << " " << cs.raw;
  }
}

TEST(ReadAltus, HeaderTextsFramesAndStartTime) {
  TempDir dir;
  EvtSpec s;
  s.samples = 7;
  // 2000-03-01 00:00:01: past a Gregorian leap day.
  s.start = 7365 * 86400 + 1;
  std::string path = dir.Write("b.evt", MakeEvt(s, 3, Ramp));
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadAltus(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.SiteCode, "ST01");
  EXPECT_EQ(rec.SiteName, "SITE NAME");
  EXPECT_EQ(rec.Label(1), "CH1");
  EXPECT_EQ(rec.Label(2), "CH2");
  EXPECT_EQ(rec.SiteLat, "35.5000");
  EXPECT_EQ(rec.SiteLong, "139.2500");
  EXPECT_EQ(rec.RecDate, "2000/03/01");
  EXPECT_EQ(rec.RecTime, "00:00:01");
  EXPECT_EQ(rec.SampFreq, 100);
  ASSERT_EQ(rec.DataCount, 7);
  for (int i = 1; i <= 7; ++i) {
    EXPECT_FLOAT_EQ(rec.Acc(i, 1), static_cast<float>(i * 1000.0 * rec.Coef(1)));
    EXPECT_FLOAT_EQ(rec.Acc(i, 2), static_cast<float>(-i * 1000.0 * rec.Coef(2)));
  }
  EXPECT_EQ(rec.PeakStep(2), 7);
  EXPECT_LT(rec.Peak(2), 0);
}

TEST(ReadAltus, NoPositionWhenBothZero) {
  TempDir dir;
  EvtSpec s;
  s.lat = 0;
  s.lon = 0;
  StrongRecord rec;
  rec.SiteLat = "old";
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadAltus(dir.Write("c.evt", MakeEvt(s, 4, Ramp)), rec, ui), ui));
  EXPECT_EQ(rec.SiteLat, "");
  EXPECT_EQ(rec.SiteLong, "");
}

TEST(ReadAltus, InvalidHeadersEndInItsMessage) {
  struct Case {
    const char* what;
    void (*mend)(std::string&);
  } cases[] = {
      {"tag", [](std::string& b) { b[0] = 'X'; }},
      {"one byte a sample", [](std::string& b) { b[25] = 1; }},
      {"five bytes a sample", [](std::string& b) { b[25] = 5; }},
      {"no channels", [](std::string& b) { PutBE(b, 606, 0, 2); }},
      {"more channels than the table", [](std::string& b) { PutBE(b, 606, 60000, 2); }},
      {"more samples than bytes", [](std::string& b) { PutBE(b, 592, 0x7FFFFFFF, 4); }},
      {"negative samples", [](std::string& b) { PutBE(b, 592, 0xFFFFFFFF, 4); }},
      {"no rate", [](std::string& b) { PutBE(b, 1650, 0, 2); }},
      {"zero sensitivity", [](std::string& b) { PutFloat(b, 728 + 36, 0); }},
      {"no resolution", [](std::string& b) { b[24] = 0; }},
  };
  for (const auto& cs : cases) {
    TempDir dir;
    std::string bytes = MakeEvt(EvtSpec{}, 2, Ramp);
    cs.mend(bytes);
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReportRead(ReadAltus(dir.Write("d.evt", bytes), rec, ui), ui)) << cs.what;
    ASSERT_EQ(ui.messages.size(), 1u) << cs.what;
    EXPECT_EQ(ui.messages[0].text, "Invalid EVT File") << cs.what;
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(ui.messages[0].title, "Sismora: ReadAltus");
  }
}

TEST(ReadAltus, ShortOrMissingFilesGetTheReadErrorBox) {
  TempDir dir;
  std::string cut = dir.Write("e.evt", MakeEvt(EvtSpec{}, 2, Ramp).substr(0, 1000));
  std::string missing = dir.File("none.evt");
  struct Case {
    std::string path, text;
  } cases[] = {
      {cut, "Failed to read " + cut + " (Err#62: Input past end of file)"},
      {missing, "Failed to read " + missing + " (Err#53: File not found)"},
  };
  for (const auto& cs : cases) {
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReportRead(ReadAltus(cs.path, rec, ui), ui));
    EXPECT_EQ(ui.OnlyMessage(), cs.text);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Sismora: ReadAltus");
  }
}

TEST(ReadAltus, FramesCutShortLeaveTheRestZero) {
  TempDir dir;
  EvtSpec s;
  s.samples = 6;
  std::string bytes = MakeEvt(s, 6, Ramp);
  // Claim 6 samples but drop the last two steps of the only frame.
  bytes.resize(bytes.size() - 2 * 2 * 3);
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadAltus(dir.Write("f.evt", bytes), rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_FLOAT_EQ(rec.Acc(4, 1), static_cast<float>(4000.0 * rec.Coef(1)));
  EXPECT_EQ(rec.Acc(5, 1), 0.0f);
  EXPECT_EQ(rec.Acc(6, 2), 0.0f);
}

}  // namespace
}  // namespace sism

namespace sism {
namespace {

// Cut or scrambled files end in a record or in one message, never in a read past the data.
TEST(ReadAltus, DamagedFilesNeverReadPastTheirBytes) {
  EvtSpec s;
  s.samples = 9;
  s.channels = 3;
  const std::string good = MakeEvt(s, 4, Ramp);
  TempDir dir;
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    std::string bytes = good;
    if (round < 100) {
      bytes.resize(random() % (good.size() + 1));
    } else {
      for (int k = 0; k < 6; ++k) {
        // Most damage in the header fields and frame lengths the reader trusts.
        std::size_t at = k % 2 ? 2056 + random() % (good.size() - 2056) : random() % 2056;
        bytes[at] = static_cast<char>(random());
      }
      bytes[0] = 'K';
    }
    StrongRecord rec;
    ScriptedUi ui;
    bool ok = ReportRead(ReadAltus(dir.Write("z.evt", bytes), rec, ui), ui);
    EXPECT_EQ(ui.messages.size(), ok ? 0u : 1u) << round;
    if (ok) {
      EXPECT_EQ(rec.DataCapacity(), rec.DataCount) << round;
      EXPECT_EQ(rec.AccChannels(), rec.ChanCount) << round;
    }
  }
}

TEST(ReadAltus, ChannelsWithoutIdentifierAreNamedByNumber) {
  TempDir dir;
  EvtSpec s;
  s.channels = 3;
  std::string bytes = MakeEvt(s, 4, Ramp);
  PutText(bytes, 728, std::string("HNZ\0\0", 5));
  PutText(bytes, 728 + 76, std::string(5, '\0'));
  PutText(bytes, 728 + 2 * 76, std::string("   \0\0", 5));
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadAltus(dir.Write("ids.evt", bytes), rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.Labels(), (std::vector<std::string>{"HNZ", "CH2", "CH3"}));

  SKIP_WITHOUT_SAMPLES();
  ASSERT_TRUE(ReportRead(ReadAltus((test::SamplesDir() / "evt" / "BI008_MEMA-04823.evt").string(), rec, ui), ui));
  EXPECT_EQ(rec.Labels(), (std::vector<std::string>{"CH1", "CH2", "CH3"}));
}

}  // namespace
}  // namespace sism
