// Reading a fuzz input: the file's bytes from the front, the choices that steer the run
// from the back, so that a real file used as a seed keeps most of its contents.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sism::fuzz {

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::size_t Remaining() const { return size_; }
  // One byte from the front; 0 when nothing is left.
  uint8_t FrontByte() {
    if (size_ == 0) return 0;
    --size_;
    return *data_++;
  }
  // One byte from the back; 0 when nothing is left.
  uint8_t BackByte() {
    if (size_ == 0) return 0;
    return data_[--size_];
  }
  uint16_t BackU16() {
    uint16_t hi = BackByte();
    return static_cast<uint16_t>(hi << 8 | BackByte());
  }
  uint32_t BackU32() {
    uint32_t hi = BackU16();
    return hi << 16 | BackU16();
  }
  template <typename T, std::size_t N>
  const T& BackPick(const T (&table)[N]) {
    return table[BackByte() % N];
  }
  // Everything not yet taken.
  std::string Rest() {
    std::string s(reinterpret_cast<const char*>(data_), size_);
    data_ += size_;
    size_ = 0;
    return s;
  }

 private:
  const uint8_t* data_;
  std::size_t size_;
};

// The parts of `text` between occurrences of `separator`.
inline std::vector<std::string> SplitParts(const std::string& text, std::string_view separator) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (;;) {
    std::size_t at = text.find(separator, from);
    if (at == std::string::npos) break;
    parts.push_back(text.substr(from, at - from));
    from = at + separator.size();
  }
  parts.push_back(text.substr(from));
  return parts;
}

// Stops the run with a message when a property every input must keep is broken; the
// fuzzer reports it as a crash, the regression test as a failure.
struct BrokenProperty {
  std::string what;
};
[[noreturn]] inline void Broken(const std::string& what) { throw BrokenProperty{what}; }
inline void Require(bool ok, const char* what) {
  if (!ok) Broken(what);
}

}  // namespace sism::fuzz
