// File access for readers and writers: whole-file reads with line and byte cursors
// that raise the conventional errors, and atomic replacement of written files.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace sism {

bool FileExists(const std::string& path);
// The question asked before an existing file is replaced, for every writer alike: the
// path, then the question on a line of its own.
std::string OverwriteQuestion(const std::string& path);
// Length in bytes, -1 when the file cannot be examined.
int64_t FileLength(const std::string& path);

// Whole file contents; raises 53 when missing, 75 when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// Line input over a file read at once. Lines end at CR LF, LF or CR.
class TextFile {
 public:
  explicit TextFile(const std::string& path);  // raises 53 / 75
  static TextFile FromText(std::string text);

  bool AtEnd() const { return pos_ >= data_.size(); }
  // Raises 62 (input past end of file) when no line is left.
  std::string ReadLine();
  // As ReadLine, but false at the end instead of raising.
  bool TryReadLine(std::string& line);
  const std::string& Contents() const { return data_; }
  std::size_t Position() const { return pos_; }

 private:
  TextFile() = default;
  std::string data_;
  std::size_t pos_ = 0;
};

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

// Writes to a temporary file beside the target and renames it over the target on
// Commit, so a failed write never destroys an existing file. Without Commit the
// temporary file is removed.
class AtomicFileWriter {
 public:
  explicit AtomicFileWriter(const std::string& path);  // raises 75 when the folder is not writable
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  std::ostream& Stream() { return out_; }
  void Write(std::string_view text);
  // Raises 75 when anything failed; the target is then untouched.
  void Commit();
  const std::string& TempPath() const { return temp_; }

 private:
  std::string path_;
  std::string temp_;
  std::ofstream out_;
  bool committed_ = false;
};

}  // namespace sism
