// The window on records whose texts are Shift-JIS, and on plain column files.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStringDecoder>
#include <QTimer>

#include "app/gui/dialogs.h"
#include "app/gui/main_window.h"
#include "record/display_text.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

// 熊本市中央区 in Shift-JIS.
const std::string kKumamoto = "\x8C\x46\x96\x7B\x8E\x73\x92\x86\x89\x9B\x8B\xE6";

void EnsureApplication() {
  static int argc = 1;
  static char name[] = "test_gui";
  static char* argv[] = {name, nullptr};
  if (QApplication::instance() == nullptr) new QApplication(argc, argv);
}

class JapaneseWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
    setenv("HOME", dir.File("home").c_str(), 1);
    EnsureApplication();
    window = std::make_unique<FSismora>(state);
    window->messageSink = [this](const std::string& text, MsgIcon icon, const std::string& title) {
      messages.push_back({text, icon, title});
    };
    window->questionSink = [](const std::string&, const std::string&) { return true; };
    window->Load();
  }

  std::string JmaFile(const std::string& name) {
    std::string t =
        "SITE CODE= 47A" + name + "  ,32.86,130.90\r\n LAT.= 32.5\r\n LON.= 130.4\r\n" +
        " SAMPLING RATE= 100Hz\r\n UNIT = gal\r\nINITIAL TIME = 2016 04 16 01 45 50\r\n NS,EW,UD\r\n";
    for (int i = 1; i <= 500; ++i) t += std::to_string(i % 9) + ",1,-2\r\n";
    return dir.Write("k.csv", t);
  }

  test::TempDir dir;
  AppState state;
  std::unique_ptr<FSismora> window;
  std::vector<test::ShownMessage> messages;
};

TEST_F(JapaneseWindowTest, StatusBarAndParameterDialogShowTheNameInJapanese) {
  window->ReadFile(JmaFile(kKumamoto));
  ASSERT_TRUE(messages.empty()) << messages.front().text;
  const QString status = QString::fromStdString(window->StatusParamsText());
  EXPECT_TRUE(status.startsWith(QStringLiteral(u"2016/04/16 01:45:50 at 47A: 熊本市中央区 (I=")))
      << window->StatusParamsText();

  // Qt's own codec, where the platform has one, reads the bytes the same way.
  QStringDecoder qtDecoder("Shift_JIS");
  if (qtDecoder.isValid()) {
    const QString byQt = qtDecoder(QByteArray::fromStdString(state.record.SiteName));
    EXPECT_EQ(byQt, QString::fromStdString(DisplayText(state.record, state.record.SiteName)));
  }

  // The dialog edits the texts as shown; the name untouched keeps its bytes.
  window->recordParamSink = [](RecordTexts& t) {
    EXPECT_EQ(t.station, "熊本市中央区");
    t.code = "47B";
    return true;
  };
  window->ActionByKey("mnuToolParam")->trigger();
  EXPECT_EQ(state.record.SiteName, kKumamoto);
  EXPECT_TRUE(
      QString::fromStdString(window->StatusParamsText()).contains(QStringLiteral(u"47B: 熊本市中央区")));
}

TEST_F(JapaneseWindowTest, BytesThatAreNoShiftJisShowAsReplacements) {
  window->ReadFile(JmaFile("\x93\x8C\x81 \xFDX"));
  ASSERT_TRUE(messages.empty()) << messages.front().text;
  EXPECT_NE(window->StatusParamsText().find("47A: 東\uFFFD \uFFFDX (I="), std::string::npos)
      << window->StatusParamsText();
}

TEST_F(JapaneseWindowTest, RealJmaFileShowsItsStationName) {
  SKIP_WITHOUT_SAMPLES();
  window->ReadFile((test::SamplesDir() / "jma/Q4169D2004.csv").string());
  ASSERT_TRUE(messages.empty()) << messages.front().text;
  EXPECT_NE(window->StatusParamsText().find("9D2: 上天草市大矢野町"), std::string::npos)
      << window->StatusParamsText();
}

TEST_F(JapaneseWindowTest, GeneralFileDialogProposesTheColumns) {
  std::string data;
  for (int i = 1; i <= 3000; ++i) data += std::to_string(i % 40) + " " + std::to_string(-(i % 30)) + "\n";
  const std::string path = dir.Write("two.txt", data);
  DataFileParams shown;
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<FReadData*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    seen = dialog->Result(shown);
    dialog->accept();
  });
  window->ReadFile(path);
  ASSERT_TRUE(seen);
  EXPECT_EQ(shown.skip, 0);
  EXPECT_EQ(shown.channels, 2);
  EXPECT_EQ(shown.count, 3000);
  EXPECT_EQ(state.record.ChanCount, 2);
  EXPECT_EQ(state.record.DataCount, 3000);
}

}  // namespace
}  // namespace sism
