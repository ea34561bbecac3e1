#include "common/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
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

namespace {

// A dangling link or a loop of links says so, not only that the file is missing.
void RaiseIfUnreadable(const std::string& path) {
  const std::string problem = FileProblem(path);
  if (problem.empty()) return;
  if (problem == "is a folder") RaiseAccessError(EISDIR);
  if (problem == SystemReason(ENOENT)) Raise(ErrFileNotFound);
  throw RuntimeError(ErrFileNotFound, ErrorDescription(ErrFileNotFound) + ": " + problem);
}

[[noreturn]] void RaiseEndAtLine(int64_t line) {
  throw RuntimeError(ErrInputPastEnd, ErrorDescription(ErrInputPastEnd),
                     "at line " + std::to_string(line) + ": the file ends there");
}

}  // namespace

std::string ByteSizeText(int64_t bytes) {
  char buf[32];
  const double b = static_cast<double>(bytes);
  if (bytes >= (int64_t{1} << 30))
    std::snprintf(buf, sizeof buf, "%.1f GB", b / static_cast<double>(int64_t{1} << 30));
  else if (bytes >= (int64_t{1} << 20))
    std::snprintf(buf, sizeof buf, "%.0f MB", b / static_cast<double>(int64_t{1} << 20));
  else if (bytes >= 1024)
    std::snprintf(buf, sizeof buf, "%.0f KB", b / 1024.0);
  else
    std::snprintf(buf, sizeof buf, "%lld bytes", static_cast<long long>(bytes));
  return buf;
}

std::string ReadWholeFile(const std::string& path, int64_t limit) {
  RaiseIfUnreadable(path);
  std::ifstream in(path, std::ios::binary);
  if (!in) RaiseAccessError(errno != 0 ? errno : EACCES);
  std::string data;
  in.seekg(0, std::ios::end);
  auto size = in.tellg();
  if (size < 0) Raise(ErrPathFileAccess);
  if (static_cast<int64_t>(size) > limit)
    throw RuntimeError(ErrOutOfMemory, ErrorDescription(ErrOutOfMemory),
                       "the file is " + ByteSizeText(size) + ", more than the " + ByteSizeText(limit) +
                           " a file read at once may be");
  data.resize(static_cast<std::size_t>(size));
  in.seekg(0, std::ios::beg);
  if (size > 0 && !in.read(data.data(), size)) Raise(ErrPathFileAccess);
  return data;
}

LineReader::LineReader(const std::string& path, std::size_t maxLine) : maxLine_(maxLine), buf_(std::size_t{1} << 16) {
  RaiseIfUnreadable(path);
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) RaiseAccessError(errno);
  struct stat st;
  if (::fstat(fd_, &st) == 0) size_ = st.st_size;
}

LineReader::~LineReader() {
  if (fd_ >= 0) ::close(fd_);
}

bool LineReader::Fill() {
  ssize_t n;
  do {
    n = ::read(fd_, buf_.data(), buf_.size());
  } while (n < 0 && errno == EINTR);
  if (n < 0) RaiseAccessError(errno);
  pos_ = 0;
  end_ = static_cast<std::size_t>(n);
  return n > 0;
}

bool LineReader::TryReadLine(std::string& line) {
  line.clear();
  bool any = false;
  for (;;) {
    if (pos_ == end_ && !Fill()) {
      if (any) ++lines_;
      return any;
    }
    if (skipLf_) {
      skipLf_ = false;
      if (buf_[pos_] == '\n') {
        ++pos_;
        continue;
      }
    }
    any = true;
    const char* from = buf_.data() + pos_;
    const char* to = buf_.data() + end_;
    const char* stop = from;
    while (stop != to && *stop != '\n' && *stop != '\r') ++stop;
    line.append(from, stop);
    pos_ = static_cast<std::size_t>(stop - buf_.data());
    if (line.size() > maxLine_)
      throw RuntimeError(ErrOutOfMemory, ErrorDescription(ErrOutOfMemory),
                         "at line " + std::to_string(lines_ + 1) + ": the line is longer than " +
                             ByteSizeText(static_cast<int64_t>(maxLine_)));
    if (stop != to) {
      skipLf_ = *stop == '\r';
      ++pos_;
      ++lines_;
      return true;
    }
  }
}

std::string LineReader::ReadLine() {
  std::string line;
  if (!TryReadLine(line)) RaiseEndAtLine(lines_ + 1);
  return line;
}

TextFile::TextFile(const std::string& path) : data_(ReadWholeFile(path)) {}

TextFile TextFile::FromText(std::string text, int64_t linesBefore) {
  TextFile f;
  f.data_ = std::move(text);
  f.lines_ = linesBefore;
  return f;
}

int64_t LinesBefore(std::string_view text, std::size_t pos) {
  int64_t n = 0;
  for (std::size_t i = 0; i < pos && i < text.size(); ++i)
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) ++n;
  return n;
}

bool TextFile::TryReadLine(std::string& line) {
  if (AtEnd()) return false;
  std::size_t end = pos_;
  while (end < data_.size() && data_[end] != '\r' && data_[end] != '\n') ++end;
  line.assign(data_, pos_, end - pos_);
  pos_ = end;
  if (pos_ < data_.size() && data_[pos_] == '\r') ++pos_;
  if (pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
  ++lines_;
  return true;
}

std::string TextFile::ReadLine() {
  std::string line;
  if (!TryReadLine(line)) RaiseEndAtLine(lines_ + 1);
  return line;
}

void ByteReader::Need(std::size_t n) const {
  if (n > data_.size() - pos_)
    throw RuntimeError(ErrInputPastEnd, ErrorDescription(ErrInputPastEnd),
                       "at byte " + std::to_string(pos_) + ": " + std::to_string(n) + " bytes needed, " +
                           std::to_string(data_.size() - pos_) + " left");
}

void ByteReader::Seek(std::size_t pos) {
  if (pos > data_.size())
    throw RuntimeError(ErrInputPastEnd, ErrorDescription(ErrInputPastEnd),
                       "at byte " + std::to_string(pos) + ": the file has " + std::to_string(data_.size()));
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

std::string SystemReason(int error) {
  return std::strerror(error);
}

void RaiseAccessError(int error) {
  throw RuntimeError(ErrPathFileAccess, ErrorDescription(ErrPathFileAccess) + ": " + SystemReason(error));
}

std::string FileProblem(const std::string& path) {
  if (path.empty()) return SystemReason(ENOENT);
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode) ? "is a folder" : "";
  const int error = errno;
  struct stat link;
  if (error == ENOENT && ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
    std::error_code ec;
    const std::string target = std::filesystem::read_symlink(path, ec).string();
    return "dangling symbolic link" + (ec ? std::string() : " to " + target);
  }
  return SystemReason(error);
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

namespace {

// The temporary files being written, for the signal handler, which can reach only static
// storage. A slot holds a path of its own (never freed while listed).
constexpr std::size_t kTempSlots = 512;
std::atomic<char*> tempFiles[kTempSlots];

void ListTemp(const std::string& path) {
  char* copy = ::strdup(path.c_str());
  for (auto& slot : tempFiles) {
    char* empty = nullptr;
    if (slot.compare_exchange_strong(empty, copy)) return;
  }
  std::free(copy);  // more writers than slots: this one is only removed by the program itself
}

void UnlistTemp(const std::string& path) {
  for (auto& slot : tempFiles) {
    char* p = slot.load();
    if (p != nullptr && path == p && slot.compare_exchange_strong(p, nullptr)) {
      std::free(p);
      return;
    }
  }
}

extern "C" void RemoveTempsAndEnd(int sig) {
  for (auto& slot : tempFiles)
    if (char* p = slot.load()) ::unlink(p);
  ::signal(sig, SIG_DFL);
  ::raise(sig);
}

long SystemWrite(int fd, const void* data, unsigned long size) {
  return ::write(fd, data, size);
}

// Leftovers of writes of the same target that were killed, older than a day.
void RemoveStaleTemps(const std::filesystem::path& folder, const std::string& name) {
  namespace fs = std::filesystem;
  const std::string prefix = name + kTempMark;
  std::error_code ec;
  const auto now = fs::file_time_type::clock::now();
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    if (entry.size() <= prefix.size() || entry.compare(0, prefix.size(), prefix) != 0) continue;
    std::error_code fileEc;
    if (!it->is_regular_file(fileEc)) continue;
    const auto modified = fs::last_write_time(it->path(), fileEc);
    if (!fileEc && now - modified > std::chrono::hours(24)) fs::remove(it->path(), fileEc);
  }
}

}  // namespace

void RemoveTemporaryFilesOnSignals() {
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
    struct sigaction action {};
    action.sa_handler = RemoveTempsAndEnd;
    sigemptyset(&action.sa_mask);
    ::sigaction(sig, &action, nullptr);
  }
}

WriteBuffer::WriteBuffer(int fd, WriteCall write)
    : fd_(fd), write_(write != nullptr ? write : SystemWrite), buf_(1 << 16) {
  setp(buf_.data(), buf_.data() + buf_.size());
}

bool WriteBuffer::Drain() {
  const char* p = pbase();
  while (error_ == 0 && p < pptr()) {
    const long n = write_(fd_, p, static_cast<unsigned long>(pptr() - p));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error_ = n < 0 ? errno : ENOSPC;
      break;
    }
    p += n;
  }
  setp(buf_.data(), buf_.data() + buf_.size());
  return error_ == 0;
}

WriteBuffer::int_type WriteBuffer::overflow(int_type c) {
  if (!Drain()) return traits_type::eof();
  if (!traits_type::eq_int_type(c, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
  }
  return traits_type::not_eof(c);
}

int WriteBuffer::sync() {
  return Drain() ? 0 : -1;
}

std::streamsize WriteBuffer::xsputn(const char* s, std::streamsize n) {
  std::streamsize done = 0;
  while (done < n) {
    if (pptr() == epptr() && !Drain()) return done;
    const std::streamsize room = std::min<std::streamsize>(epptr() - pptr(), n - done);
    std::memcpy(pptr(), s + done, static_cast<std::size_t>(room));
    pbump(static_cast<int>(room));
    done += room;
  }
  return done;
}

AtomicFileWriter::AtomicFileWriter(const std::string& path, WriteCall write) : path_(path), out_(nullptr) {
  std::filesystem::path target(path);
  std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  RemoveStaleTemps(folder, target.filename().string());
  std::string pattern = (folder / (target.filename().string() + kTempMark + "XXXXXX")).string();
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  fd_ = mkstemp(buf.data());
  if (fd_ < 0) {
    const int error = errno;
    if (error == ENOENT) Raise(ErrFileNotFound);
    RaiseAccessError(error);
  }
  temp_ = buf.data();
  ListTemp(temp_);
  buffer_ = std::make_unique<WriteBuffer>(fd_, write);
  out_.rdbuf(buffer_.get());
}

void AtomicFileWriter::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  ::unlink(temp_.c_str());
  UnlistTemp(temp_);
}

AtomicFileWriter::~AtomicFileWriter() {
  if (!committed_) Discard();
}

void AtomicFileWriter::Write(std::string_view text) {
  out_.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void AtomicFileWriter::Commit() {
  out_.flush();
  int error = buffer_->Error();
  if (error == 0 && !out_) error = EIO;
  // On disk before it replaces the old file, so a power cut leaves one or the other.
  if (error == 0 && ::fsync(fd_) != 0 && errno != EINVAL) error = errno;
  if (error == 0) {
    // Keep the permissions an existing file had; a new file gets the usual ones.
    struct stat st;
    if (::stat(path_.c_str(), &st) == 0) {
      ::fchmod(fd_, st.st_mode & 07777);
    } else {
      mode_t mask = ::umask(0);
      ::umask(mask);
      ::fchmod(fd_, 0666 & ~mask);
    }
  }
  const int closed = ::close(fd_);
  fd_ = -1;
  if (error == 0 && closed != 0) error = errno;
  if (error == 0 && std::rename(temp_.c_str(), path_.c_str()) != 0) error = errno;
  committed_ = true;
  if (error != 0) {
    ::unlink(temp_.c_str());
    UnlistTemp(temp_);
    RaiseAccessError(error);
  }
  UnlistTemp(temp_);
}

}  // namespace sism
