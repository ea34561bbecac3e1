#include "common/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "common/errors.h"
#include "common/strings.h"

namespace sism {

bool FileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

std::string OverwriteQuestion(const std::string& path) {
  return path + Str(8150) + "\n" + Str(8152);
}

int64_t FileLength(const std::string& path) {
  std::error_code ec;
  auto n = std::filesystem::file_size(path, ec);
  return ec ? -1 : static_cast<int64_t>(n);
}

std::string ReadWholeFile(const std::string& path) {
  std::error_code ec;
  if (path.empty() || !std::filesystem::exists(path, ec)) Raise(ErrFileNotFound);
  if (std::filesystem::is_directory(path, ec)) Raise(ErrPathFileAccess);
  std::ifstream in(path, std::ios::binary);
  if (!in) Raise(ErrPathFileAccess);
  std::string data;
  in.seekg(0, std::ios::end);
  auto size = in.tellg();
  if (size < 0) Raise(ErrPathFileAccess);
  data.resize(static_cast<std::size_t>(size));
  in.seekg(0, std::ios::beg);
  if (size > 0 && !in.read(data.data(), size)) Raise(ErrPathFileAccess);
  return data;
}

TextFile::TextFile(const std::string& path) : data_(ReadWholeFile(path)) {}

TextFile TextFile::FromText(std::string text) {
  TextFile f;
  f.data_ = std::move(text);
  return f;
}

bool TextFile::TryReadLine(std::string& line) {
  if (AtEnd()) return false;
  std::size_t end = pos_;
  while (end < data_.size() && data_[end] != '\r' && data_[end] != '\n') ++end;
  line.assign(data_, pos_, end - pos_);
  pos_ = end;
  if (pos_ < data_.size() && data_[pos_] == '\r') ++pos_;
  if (pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
  return true;
}

std::string TextFile::ReadLine() {
  std::string line;
  if (!TryReadLine(line)) Raise(ErrInputPastEnd);
  return line;
}

void ByteReader::Need(std::size_t n) const {
  if (n > data_.size() - pos_) Raise(ErrInputPastEnd);
}

void ByteReader::Seek(std::size_t pos) {
  if (pos > data_.size()) Raise(ErrInputPastEnd);
  pos_ = pos;
}

void ByteReader::Skip(std::size_t n) {
  Need(n);
  pos_ += n;
}

uint8_t ByteReader::U8() {
  Need(1);
  return static_cast<uint8_t>(data_[pos_++]);
}

uint16_t ByteReader::U16LE() {
  Need(2);
  auto b = reinterpret_cast<const unsigned char*>(data_.data() + pos_);
  pos_ += 2;
  return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint16_t ByteReader::U16BE() {
  Need(2);
  auto b = reinterpret_cast<const unsigned char*>(data_.data() + pos_);
  pos_ += 2;
  return static_cast<uint16_t>((b[0] << 8) | b[1]);
}

uint32_t ByteReader::U32LE() {
  Need(4);
  auto b = reinterpret_cast<const unsigned char*>(data_.data() + pos_);
  pos_ += 4;
  return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
         (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

uint32_t ByteReader::U32BE() {
  Need(4);
  auto b = reinterpret_cast<const unsigned char*>(data_.data() + pos_);
  pos_ += 4;
  return (static_cast<uint32_t>(b[0]) << 24) | (static_cast<uint32_t>(b[1]) << 16) |
         (static_cast<uint32_t>(b[2]) << 8) | static_cast<uint32_t>(b[3]);
}

int32_t ByteReader::I24BE() {
  Need(3);
  auto b = reinterpret_cast<const unsigned char*>(data_.data() + pos_);
  pos_ += 3;
  uint32_t u = (static_cast<uint32_t>(b[0]) << 16) | (static_cast<uint32_t>(b[1]) << 8) | b[2];
  if (u & 0x800000u) u |= 0xFF000000u;
  return static_cast<int32_t>(u);
}

float ByteReader::F32LE() {
  uint32_t u = U32LE();
  float f;
  std::memcpy(&f, &u, 4);
  return f;
}

float ByteReader::F32BE() {
  uint32_t u = U32BE();
  float f;
  std::memcpy(&f, &u, 4);
  return f;
}

std::string ByteReader::Text(std::size_t n) {
  Need(n);
  std::string s(data_.substr(pos_, n));
  pos_ += n;
  return s;
}

AtomicFileWriter::AtomicFileWriter(const std::string& path) : path_(path) {
  std::filesystem::path target(path);
  std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  int fd = mkstemp(buf.data());
  if (fd < 0) Raise(errno == ENOENT ? ErrFileNotFound : ErrPathFileAccess);
  ::close(fd);
  temp_ = buf.data();
  out_.open(temp_, std::ios::binary | std::ios::trunc);
  if (!out_) {
    std::remove(temp_.c_str());
    Raise(ErrPathFileAccess);
  }
}

AtomicFileWriter::~AtomicFileWriter() {
  if (!committed_) {
    out_.close();
    std::remove(temp_.c_str());
  }
}

void AtomicFileWriter::Write(std::string_view text) {
  out_.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void AtomicFileWriter::Commit() {
  out_.flush();
  bool ok = static_cast<bool>(out_);
  out_.close();
  ok = ok && !out_.fail();
  if (ok) {
    // On disk before it replaces the old file, so a power cut leaves one or the other.
    int fd = ::open(temp_.c_str(), O_RDONLY);
    if (fd >= 0) {
      ok = ::fsync(fd) == 0;
      ::close(fd);
    }
  }
  if (ok) {
    // Keep the permissions an existing file had; a new file gets the usual ones.
    struct stat st;
    if (::stat(path_.c_str(), &st) == 0) {
      ::chmod(temp_.c_str(), st.st_mode & 07777);
    } else {
      mode_t mask = ::umask(0);
      ::umask(mask);
      ::chmod(temp_.c_str(), 0666 & ~mask);
    }
    ok = std::rename(temp_.c_str(), path_.c_str()) == 0;
  }
  if (!ok) {
    std::remove(temp_.c_str());
    committed_ = true;
    Raise(ErrPathFileAccess);
  }
  committed_ = true;
}

}  // namespace sism
