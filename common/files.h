// File access for readers and writers: whole-file reads with line and byte cursors
// that raise the conventional errors, and atomic replacement of written files.
#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "common/errors.h"

namespace sism {

bool FileExists(const std::string& path);
// The question asked before an existing file is replaced, for every writer alike: the
// path, then the question on a line of its own.
std::string OverwriteQuestion(const std::string& path);
// Length in bytes, -1 when the file cannot be examined.
int64_t FileLength(const std::string& path);

// Files larger than this are never read at once: the readers that need a whole file
// refuse them before reading.
inline constexpr int64_t kWholeReadLimit = int64_t{256} << 20;

// Whole file contents; raises 53 when missing, 75 when it cannot be read, 7 when it is
// larger than `limit` bytes (the message says both sizes).
std::string ReadWholeFile(const std::string& path, int64_t limit = kWholeReadLimit);

// "2.0 GB", "64 MB", "900 bytes": a size as messages give it.
std::string ByteSizeText(int64_t bytes);

// Line input that reads the file as it goes, for files of any size. Lines end at CR LF,
// LF or CR. A line longer than `maxLine` bytes raises 7 with its number: no text of
// numbers has one.
class LineReader {
 public:
  explicit LineReader(const std::string& path, std::size_t maxLine = std::size_t{1} << 20);  // raises 53 / 75
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  bool TryReadLine(std::string& line);
  // Raises 62 at the line after the last one when no line is left.
  std::string ReadLine();
  // Lines read so far: the number of the last line returned.
  int64_t LineNumber() const { return lines_; }
  int64_t Size() const { return size_; }

 private:
  bool Fill();
  int fd_ = -1;
  std::size_t maxLine_;
  std::vector<char> buf_;
  std::size_t pos_ = 0, end_ = 0;
  bool skipLf_ = false;
  int64_t lines_ = 0;
  int64_t size_ = 0;
};

// Line input over a file read at once. Lines end at CR LF, LF or CR.
class TextFile {
 public:
  explicit TextFile(const std::string& path);  // raises 53 / 75
  // Lines of `text`, numbered on from `linesBefore` (the part of a file before it).
  static TextFile FromText(std::string text, int64_t linesBefore = 0);

  bool AtEnd() const { return pos_ >= data_.size(); }
  // Raises 62 (input past end of file) when no line is left.
  std::string ReadLine();
  // The number of the last line returned (0 before the first).
  int64_t LineNumber() const { return lines_; }
  // As ReadLine, but false at the end instead of raising.
  bool TryReadLine(std::string& line);
  const std::string& Contents() const { return data_; }
  std::size_t Position() const { return pos_; }

 private:
  TextFile() = default;
  std::string data_;
  std::size_t pos_ = 0;
  int64_t lines_ = 0;
};

// Lines that end before byte `pos` of `text` (CR LF, LF or CR each one).
int64_t LinesBefore(std::string_view text, std::size_t pos);

// Runs `body`, which reads from `in`: an error it raises without a place is placed at the
// line last read ("at line 12: ..."), once a line has been read.
template <typename Body>
decltype(auto) AtLineOf(const TextFile& in, Body&& body);

// Bounds-checked reads from a byte buffer; raises 62 past the end.
class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : data_(bytes) {}
  std::size_t Size() const { return data_.size(); }
  std::size_t Position() const { return pos_; }
  std::size_t Remaining() const { return data_.size() - pos_; }
  void Seek(std::size_t pos);  // raises 62 beyond the end
  void Skip(std::size_t n);

  uint8_t U8();
  uint16_t U16LE();
  uint16_t U16BE();
  uint32_t U32LE();
  uint32_t U32BE();
  int16_t I16LE() { return static_cast<int16_t>(U16LE()); }
  int16_t I16BE() { return static_cast<int16_t>(U16BE()); }
  int32_t I32LE() { return static_cast<int32_t>(U32LE()); }
  int32_t I32BE() { return static_cast<int32_t>(U32BE()); }
  // Signed 24-bit big-endian value, sign-extended.
  int32_t I24BE();
  float F32LE();
  float F32BE();
  std::string Text(std::size_t n);  // n raw bytes

 private:
  void Need(std::size_t n) const;
  std::string_view data_;
  std::size_t pos_ = 0;
};

template <typename Body>
decltype(auto) AtLineOf(const TextFile& in, Body&& body) {
  try {
    return body();
  } catch (RuntimeError& e) {
    if (in.LineNumber() > 0) e.SetPlace("line " + std::to_string(in.LineNumber()));
    throw;
  }
}

// The system's reason for the last failure of a call ("No space left on device").
std::string SystemReason(int error);

// Why a path names no file that can be read ("Too many levels of symbolic links",
// "dangling symbolic link to X", "No such file or directory", "is a folder"); empty
// when it names one.
std::string FileProblem(const std::string& path);

// Whether two paths name the same file, through links and hard links. False when either
// does not exist.
bool SameFile(const std::string& a, const std::string& b);

// Raises 75 "Path/File access error" with the system's reason added.
[[noreturn]] void RaiseAccessError(int error);

// The system call that writes a block; tests put one in that fails.
using WriteCall = long (*)(int fd, const void* data, unsigned long size);

// A stream buffer over a file descriptor that keeps the reason of the first failed write,
// which the standard streams lose.
class WriteBuffer : public std::streambuf {
 public:
  explicit WriteBuffer(int fd, WriteCall write = nullptr);
  // Writes out what is buffered; false after any failure.
  bool Drain();
  int Error() const { return error_; }  // errno of the first failure, 0 when none

 protected:
  int_type overflow(int_type c) override;
  int sync() override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;

 private:
  int fd_;
  WriteCall write_;
  std::vector<char> buf_;
  int error_ = 0;
};

// Writes to a temporary file beside the target ("name.ext.sismora-tmp-XXXXXX") and renames
// it over the target on Commit, so a failed write never destroys an existing file.
// Without Commit the temporary file is removed, also when the program is ended by a
// signal it can catch (RemoveTemporaryFilesOnSignals). Temporary files of the same target
// older than a day, left by a program that was killed, are removed when writing starts.
class AtomicFileWriter {
 public:
  explicit AtomicFileWriter(const std::string& path, WriteCall write = nullptr);  // raises 75
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  std::ostream& Stream() { return out_; }
  void Write(std::string_view text);
  // Raises 75 with the system's reason when anything failed; the target is then untouched.
  void Commit();
  const std::string& TempPath() const { return temp_; }

 private:
  void Discard();

  std::string path_;
  std::string temp_;
  int fd_ = -1;
  std::unique_ptr<WriteBuffer> buffer_;
  std::ostream out_;
  bool committed_ = false;
};

// The suffix of the temporary files, before the random part.
inline constexpr const char* kTempMark = ".sismora-tmp-";

// Temporary files of unfinished writes are removed when the program receives SIGINT,
// SIGTERM, SIGHUP or SIGPIPE, and the signal then ends it as it would have.
void RemoveTemporaryFilesOnSignals();

}  // namespace sism
