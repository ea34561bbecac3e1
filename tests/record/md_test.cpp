#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

#include "load/user_side.h"
#include "record/readers.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using test::ScriptedUi;
using test::TempDir;

std::string EndMarker() {
  std::string b;
  for (int i = 0; i < 256; ++i) b += std::string("\0\3", 2);
  return b;
}

void Put(std::string& b, std::size_t at, std::initializer_list<int> bytes) {
  for (int v : bytes) b[at++] = static_cast<char>(v);
}

// Header block for version 1: 10 Hz, the given channels, flags and BCD start time.
std::string HeaderV1(int channels, int flagsHigh, bool stars = false) {
  std::string b(512, '\0');
  std::size_t h = stars ? 4 : 0;
  if (stars) Put(b, 0, {'*', '*', '*', '*'});
  Put(b, h, {0, 1, channels, 0x07});
  Put(b, h + 10, {0x00, 0x01, 0x01, 0x00, 0x00, 0x05});  // 2000/01/01 00:00:05
  Put(b, h + 16, {0x00, 0x10, flagsHigh, 0});
  return b;
}

// Frames of `frameBytes(step)` for steps 1..steps, padded to whole blocks.
std::string Frames(int steps, const std::function<std::string(int)>& frame) {
  std::string s;
  for (int i = 1; i <= steps; ++i) s += frame(i);
  s.resize((s.size() + 511) / 512 * 512, '\0');
  return s;
}

std::string Be16(int v) {
  return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)};
}
std::string Be24(int v) {
  return {static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

struct Read {
  bool ok;
  StrongRecord rec;
  ScriptedUi ui;
};

void ReadBytes(const std::string& bytes, Read& r) {
  TempDir dir;
  r.ok = ReportRead(ReadMD(dir.Write("rec.md", bytes), r.rec, r.ui), r.ui);
}

TEST(ReadMD, Version1SixteenBitWithEndMarkerAndPreEvent) {
  // 2 channels of 2 bytes: 128 frames a block; 384 frames in three blocks, of which
  // the last block does not count: 256 frames, whole seconds at 10 Hz: 250 steps.
  std::string data = Frames(384, [](int i) { return Be16(32768 + i) + Be16(32768 - i); });
  Read r;
  r.rec.SiteName = "from an earlier record";
  ReadBytes(HeaderV1(2, 0) + data + EndMarker() + std::string(512, '\x11'), r);
  ASSERT_TRUE(r.ok) << r.ui.OnlyMessage();
  EXPECT_EQ(r.rec.ChanCount, 2);
  EXPECT_EQ(r.rec.SampFreq, 10);
  EXPECT_EQ(r.rec.DataCount, 250);
  EXPECT_EQ(r.rec.SiteCode, "07");
  // The header's time is the trigger; the record starts 10 s before, the day before.
  EXPECT_EQ(r.rec.RecDate, "1999/12/31");
  EXPECT_EQ(r.rec.RecTime, "23:59:55");
  EXPECT_FLOAT_EQ(r.rec.Coef(1), 0.03f);
  EXPECT_FLOAT_EQ(r.rec.Acc(1, 1), 0.03f);
  EXPECT_FLOAT_EQ(r.rec.Acc(250, 2), static_cast<float>(-250 * 0.03));
  EXPECT_EQ(r.rec.Label(1), "");
  EXPECT_EQ(r.rec.SiteName, "");
  EXPECT_EQ(r.rec.PeakStep(1), 250);
}

TEST(ReadMD, TrailingZeroFramesAreDropped) {
  std::string data = Frames(384, [](int i) { return Be16(i <= 237 ? 32768 + i : 32768) + Be16(32768); });
  Read r;
  ReadBytes(HeaderV1(2, 0) + data, r);  // no end marker: the file's end ends the data
  ASSERT_TRUE(r.ok) << r.ui.OnlyMessage();
  EXPECT_EQ(r.rec.DataCount, 237);
  EXPECT_EQ(r.rec.DataCapacity(), 237);
  EXPECT_FLOAT_EQ(r.rec.Acc(237, 1), static_cast<float>(237 * 0.03));
}

TEST(ReadMD, Version1GainRangedWithExtraBytes) {
  // Flags: bit 15 gain-ranged 14-bit samples, bit 14 two extra bytes a frame.
  struct Sample {
    int b1, b2;
    double value;
  } samples[] = {
      {0x80, 0x00, 0.0},              // 8192, gain 16
      {0x80, 0x04, 0.12 / 16},        // 8193, gain 16
      {0x81, 0x01, 64 / 4.0 * 0.12},  // 8256, gain 4
      {0x7F, 0xFE, -0.12},            // 8191, gain 1
      {0x7F, 0xFF, -0.12},            // gain 1
  };
  const int n = 5;
  std::string data = Frames(300, [&](int i) {
    const Sample& s = samples[(i - 1) % n];
    return std::string{static_cast<char>(s.b1), static_cast<char>(s.b2)} + std::string("\xAA\xBB", 2);
  });
  Read r;
  ReadBytes(HeaderV1(1, 0xC0, true) + data + EndMarker(), r);
  ASSERT_TRUE(r.ok) << r.ui.OnlyMessage();
  EXPECT_EQ(r.rec.ChanCount, 1);
  // 1200 bytes in three blocks, two counted: 256 frames of 4 bytes, 250 in whole seconds.
  EXPECT_EQ(r.rec.DataCount, 250);
  EXPECT_FLOAT_EQ(r.rec.Coef(1), 0.12f);
  for (int i = 1; i <= 2 * n; ++i)
    EXPECT_FLOAT_EQ(r.rec.Acc(i, 1), static_cast<float>(samples[(i - 1) % n].value)) << i;
}

std::string HeaderV4(int channels, uint32_t count) {
  std::string b(512, '\0');
  Put(b, 0, {'*', '*', '*', '*', 0, 4, channels});
  Put(b, 8, {'A', 'B', 'C', 0, 'x', 'y'});
  Put(b, 22, {0x95, 0x01, 0x17, 0x05, 0x46, 0x52});  // 1995/01/17 05:46:52
  Put(b, 28, {0x01, 0x00, 0xFF, 0xFF});              // 100 Hz; the flags play no part
  Put(b, 73, {' ', ' ', ' ', ' ', '2', '0'});        // 20 s pre-event
  Put(b, 270, {2000 >> 8, 2000 & 0xFF, 20000 >> 8, 20000 & 0xFF});
  Put(b, 480, {int(count >> 24), int((count >> 16) & 0xFF), int((count >> 8) & 0xFF), int(count & 0xFF)});
  return b;
}

TEST(ReadMD, Version4TwentyFourBit) {
  struct Case {
    uint32_t headerCount;
    int expected;
  } cases[] = {{0, 200}, {150, 150}, {200, 200}, {500, 200}};
  // 2 channels of 3 bytes: 6-byte frames; 3 blocks counted of 4: 256 frames, 200 in whole seconds.
  std::string data = Frames(341, [](int i) { return Be24(8388608 + i) + Be24(8388608 - 2 * i); });
  for (const auto& cs : cases) {
    Read r;
    ReadBytes(HeaderV4(2, cs.headerCount) + data + EndMarker(), r);
    ASSERT_TRUE(r.ok) << r.ui.OnlyMessage();
    EXPECT_EQ(r.rec.DataCount, cs.expected) << cs.headerCount;
    EXPECT_EQ(r.rec.SampFreq, 100);
    EXPECT_EQ(r.rec.SiteCode, "ABC");
    EXPECT_EQ(r.rec.RecDate, "1995/01/17");
    EXPECT_EQ(r.rec.RecTime, "05:46:32");
    float c1 = static_cast<float>(2000 / 8388607.0);
    float c2 = static_cast<float>(static_cast<float>(20000 / 8388607.0) * 0.001);
    EXPECT_FLOAT_EQ(r.rec.Coef(1), c1);
    EXPECT_FLOAT_EQ(r.rec.Coef(2), c2);
    EXPECT_FLOAT_EQ(r.rec.Acc(3, 1), static_cast<float>(3.0 * c1));
    EXPECT_FLOAT_EQ(r.rec.Acc(3, 2), static_cast<float>(-6.0 * c2));
  }
}

TEST(ReadMD, EndMarkerInTheSecondHalfOfABlock) {
  std::string data = Frames(512, [](int i) { return Be16(32768 + i); });  // 2 blocks of 1 channel
  std::string last = std::string(256, '\x01') + EndMarker().substr(0, 256);
  Read r;
  ReadBytes(HeaderV1(1, 0) + data + last + data, r);
  ASSERT_TRUE(r.ok) << r.ui.OnlyMessage();
  // 2 data blocks, the first counted: 256 frames, 250 in whole seconds.
  EXPECT_EQ(r.rec.DataCount, 250);
}

TEST(ReadMD, UndecodableHeadersEndInItsMessage) {
  std::string data = Frames(600, [](int i) { return Be16(32768 + i); });
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"tag", "AB" + HeaderV1(1, 0).substr(2) + data},
      {"version", HeaderV1(1, 0).replace(1, 1, "\x02") + data},
      {"version 4 without stars", HeaderV1(1, 0).replace(1, 1, "\x04") + data},
      {"no channels", HeaderV1(0, 0) + data},
      {"no rate", HeaderV1(1, 0).replace(16, 2, std::string(2, '\0')) + data},
      {"channel table past the count", HeaderV4(106, 0) + data},
      {"no data blocks", HeaderV1(1, 0)},
      {"under a second of data", HeaderV1(255, 0) + data.substr(0, 1024)},  // one 510-byte frame counted
      {"nothing but zeros", HeaderV1(1, 0) + Frames(600, [](int) { return Be16(32768); })},
      {"empty", ""},
  };
  for (const auto& cs : cases) {
    Read r;
    ReadBytes(cs.bytes, r);
    EXPECT_FALSE(r.ok) << cs.what;
    ASSERT_EQ(r.ui.messages.size(), 1u) << cs.what;
    EXPECT_EQ(r.ui.messages[0].text, "Invalid MD File") << cs.what;
    EXPECT_EQ(r.ui.messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(r.ui.messages[0].title, "Sismora: ReadMD");
  }
}

TEST(ReadMD, ShortHeaderBlockGetsTheReadErrorBox) {
  TempDir dir;
  std::string path = dir.Write("short.md", HeaderV1(1, 0).substr(0, 100));
  StrongRecord rec;
  ScriptedUi ui;
  EXPECT_FALSE(ReportRead(ReadMD(path, rec, ui), ui));
  EXPECT_EQ(ui.OnlyMessage(), "Failed to read " + path + " (Err#62: Input past end of file)");
}

}  // namespace
}  // namespace sism

namespace sism {
namespace {

// Cut or scrambled files end in a record or in one message, never in a read past the data.
TEST(ReadMD, DamagedFilesNeverReadPastTheirBytes) {
  const std::string v1 = HeaderV1(3, 0xC0) + Frames(700, [](int i) { return Be16(i) + Be16(-i) + Be16(7); });
  const std::string v4 = HeaderV4(2, 0) + Frames(700, [](int i) { return Be24(i) + Be24(-i); }) + EndMarker();
  TempDir dir;
  std::mt19937 random(11);
  for (int round = 0; round < 400; ++round) {
    std::string bytes = round % 2 ? v1 : v4;
    if (round < 100) {
      bytes.resize(random() % (bytes.size() + 1));
    } else {
      for (int k = 0; k < 4; ++k) bytes[random() % 512] = static_cast<char>(random());
      bytes[random() % bytes.size()] = static_cast<char>(random());
    }
    Read r;
    ReadBytes(bytes, r);
    EXPECT_EQ(r.ui.messages.size(), r.ok ? 0u : 1u) << round;
    if (r.ok) {
      EXPECT_GE(r.rec.DataCount, 1) << round;
      EXPECT_EQ(r.rec.DataCount, r.rec.DataCapacity()) << round;
      EXPECT_EQ(r.rec.AccChannels(), r.rec.ChanCount) << round;
    }
  }
}

}  // namespace
}  // namespace sism
