#include "common/shift_jis.h"

#include <iconv.h>

#include <cerrno>

namespace sism {

namespace {

// Code page 932 rather than strict Shift_JIS: the files come from Windows programs, so
// 0x5C is the backslash (not the yen sign) and the NEC and IBM extensions (circled
// numbers, rarer kanji of place names) have their characters.
constexpr const char* kCodePage = "CP932";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// One conversion descriptor for one call, closed on every path.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (Ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much of in[pos..] as it can, appending to out; returns 0 when all was
  // converted, else errno of the stop (EILSEQ or EINVAL) with pos at the offending byte.
  int Run(std::string_view in, std::size_t& pos, std::string& out) {
    char buffer[512];
    while (pos < in.size()) {
      char* src = const_cast<char*>(in.data() + pos);
      std::size_t srcLeft = in.size() - pos;
      char* dst = buffer;
      std::size_t dstLeft = sizeof buffer;
      const std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      const int error = r == static_cast<std::size_t>(-1) ? errno : 0;
      out.append(buffer, static_cast<std::size_t>(dst - buffer));
      pos = in.size() - srcLeft;
      if (error == 0 || error == E2BIG) continue;
      return error;
    }
    return 0;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::string ShiftJisToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  Converter c("UTF-8", kCodePage);
  if (!c.Ok()) {
    // Without the converter the letters and digits still read; the rest is marked.
    for (char b : bytes) {
      if (static_cast<unsigned char>(b) < 0x80)
        out += b;
      else
        out += kReplacement;
    }
    return out;
  }
  std::size_t pos = 0;
  while (c.Run(bytes, pos, out) != 0) {
    out += kReplacement;
    ++pos;
  }
  return out;
}

bool Utf8ToShiftJis(std::string_view text, std::string& out) {
  out.clear();
  Converter c(kCodePage, "UTF-8");
  std::size_t pos = 0;
  if (c.Ok() && c.Run(text, pos, out) == 0) return true;
  out.clear();
  return false;
}

}  // namespace sism
