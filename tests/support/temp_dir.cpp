#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <vector>

namespace sism::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "sismora-test-XXXXXX").string();
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data())) throw std::runtime_error("cannot create a temporary folder");
  path_ = buf.data();
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& contents) const {
  std::string p = File(name);
  std::ofstream out(p, std::ios::binary);
  out << contents;
  return p;
}

}  // namespace sism::test
