#include "record/refusal.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "common/path.h"
#include "common/text.h"
#include "record/dispatch.h"

namespace sism {

namespace {

// The first kilobyte of an open file.
std::string Head(int fd) {
  char buf[1024];
  ssize_t n = ::read(fd, buf, sizeof buf);
  return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

// The first line, upper-cased; a line longer than a header's is cut.
std::string FirstLineUpper(const std::string& head) {
  return UCase(head.substr(0, std::min(head.find_first_of("\r\n"), std::size_t{512})));
}

// Files of other kinds that a user may pick by mistake, known by their first bytes: what
// the file is, or empty.
std::string OtherKindOfFile(const std::string& path, const std::string& head) {
  static const struct {
    const char* magic;
    std::size_t size;
    const char* what;
  } kinds[] = {
      {"\x89PNG", 4, "a PNG image"},   {"\xFF\xD8\xFF", 3, "a JPEG image"}, {"GIF8", 4, "a GIF image"},
      {"II*\0", 4, "a TIFF image"},     {"MM\0*", 4, "a TIFF image"},       {"%PDF", 4, "a PDF document"},
      {"PK\x03\x04", 4, "a ZIP archive"}, {"\x1F\x8B", 2, "a gzip archive"},
  };
  for (const auto& k : kinds)
    if (head.compare(0, k.size, k.magic, k.size) == 0) return path + " is " + k.what + ", not a record file.";
  std::size_t start = head.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  start = head.find_first_not_of(" \t\r\n", start);
  if (start != std::string::npos && head.compare(start, 1, "<") == 0) {
    if (head.find("<FDSNStationXML") != std::string::npos)
      return path +
             " is a StationXML file: it describes a station's instruments, not a record. Open the "
             "station's miniSEED or SAC files beside it instead; their counts are converted with it.";
    if (head.compare(start, 5, "<?xml") == 0 || UCase(head.substr(start, 5)) == "<HTML" ||
        UCase(head.substr(start, 9)) == "<!DOCTYPE")
      return path + " is an XML or HTML document, not a record file.";
  }
  return {};
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

// Bytes no text has: the file is binary.
bool HasControlBytes(const std::string& head) {
  for (unsigned char c : head)
    if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v' && c != 0x1A) || c == 0x7F)
      return true;
  return false;
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
  const std::string head = Head(fd);
  ::close(fd);
  const auto size = fs::file_size(path, ec);
  if (!ec && size == 0) return path + " is empty.";
  std::string other = OtherKindOfFile(path, head);
  if (!other.empty()) return other;
  // Only the general and CSV readers would take it, and they read text.
  if (HasControlBytes(head)) {
    const int32_t format = DetectFormat(path);
    if (format == FormatOther || format == FormatCsv)
      return path + " holds binary data of a kind no reader knows, not a record file.";
  }
  return VolumeRefusal(path, FirstLineUpper(head));
}

}  // namespace sism
