// Points the per-user store (and the home folder) at a fresh temporary folder for the
// duration of a test, so no test ever reads or writes a real user's settings.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "common/files.h"
#include "tests/support/temp_dir.h"

namespace sism::test {

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class UserStoreTest : public ::testing::Test {
 protected:
  TempDir dir;
  ScopedEnv config{"XDG_CONFIG_HOME", dir.File("config")};
  ScopedEnv home{"HOME", dir.File("home")};

  std::string StorePath() const { return dir.File("config") + "/Sismora/Sismora.ini"; }
  std::string StoreText() const {
    return FileExists(StorePath()) ? ReadWholeFile(StorePath()) : std::string();
  }
};

}  // namespace sism::test
