// What sismora-cli writes: never over one of its inputs, and standard output checked.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/cli/tool.h"
#include "app/shell/flatfile.h"
#include "common/files.h"

namespace sism::cli {
namespace {

// The path with its links resolved as far as it exists, so that a link and its target
// give one set key.
std::string Resolved(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::weakly_canonical(path, ec);
  return ec ? std::filesystem::absolute(path, ec).lexically_normal().string() : p.string();
}

}  // namespace

std::string InputOverwrittenBy(const std::string& output, const std::vector<std::string>& inputs) {
  const std::string out = Resolved(output);
  const std::string outKey = RecordSetKey(out);
  for (const std::string& input : inputs) {
    std::error_code ec;
    if (std::filesystem::is_directory(input, ec)) continue;
    if (SameFile(output, input) || RecordSetKey(Resolved(input)) == outKey) return input;
  }
  return {};
}

std::string SidecarPath(const std::string& output, const std::string& suffix) {
  const std::filesystem::path p(output);
  return (p.parent_path() / (p.stem().string() + suffix)).string();
}

StandardOutput::StandardOutput() : buffer_(STDOUT_FILENO), previous_(std::cout.rdbuf(&buffer_)) {}

StandardOutput::~StandardOutput() {
  std::cout.rdbuf(previous_);
}

bool StandardOutput::Finish() {
  std::cout.flush();
  int error = buffer_.Error();
  if (error == 0 && !std::cout) error = EIO;
  if (std::fflush(stdout) != 0 && error == 0) error = errno;
  if (::close(STDOUT_FILENO) != 0 && error == 0 && errno != EBADF) error = errno;
  if (error == 0) return true;
  std::cerr << "sismora-cli: standard output: " << SystemReason(error) << "\n";
  return false;
}

}  // namespace sism::cli
