#include "app/shell/profile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/errors.h"
#include "common/files.h"
#include "tests/shell/user_store.h"

namespace sism {
namespace {

using test::UserStoreTest;

// A file as another program or a person might write it.
const char* const kHandMade =
    "\xEF\xBB\xBF; settings written by hand\r\n"
    "\r\n"
    "[graph]\r\n"
    "  axis1_max = 45.5  \r\n"
    "# a comment\r\n"
    "GraphTitle1=\"  padded  \"\r\n"
    "Header=Left|Centre;not a comment|Right\r\n"
    "Footer='quoted'\r\n"
    "Empty=\r\n"
    "Axis1_Max=99\r\n"
    "no equals sign here\r\n"
    "\t[ Calculation ]\r\n"
    "RespDamping\t=\t3\r\n";

TEST(ProfileFile, ReadsFilesWrittenByOtherPrograms) {
  ProfileFile f = ProfileFile::Parse(kHandMade);
  struct Case {
    const char* section;
    const char* key;
    bool found;
    const char* value;
  } cases[] = {
      {"Graph", "Axis1_Max", true, "45.5"},  // odd case, blanks around "=", first key wins
      {"GRAPH", "AXIS1_MAX", true, "45.5"},
      {"Graph", "GraphTitle1", true, "  padded  "},  // quotes keep the blanks
      {"Graph", "Header", true, "Left|Centre;not a comment|Right"},
      {"Graph", "Footer", true, "quoted"},
      {"Graph", "Empty", true, ""},
      {"Graph", "# a comment", false, ""},
      {"Graph", "no equals sign here", false, ""},
      {"Calculation", "RespDamping", true, "3"},
      {"Calculation", "Axis1_Max", false, ""},
      {"Window", "Left", false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key);
    std::string v = "unchanged";
    EXPECT_EQ(f.Get(c.section, c.key, v), c.found);
    EXPECT_EQ(v, c.found ? c.value : "unchanged");
  }
}

TEST(ProfileFile, WritingOneKeyKeepsEveryOtherLine) {
  ProfileFile f = ProfileFile::Parse(
      "; top comment\n"
      "[Window]\n"
      "Left=10\n"
      "\n"
      "[Graph]\n"
      "; keep me\n"
      "Axis1_Max=80\n"
      "\n");
  f.Set("graph", "AXIS1_MAX", "120");  // replaced in place, spelt as written
  f.Set("Graph", "DrawGrid", "True");  // appended to its section, before the blank line
  f.Set("PreProcess", "RemoveDC", "False");
  EXPECT_EQ(f.Text(),
            "; top comment\n"
            "[Window]\n"
            "Left=10\n"
            "\n"
            "[Graph]\n"
            "; keep me\n"
            "AXIS1_MAX=120\n"
            "DrawGrid=True\n"
            "\n"
            "[PreProcess]\n"
            "RemoveDC=False\n");
  std::string v;
  ASSERT_TRUE(f.Get("Graph", "DrawGrid", v));
  EXPECT_EQ(v, "True");
}

TEST(ProfileFile, KeepsCrLfLineEndsAndByteOrderMark) {
  ProfileFile f = ProfileFile::Parse("\xEF\xBB\xBF[A]\r\nx=1\r\n");
  f.Set("A", "y", "2");
  EXPECT_EQ(f.Text(), "\xEF\xBB\xBF[A]\r\nx=1\r\ny=2\r\n");
  EXPECT_EQ(ProfileFile::Parse("").Text(), "");
  ProfileFile empty = ProfileFile::Parse("");
  empty.Set("S", "k", "v");
  EXPECT_EQ(empty.Text(), "[S]\nk=v\n");
}

TEST(ProfileFile, ReadsUtf16FilesAndKeepsThemAsUtf8) {
  // "[Graph]\r\nFont1Name=\u00c9t\U0001F600\r\n" in UTF-16LE with its byte order mark.
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("[Graph]\r\nFont1Name=")) utf16 += std::string{c, '\0'};
  utf16 += std::string("\xC9\x00t\x00\x3D\xD8\x00\xDE\r\x00\n\x00", 12);
  ProfileFile f = ProfileFile::Parse(utf16);
  std::string v;
  ASSERT_TRUE(f.Get("Graph", "Font1Name", v));
  EXPECT_EQ(v, "\xC3\x89t\xF0\x9F\x98\x80");
  EXPECT_EQ(f.Text(), "\xEF\xBB\xBF[Graph]\r\nFont1Name=\xC3\x89t\xF0\x9F\x98\x80\r\n");
}

TEST(ProfileFile, ValuesComeBackAsTheyWereWritten) {
  const std::string values[] = {"",      "plain",       "  lead and trail  ", "\"quoted\"", "'single'",
                                "a=b=c", "; semicolon", "[not a section]",    "\"",         "x\"y\""};
  ProfileFile f = ProfileFile::Parse("");
  for (std::size_t i = 0; i < std::size(values); ++i) f.Set("S", "k" + std::to_string(i), values[i]);
  ProfileFile back = ProfileFile::Parse(f.Text());
  for (std::size_t i = 0; i < std::size(values); ++i) {
    std::string v;
    ASSERT_TRUE(back.Get("S", "k" + std::to_string(i), v)) << i;
    EXPECT_EQ(v, values[i]) << i;
  }
}

TEST(ProfileFile, LineBreaksInAValueCannotForgeKeysOrSections) {
  ProfileFile f = ProfileFile::Parse("");
  f.Set("S", "Header", "one\r\n[Evil]\nInjected=1");
  ProfileFile back = ProfileFile::Parse(f.Text());
  std::string v;
  ASSERT_TRUE(back.Get("S", "Header", v));
  EXPECT_EQ(v, "one [Evil] Injected=1");
  EXPECT_FALSE(back.Get("Evil", "Injected", v));
}

TEST(ValueConversion, NumbersBooleansAndGarbage) {
  struct Case {
    const char* text;
    bool single;
    float s;
    bool isLong;
    int32_t l;
    bool isBool;
    bool b;
  } cases[] = {
      {"0.1", true, 0.1f, true, 0, true, true},
      {" 81.92 ", true, 81.92f, true, 82, true, true},
      {"-180", true, -180, true, -180, true, true},
      {"2.5", true, 2.5f, true, 2, true, true},  // halves to even
      {"3.5", true, 3.5f, true, 4, true, true},
      {"1E-05", true, 1e-5f, true, 0, true, true},
      {"0,05", true, 0.05f, true, 0, false, false},  // comma-decimal locale
      {"1,000.5", false, 0, false, 0, false, false},
      {"0", true, 0, true, 0, true, false},
      {"&HFF", false, 0, true, 255, false, false},
      {"&hFFFFFF&", false, 0, true, 16777215, false, false},
      {"&H", false, 0, false, 0, false, false},
      {"True", false, 0, false, 0, true, true},
      {"fALSE", false, 0, false, 0, true, false},
      {"", false, 0, false, 0, false, false},
      {"abc", false, 0, false, 0, false, false},
      {"12abc", false, 0, false, 0, false, false},
      {"1e39", false, 0, false, 0, true, true},          // beyond a single
      {"3000000000", true, 3e9f, false, 0, true, true},  // beyond a 32-bit integer
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    float s = -7;
    int32_t l = -7;
    bool b = false;
    EXPECT_EQ(ParseSingle(c.text, s), c.single);
    if (c.single) {
      EXPECT_FLOAT_EQ(s, c.s);
    }
    EXPECT_EQ(ParseLong(c.text, l), c.isLong);
    if (c.isLong) {
      EXPECT_EQ(l, c.l);
    }
    EXPECT_EQ(ParseBool(c.text, b), c.isBool);
    if (c.isBool) {
      EXPECT_EQ(b, c.b);
    }
  }
  EXPECT_EQ(BoolText(true), "True");
  EXPECT_EQ(BoolText(false), "False");
  for (float v : {0.1f, 81.92f, 0.05f, 1e-5f, 3.4e38f, -180.0f, 0.3f, 123456.7f}) {
    float back = 0;
    ASSERT_TRUE(ParseSingle(SingleText(v), back)) << SingleText(v);
    EXPECT_EQ(back, v) << SingleText(v);
    EXPECT_EQ(SingleText(v).find(','), std::string::npos);
  }
}

TEST_F(UserStoreTest, PerUserStoreLivesUnderTheConfigFolder) {
  EXPECT_EQ(UserSettingsPath(), StorePath());
  EXPECT_EQ(ReadSetting("Graph", "Axis1_Max", "80", ""), "80");  // fresh user
  EXPECT_FALSE(std::filesystem::exists(StorePath()));
  WriteSetting("Graph", "Axis1_Max", "120", "");
  ASSERT_TRUE(FileExists(StorePath()));
  EXPECT_EQ(StoreText(), "[Graph]\nAxis1_Max=120\n");
  EXPECT_EQ(ReadSetting("graph", "axis1_max", "80", ""), "120");
  EXPECT_FLOAT_EQ(ReadSettingSingle("Graph", "Axis1_Max", 0, ""), 120);
  EXPECT_EQ(ReadSettingLong("Graph", "Axis1_Max", 0, ""), 120);
  EXPECT_TRUE(ReadSettingBool("Graph", "Axis1_Max", false, ""));
  // The user's file and the per-user store are separate.
  EXPECT_EQ(ReadSetting("Graph", "Axis1_Max", "80", dir.File("other.ini")), "80");
}

TEST_F(UserStoreTest, ConfigFolderFallsBackToHomeWhenUnsetOrRelative) {
  {
    test::ScopedEnv unset("XDG_CONFIG_HOME", "");
    EXPECT_EQ(UserSettingsPath(), dir.File("home") + "/.config/Sismora/Sismora.ini");
  }
  test::ScopedEnv relative("XDG_CONFIG_HOME", "relative/config");
  EXPECT_EQ(UserSettingsPath(), dir.File("home") + "/.config/Sismora/Sismora.ini");
}

TEST_F(UserStoreTest, ValuesFromAUsersFileAreCutTo127Characters) {
  const std::string longText(200, 'x');
  const std::string ini = dir.File("long.ini");
  WriteSetting("Graph", "Header", longText, ini);
  WriteSetting("Graph", "Header", longText, "");
  EXPECT_EQ(ReadSetting("Graph", "Header", "", ini), std::string(127, 'x'));
  EXPECT_EQ(ReadSetting("Graph", "Header", "", ""), longText);  // the per-user store keeps it whole
  // Never in the middle of a character.
  WriteSetting("Graph", "Footer", std::string(126, 'y') + "\xC3\xA9z", ini);
  EXPECT_EQ(ReadSetting("Graph", "Footer", "", ini), std::string(126, 'y'));
}

TEST_F(UserStoreTest, StoreWritesOnceAndOnlyWhenSomethingWasWritten) {
  const std::string ini = dir.Write("batch.ini", "; mine\n[Other]\nKeep=1\n");
  {
    SettingsStore store(ini);
    EXPECT_TRUE(store.Found());
    store.Commit();  // nothing written: the file stays byte for byte
  }
  EXPECT_EQ(ReadWholeFile(ini), "; mine\n[Other]\nKeep=1\n");
  SettingsStore store(ini);
  store.WriteSingle("Calc", "A", 0.1f);
  store.WriteLong("Calc", "B", -3);
  store.WriteBool("Calc", "C", true);
  EXPECT_EQ(ReadWholeFile(ini), "; mine\n[Other]\nKeep=1\n");  // not yet
  store.Commit();
  EXPECT_EQ(ReadWholeFile(ini), "; mine\n[Other]\nKeep=1\n\n[Calc]\nA=0.1\nB=-3\nC=True\n");
  // No temporary files left beside it.
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path())) files += e.is_regular_file();
  EXPECT_EQ(files, 1);
}

TEST_F(UserStoreTest, FailedSavesRaiseAndLeaveTheOldFile) {
  // A folder where the file should be: it cannot be read, so it is never replaced.
  std::filesystem::create_directories(dir.File("taken.ini"));
  SettingsStore taken(dir.File("taken.ini"));
  EXPECT_FALSE(taken.Found());
  EXPECT_EQ(taken.Read("A", "b", "default"), "default");
  taken.Write("A", "b", "1");
  try {
    taken.Commit();
    FAIL() << "no error";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), ErrPathFileAccess);
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("taken.ini")));

  // A user's file in a folder that does not exist.
  EXPECT_THROW(WriteSetting("A", "b", "1", dir.File("missing/x.ini")), RuntimeError);
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
}

TEST_F(UserStoreTest, FolderPathsComeFromTheUserDirectories) {
  const std::string home = dir.File("home");
  std::filesystem::create_directories(home + "/Docs");
  std::filesystem::create_directories(dir.File("config"));
  dir.Write("config/user-dirs.dirs",
            "# written by xdg-user-dirs-update\n"
            "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
            "XDG_DOCUMENTS_DIR=\"$HOME/Docs/\"\n"
            "XDG_PICTURES_DIR=\"${HOME}/My Pictures\"\n");
  EXPECT_EQ(GetFolderPath(FolderDocuments, false), home + "/Docs");
  EXPECT_EQ(GetFolderPath(FolderPictures, false), "");  // missing and not to be created
  EXPECT_EQ(GetFolderPath(FolderPictures, true), home + "/My Pictures");
  EXPECT_TRUE(std::filesystem::is_directory(home + "/My Pictures"));
  EXPECT_EQ(GetFolderPath(7, true), "");  // a folder we do not know

  // Without the file (or the key) the home folder stands in.
  std::filesystem::remove(dir.File("config/user-dirs.dirs"));
  std::filesystem::create_directories(home);
  EXPECT_EQ(GetFolderPath(FolderDocuments, false), home);
  test::ScopedEnv noHome("HOME", "/nonexistent/for/sure");
  EXPECT_EQ(GetFolderPath(FolderDocuments, false), "");
}

}  // namespace
}  // namespace sism
