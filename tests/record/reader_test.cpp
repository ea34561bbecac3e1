// The one trap every reader runs under: what the user is shown for an invalid file and
// for any other error.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "common/errors.h"
#include "common/strings.h"
#include "record/reader.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

using test::ScriptedUi;

TEST(ReadErrorTrap, ShowsAnInvalidFileMessageAsItIs) {
  ScriptedUi ui;
  bool ok = TrapReadErrors(ui, "/data/x.smc", "ReadSmc", []() -> bool {
    throw InvalidRecordFile("/data/x.smc is invalid SMC file.");
  });
  EXPECT_FALSE(ok);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "/data/x.smc is invalid SMC file.");
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Critical);
  EXPECT_EQ(ui.messages[0].title, ReaderTitle("ReadSmc"));
  EXPECT_EQ(ui.messages[0].title, ProgramTitle() + ": ReadSmc");
}

TEST(ReadErrorTrap, OtherErrorsKeepTheReadFailureText) {
  ScriptedUi ui;
  EXPECT_FALSE(TrapReadErrors(ui, "/data/x.smc", "ReadSmc", []() -> bool { Raise(ErrInputPastEnd); }));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Failed to read /data/x.smc (Err#62: Input past end of file)");
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Critical);
  EXPECT_EQ(ui.messages[0].title, ReaderTitle("ReadSmc"));
}

TEST(ReadErrorTrap, KeepsATitleFormedByTheReader) {
  const std::string title = "ReadAc - " + ProgramTitle();
  ScriptedUi ui;
  EXPECT_FALSE(TrapReadErrorsTitled(ui, "/data/a.ac", title, []() -> bool {
    throw InvalidRecordFile("not this format");
  }));
  EXPECT_FALSE(TrapReadErrorsTitled(ui, "/data/a.ac", title, []() -> bool { throw std::bad_alloc(); }));
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, "not this format");
  EXPECT_EQ(ui.messages[0].title, title);
  EXPECT_EQ(ui.messages[1].text.rfind("Failed to read /data/a.ac (Err#7", 0), 0u) << ui.messages[1].text;
  EXPECT_EQ(ui.messages[1].title, title);
}

TEST(ReadErrorTrap, SuccessAndQuietRefusalShowNothing) {
  ScriptedUi ui;
  EXPECT_TRUE(TrapReadErrors(ui, "p", "ReadThing", [] { return true; }));
  EXPECT_FALSE(TrapReadErrors(ui, "p", "ReadThing", [] { return false; }));
  EXPECT_TRUE(ui.messages.empty());
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
