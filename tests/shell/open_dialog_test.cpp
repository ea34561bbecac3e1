// The open dialog: its filter made from the table of formats, its titles and the filter
// remembered for the run.
#include "app/shell/open_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/shell/view_commands.h"
#include "common/text.h"
#include "record/formats.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

std::vector<std::string> Patterns(const std::string& list) {
  return Split(list, ";");
}
bool Has(const std::vector<std::string>& list, const std::string& s) {
  return std::find(list.begin(), list.end(), s) != list.end();
}

TEST(OpenFileFilter, EveryExtensionOfTheTableOpensFromIt) {
  const std::vector<std::string> parts = Split(OpenFileFilter(), "|");
  ASSERT_EQ(parts.size() % 2, 0u) << OpenFileFilter();
  ASSERT_GE(parts.size(), 4u);
  EXPECT_EQ(parts[0], "Known files");
  EXPECT_EQ(parts[parts.size() - 2], "All files (*.*)");
  EXPECT_EQ(parts.back(), "*.*");
  const std::vector<std::string> known = Patterns(parts[1]);
  for (const RecordFormatRow& row : RecordFormats()) {
    for (const char* e : row.extensions) {
      const std::string pattern = "*" + std::string(e);
      const bool general = row.code == FormatCsv || row.code == FormatOther || pattern == "*.csv";
      // Any file may be called .txt or .csv: those are not "known".
      EXPECT_EQ(Has(known, pattern), !general) << row.name << " " << pattern;
      bool grouped = false;
      for (size_t i = 2; i + 1 < parts.size(); i += 2)
        grouped = grouped || Has(Patterns(parts[i + 1]), pattern);
      EXPECT_EQ(grouped, row.filterGroup > 0) << row.name << " " << pattern;
    }
  }
  // Each group says its patterns, as the dialog shows no others.
  for (size_t i = 2; i + 3 < parts.size(); i += 2)
    EXPECT_TRUE(EndsWith(parts[i], " (" + parts[i + 1] + ")")) << parts[i];
  EXPECT_NE(OpenFileFilter().find("|QBX files (*.ac;*.acs)|*.ac;*.acs|"), std::string::npos);
}

TEST(OpenDialog, SetupAndRememberedFilter) {
  test::TempDir dir;
  test::ScriptedUi ui;
  AppState state;
  OpenFileState files;
  files.LastFolder = "/data/";
  OpenDialogSetup open = OpenRecordDialogSetup(files, false);
  EXPECT_EQ(open.title, "Open a file");
  EXPECT_EQ(open.filter, OpenFileFilter());
  EXPECT_EQ(open.filterIndex, 1);
  EXPECT_EQ(open.initialFolder, "/data/");
  EXPECT_EQ(OpenRecordDialogSetup(files, true).title, "Append a file");
  OpenRecordDialogAccepted(state, files, dir.File("none.ac"), 4, false, ui);
  EXPECT_EQ(OpenRecordDialogSetup(files, false).filterIndex, 4);
  EXPECT_EQ(files.LastFolder, dir.Path().string() + "/");
  EXPECT_EQ(WindowCaption(files.CaptionFilePart), "Sismora");
}

}  // namespace
}  // namespace sism
