// The binary readers' parsing cores, reached without the file system and the dispatcher.
#include <exception>
#include <string>

#include "record/readers.h"
#include "tests/fuzz/entries.h"

namespace sism::fuzz {

namespace {

// As the readers' error trap: whatever the core raises is a message to the user.
template <typename Body>
void Trapped(Body&& body) {
  try {
    body();
  } catch (const std::exception&) {
  }
}

std::string Bytes(const uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

}  // namespace

void AltusInput(const uint8_t* data, std::size_t size) {
  StrongRecord rec;
  Trapped([&] { ParseAltusEvent(Bytes(data, size), rec); });
}

void MdInput(const uint8_t* data, std::size_t size) {
  StrongRecord rec;
  Trapped([&] { ParseMdRecorder(Bytes(data, size), rec); });
}

void TrhInput(const uint8_t* data, std::size_t size) {
  StrongRecord rec;
  Trapped([&] { ParseTrh(Bytes(data, size), rec); });
}

// Two minutes: the first gives the date and time, the second only samples. One record
// for the whole run: sizing two minutes of samples anew for every input would take most
// of the time, and the decoder writes every sample it keeps.
void Jma95bInput(const uint8_t* data, std::size_t size) {
  static StrongRecord rec = [] {
    StrongRecord r;
    r.ChanCount = 3;
    r.RedimHeader(3);
    r.RedimAcc(2 * 6000, 3);
    return r;
  }();
  rec.RecDate.clear();
  rec.RecTime.clear();
  const std::string text = Bytes(data, size);
  Trapped([&] { DecodeJma95bMinute(text, 0, rec); });
  Trapped([&] { DecodeJma95bMinute(text, 1, rec); });
}

}  // namespace sism::fuzz
