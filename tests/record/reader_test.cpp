// The one trap every reader runs under: what the user is to be shown for an invalid file and
// for any other error.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "common/errors.h"
#include "common/strings.h"
#include "load/user_side.h"
#include "record/reader.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

using test::ScriptedUi;

TEST(ReadErrorTrap, GivesAnInvalidFileMessageAsItIs) {
  ReadOutcome o = TrapReadErrors("/data/x.smc", "ReadSmc", []() -> bool {
    throw InvalidRecordFile("/data/x.smc is invalid SMC file.");
  });
  EXPECT_FALSE(o);
  EXPECT_EQ(o.status, ReadStatus::Refused);
  ASSERT_EQ(o.messages.size(), 1u);
  EXPECT_EQ(o.messages[0].text, "/data/x.smc is invalid SMC file.");
  EXPECT_EQ(o.messages[0].title, ReaderTitle("ReadSmc"));
  EXPECT_EQ(o.messages[0].title, ProgramTitle() + ": ReadSmc");
}

TEST(ReadErrorTrap, OtherErrorsKeepTheReadFailureText) {
  ReadOutcome o = TrapReadErrors("/data/x.smc", "ReadSmc", []() -> bool { Raise(ErrInputPastEnd); });
  EXPECT_EQ(o.status, ReadStatus::Refused);
  ASSERT_EQ(o.messages.size(), 1u);
  EXPECT_EQ(o.messages[0].text, "Failed to read /data/x.smc (Err#62: Input past end of file)");
  EXPECT_EQ(o.messages[0].title, ReaderTitle("ReadSmc"));
  EXPECT_EQ(FailedToReadText("the set of /d/a.mseed", 13, "Type mismatch"),
            "Failed to read the set of /d/a.mseed (Err#13: Type mismatch)");
}

TEST(ReadErrorTrap, KeepsATitleFormedByTheReader) {
  const std::string title = "ReadAc - " + ProgramTitle();
  ReadOutcome invalid = TrapReadErrorsTitled("/data/a.ac", title, []() -> bool {
    throw InvalidRecordFile("not this format");
  });
  ReadOutcome memory = TrapReadErrorsTitled("/data/a.ac", title, []() -> bool { throw std::bad_alloc(); });
  ASSERT_EQ(invalid.messages.size(), 1u);
  ASSERT_EQ(memory.messages.size(), 1u);
  EXPECT_EQ(invalid.messages[0].text, "not this format");
  EXPECT_EQ(invalid.messages[0].title, title);
  EXPECT_EQ(memory.messages[0].text.rfind("Failed to read /data/a.ac (Err#7", 0), 0u) << memory.messages[0].text;
  EXPECT_EQ(memory.messages[0].title, title);
}

TEST(ReadErrorTrap, SuccessQuietRefusalAndDeclineSayNothing) {
  ReadOutcome read = TrapReadErrors("p", "ReadThing", [] { return true; });
  ReadOutcome other = TrapReadErrors("p", "ReadThing", [] { return false; });
  ReadOutcome declined = TrapReadErrors("p", "ReadThing", [] { return ReadStatus::Declined; });
  EXPECT_EQ(read.status, ReadStatus::Read);
  EXPECT_EQ(other.status, ReadStatus::NotThisFormat);
  EXPECT_EQ(declined.status, ReadStatus::Declined);
  EXPECT_TRUE(read.messages.empty() && other.messages.empty() && declined.messages.empty());
  // The caller shows what there is to show, in order.
  ScriptedUi ui;
  ReadOutcome two = ReadOutcome::Refusal("first", "t1");
  two.messages.push_back({"second", "t2"});
  EXPECT_FALSE(ReportRead(two, ui));
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].text, "second");
  EXPECT_EQ(ui.messages[1].icon, MsgIcon::Critical);
  EXPECT_TRUE(ReportRead(read, ui));
  EXPECT_EQ(ui.messages.size(), 2u);
}

TEST(ReadErrorTrap, InvalidFileIsAStandardExceptionCarryingItsText) {
  try {
    throw InvalidRecordFile("Invalid MD File");
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Invalid MD File");
  }
}

}  // namespace
}  // namespace sism
