#include "record/refusal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "common/path.h"
#include "common/text.h"

namespace sism {

namespace {

// The first line of an open file, upper-cased; a line longer than a header's is cut.
std::string FirstLineUpper(int fd) {
  char buf[512];
  ssize_t n = ::read(fd, buf, sizeof buf);
  std::string head(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
  return UCase(head.substr(0, head.find_first_of("\r\n")));
}

std::string VolumeRefusal(const std::string& path, const std::string& first) {
  const std::string ext = UCase(SplitPath(path).ext);
  const bool cosmos = first.find("(FORMAT V") != std::string::npos;
  const bool cosmosSpectra = cosmos && first.find("SPECTR") != std::string::npos;
  if (StartsWith(first, "RESPONSE AND FOURIER AMPLITUDE SPECTRA") || (ext == ".V3" && !cosmosSpectra))
    return path +
           " holds response and Fourier amplitude spectra, not an accelerogram. Open the record's corrected "
           "volume (.V2) instead, or its uncorrected one (.V1).";
  if (cosmosSpectra || ext == ".V3C")
    return path +
           " holds response spectra, not an accelerogram. Open the record's corrected volume (.V2c) "
           "instead, or its uncorrected one (.V1c).";
  if ((cosmos && StartsWith(first, "RAW ACCELERATION COUNTS")) || ext == ".V0C")
    return path +
           " holds raw instrument counts, not accelerations. Open the record's uncorrected volume (.V1c) "
           "instead, or its corrected one (.V2c).";
  return {};
}

}  // namespace

std::string RefusalText(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (path.empty()) return {};
  const fs::file_status st = fs::status(path, ec);
  if (ec || !fs::exists(st)) return {};
  if (fs::is_directory(st)) return path + " is a folder, not a record file.";
  // Devices and pipes could be read without end.
  if (!fs::is_regular_file(st)) return path + " is not a plain file, so it holds no record.";
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) {
    const bool denied = errno == EACCES || errno == EPERM;
    return path + (denied ? " cannot be read: permission denied." : " cannot be opened.");
  }
  const std::string first = FirstLineUpper(fd);
  ::close(fd);
  const auto size = fs::file_size(path, ec);
  if (!ec && size == 0) return path + " is empty.";
  return VolumeRefusal(path, first);
}

}  // namespace sism
