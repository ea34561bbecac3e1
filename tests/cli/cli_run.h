// sismora-cli run as a user runs it: a subprocess with its own settings folder.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/shell/settings.h"
#include "common/files.h"
#include "common/text.h"
#include "load/pipeline.h"
#include "state/app_state.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {

inline const std::string kDemo = SISMORA_SOURCE_DIR "/samples/demo.ac";

struct CliRun {
  int status = -1;
  std::string out, err;
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines = Split(out, "\n");
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
  }
};

inline std::string Quote(const std::string& s) {
  return "'" + ReplaceAll(s, "'", "'\\''") + "'";
}

class CliTest : public ::testing::Test {
 protected:
  test::TempDir config, work;

  // The user's real settings are never touched: the store lives in a temporary folder.
  void SetUp() override { setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1); }

  CliRun Cli(const std::vector<std::string>& args) {
    std::string cmd = "XDG_CONFIG_HOME=" + Quote(config.Path().string()) + " QT_QPA_PLATFORM=offscreen " +
                      Quote(SISMORA_BIN_DIR "/sismora-cli");
    for (const std::string& a : args) cmd += " " + Quote(a);
    const std::string out = work.File("stdout"), err = work.File("stderr");
    cmd += " >" + Quote(out) + " 2>" + Quote(err);
    CliRun r;
    const int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadWholeFile(out);
    r.err = ReadWholeFile(err);
    return r;
  }

  // The record as the program opens it with the same (default) settings.
  AppState Open(const std::string& path) {
    AppState app;
    LoadStoredSettings(app);
    test::ScriptedUi ui;
    EXPECT_GT(ReadAccFile(app, path, ui), 0) << path;
    return app;
  }
};

}  // namespace sism
