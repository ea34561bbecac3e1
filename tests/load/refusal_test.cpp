// Files refused on sight: the message names the file and says why, and the record stays.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "load/user_side.h"
#include "load/pipeline.h"
#include "record/dispatch.h"
#include "tests/load/fake_records.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

const char* const kCsmipSpectra =
    " holds response and Fourier amplitude spectra, not an accelerogram. Open the record's corrected "
    "volume (.V2) instead, or its uncorrected one (.V1).";
const char* const kCosmosSpectra =
    " holds response spectra, not an accelerogram. Open the record's corrected volume (.V2c) instead, or "
    "its uncorrected one (.V1c).";
const char* const kStationXml =
    " is a StationXML file: it describes a station's instruments, not a record. Open the station's "
    "miniSEED or SAC files beside it instead; their counts are converted with it.";
const char* const kBinary = " holds binary data of a kind no reader knows, not a record file.";
const char* const kCounts =
    " holds raw instrument counts, not accelerations. Open the record's uncorrected volume (.V1c) instead, "
    "or its corrected one (.V2c).";

TEST(Refusals, EachSaysWhatTheFileIsAndTheRecordStays) {
  const struct {
    const char* name;
    const char* contents;  // null: a folder
    const char* message;
  } cases[] = {
      {"folder.ac", nullptr, " is a folder, not a record file."},
      {"empty.ac", "", " is empty."},
      {"a.V3", "RESPONSE AND FOURIER AMPLITUDE SPECTRA\n", kCsmipSpectra},
      {"b.txt", "Response and Fourier amplitude spectra\n", kCsmipSpectra},
      {"c.v3", "anything\n", kCsmipSpectra},
      {"d.V3c", "Response spectra   (Format v01.20 with 13 text lines)\n", kCosmosSpectra},
      {"e.dat", "Acceleration response spectra (Format v01.20 with 13 text lines)\n", kCosmosSpectra},
      {"f.V0c", "anything\n", kCounts},
      {"g.V0", "Raw acceleration counts   (Format v01.20 with 13 text lines)\n", kCounts},
      {"BK.CMB.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<FDSNStationXML xmlns=\"x\">\n", kStationXml},
      {"renamed.txt", "\xEF\xBB\xBF  <FDSNStationXML>\n", kStationXml},
      {"page.dat", "<!DOCTYPE html>\n<html>\n", " is an XML or HTML document, not a record file."},
      {"shot.png", "\x89PNG\r\n\x1a\n", " is a PNG image, not a record file."},
      {"photo.ac", "\xFF\xD8\xFF\xE0", " is a JPEG image, not a record file."},
      {"junk.dat", "\x7F""ELF\x02\x01", kBinary},
      {"junk.csv", "1,2\n\x03\x04,5\n", kBinary},
  };
  test::TempDir dir;
  for (const auto& c : cases) {
    std::string path = dir.File(c.name);
    if (c.contents)
      dir.Write(c.name, c.contents);
    else
      std::filesystem::create_directory(path);
    AppState state;
    test::ScriptedUi ui;
    ASSERT_EQ(ReadAccFile(state, dir.Write("ok.dat", test::FakeFile(100, 50, 2)), ui, test::FakeReaders()), 2);
    state.preproc.ShowEachTime = true;  // a refused file asks nothing
    EXPECT_EQ(ReadAccFile(state, path, ui, test::FakeReaders()), 0) << c.name;
    EXPECT_EQ(AppendAccFile(state, path, ui, test::FakeReaders()), 2) << c.name;
    ASSERT_EQ(ui.messages.size(), 2u) << c.name;
    EXPECT_EQ(ui.messages[0].text, path + c.message);
    EXPECT_EQ(ui.messages[0].title, "ReadAccFile - Sismora");
    EXPECT_EQ(ui.messages[1].title, "AppendAccFile - Sismora");
    EXPECT_EQ(state.record.ChanCount, 2) << c.name;
    // Callers of the dispatcher are told the same.
    StrongRecord rec;
    ui.messages.clear();
    EXPECT_FALSE(ReportRead(ReadRecordFile(path, rec, ui), ui));
    EXPECT_EQ(ui.OnlyMessage(), path + c.message);
  }
}

// Control bytes refuse a file only where a text reader would take it: binary formats stay.
TEST(Refusals, BinaryFormatsAreNotJunk) {
  test::TempDir dir;
  test::ScriptedUi ui;
  std::string evt(600, '\0');
  evt.replace(0, 4, "KMI\x01");
  for (const std::string& path : {dir.Write("a.evt", evt), dir.Write("b.md", std::string(64, '\x02')),
                                  dir.Write("shift_jis.dat", "\x93\x8c\x8b\x9e 1 2\n3 4\n")}) {
    StrongRecord rec;
    ReadOutcome o = ReadRecordFile(path, rec, ui);
    for (const ReadMessage& m : o.messages)
      EXPECT_EQ(m.text.find("binary data of a kind"), std::string::npos) << path;
  }
}

TEST(Refusals, FileWithoutReadPermission) {
  if (geteuid() == 0) GTEST_SKIP() << "running as root: every file can be read";
  test::TempDir dir;
  const std::string path = dir.Write("locked.ac", "2003/09/26 04:50:07\n");
  std::filesystem::permissions(path, std::filesystem::perms::none);
  AppState state;
  test::ScriptedUi ui;
  EXPECT_EQ(ReadAccFile(state, path, ui), 0);
  EXPECT_EQ(ui.OnlyMessage(), path + " cannot be read: permission denied.");
}

}  // namespace
}  // namespace sism
