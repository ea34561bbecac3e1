#include "load/user_side.h"
#include "tests/support/damaged_files.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism::test {

namespace {

// A read failure says where in the file it happened.
void ExpectPlaceNamed(const std::string& text) {
  if (text.rfind("Failed to read ", 0) != 0) return;
  EXPECT_TRUE(text.find(") at line") != std::string::npos || text.find(") at byte ") != std::string::npos ||
              text.find(") at step ") != std::string::npos)
      << text;
}

}  // namespace

void ExpectEveryTenthCutRefused(ReaderFunction reader, const std::string& name, const std::string& good) {
  TempDir dir;
  for (int tenth = 0; tenth < 10; ++tenth) {
    std::string path = dir.Write(name, good.substr(0, good.size() * tenth / 10));
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReportRead(reader(path, rec, ui), ui)) << tenth << " tenths";
    ASSERT_EQ(ui.messages.size(), 1u) << tenth << " tenths";
    EXPECT_NE(ui.messages[0].text.find(path), std::string::npos) << ui.messages[0].text;
    ExpectPlaceNamed(ui.messages[0].text);
  }
}

void ExpectDamageEndsInRecordOrOneMessage(ReaderFunction reader, const std::string& name, const std::string& good,
                                          unsigned seed) {
  TempDir dir;
  {
    StrongRecord rec;
    ScriptedUi ui;
    ASSERT_TRUE(ReportRead(reader(dir.Write(name, good), rec, ui), ui)) << "the undamaged file: " << ui.OnlyMessage();
  }
  std::mt19937 random(seed);
  for (int round = 0; round < 300; ++round) {
    std::string bytes = good;
    if (round < 100) {
      bytes.resize(random() % (good.size() + 1));
    } else {
      for (int k = 0; k < 4; ++k) bytes[random() % bytes.size()] = static_cast<char>(random());
    }
    StrongRecord rec;
    ScriptedUi ui;
    bool ok = ReportRead(reader(dir.Write(name, bytes), rec, ui), ui);
    EXPECT_EQ(ui.messages.size(), ok ? 0u : 1u) << round;
    if (!ui.messages.empty()) ExpectPlaceNamed(ui.messages[0].text);
    if (ok) {
      EXPECT_GE(rec.DataCount, 1) << round;
      EXPECT_GE(rec.SampFreq, 1) << round;
      EXPECT_EQ(rec.DataCapacity(), rec.DataCount) << round;
      EXPECT_EQ(rec.AccChannels(), rec.ChanCount) << round;
    }
  }
}

}  // namespace sism::test
