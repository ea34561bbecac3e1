// The main window on a fresh state, offscreen, its settings in a temporary folder and its
// messages recorded instead of shown; the window's tests derive from it.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/gui/main_window.h"
#include "state/app_state.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism::test {

// One application for every test of the program.
inline QApplication& GuiApp() {
  static int argc = 1;
  static char name[] = "test_gui";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

class WindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
    setenv("HOME", dir.File("home").c_str(), 1);
    GuiApp();
    window = std::make_unique<FSismora>(state);
    window->messageSink = [this](const std::string& text, MsgIcon icon, const std::string& title) {
      messages.push_back({text, icon, title});
    };
    window->questionSink = [](const std::string&, const std::string&) { return true; };
    window->Load();
  }

  TempDir dir;
  AppState state;
  std::unique_ptr<FSismora> window;
  std::vector<ShownMessage> messages;
};

}  // namespace sism::test
