#include "record/strong_record.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/errors.h"
#include "common/text.h"

namespace sism {

std::size_t StrongRecord::Index(std::size_t size, int32_t ch) {
  if (ch < 1 || static_cast<std::size_t>(ch) > size) Raise(ErrSubscriptOutOfRange);
  return static_cast<std::size_t>(ch - 1);
}

std::size_t StrongRecord::AccIndex(int32_t i, int32_t ch) const {
  if (i < 1 || i > rows_ || ch < 1 || ch > cols_) Raise(ErrSubscriptOutOfRange);
  return static_cast<std::size_t>(ch - 1) * static_cast<std::size_t>(rows_) + static_cast<std::size_t>(i - 1);
}

namespace {
std::size_t CheckedCount(int32_t n) {
  if (n < 0) Raise(ErrSubscriptOutOfRange);
  return static_cast<std::size_t>(n);
}
}  // namespace

void StrongRecord::RedimLabel(int32_t n) {
  labels_.assign(CheckedCount(n), std::string());
}
void StrongRecord::RedimPeak(int32_t n) {
  peak_.assign(CheckedCount(n), 0.0f);
}
void StrongRecord::RedimOffset(int32_t n) {
  offset_.assign(CheckedCount(n), 0.0f);
}
void StrongRecord::RedimCoef(int32_t n) {
  coef_.assign(CheckedCount(n), 0.0f);
}
void StrongRecord::RedimPeakStep(int32_t n) {
  peakStep_.assign(CheckedCount(n), 0);
}

void StrongRecord::RedimHeader(int32_t n) {
  RedimLabel(n);
  RedimPeak(n);
  RedimOffset(n);
  RedimCoef(n);
  RedimPeakStep(n);
}

void StrongRecord::StartChannels(int32_t n) {
  RedimHeader(n);
  ChanCount = n;
  coef_.assign(coef_.size(), 1.0f);
}

void StrongRecord::RedimAcc(int32_t steps, int32_t channels) {
  std::size_t r = CheckedCount(steps), c = CheckedCount(channels);
  // A header that claims more than a few gigabytes of samples is not a record.
  if (c != 0 && r > (std::size_t{1} << 31) / c) Raise(ErrOutOfMemory);
  acc_.clear();
  acc_.shrink_to_fit();
  acc_.assign(r * c, 0.0f);
  rows_ = steps;
  cols_ = channels;
}

void StrongRecord::PreserveChannels(int32_t n) {
  std::size_t c = CheckedCount(n);
  labels_.resize(c);
  peak_.resize(c, 0.0f);
  offset_.resize(c, 0.0f);
  coef_.resize(c, 0.0f);
  peakStep_.resize(c, 0);
  acc_.resize(c * static_cast<std::size_t>(rows_), 0.0f);
  cols_ = n;
}

void StrongRecord::ShrinkSteps(int32_t steps) {
  if (steps < 0 || steps > rows_) Raise(ErrSubscriptOutOfRange);
  const std::size_t from = static_cast<std::size_t>(rows_), to = static_cast<std::size_t>(steps);
  // Channel ch moves down to ch * to; each move goes to lower addresses, so a forward copy is safe.
  for (std::size_t ch = 1; ch < static_cast<std::size_t>(cols_); ++ch)
    std::copy(acc_.begin() + static_cast<std::ptrdiff_t>(ch * from),
              acc_.begin() + static_cast<std::ptrdiff_t>(ch * from + to),
              acc_.begin() + static_cast<std::ptrdiff_t>(ch * to));
  acc_.resize(to * static_cast<std::size_t>(cols_));
  rows_ = steps;
}

void StrongRecord::ReleaseForClear() {
  labels_.clear();
  peak_.clear();
  peakStep_.clear();
  acc_.clear();
  acc_.shrink_to_fit();
  rows_ = 0;
  cols_ = 0;
}

void ComputePeaks(StrongRecord& rec) {
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) {
    float best = 0;
    int32_t bestStep = 0;
    const float* x = rec.DataCount > 0 ? rec.Channel(ch) : nullptr;
    for (int32_t i = 0; i < rec.DataCount && i < rec.DataCapacity(); ++i) {
      if (std::fabs(x[i]) > std::fabs(best)) {
        best = x[i];
        bestStep = i + 1;
      }
    }
    rec.Peak(ch) = best;
    rec.PeakStep(ch) = bestStep;
  }
}

void RemoveMeanOffset(StrongRecord& rec, int32_t seconds) {
  if (rec.ChanCount >= 1 && rec.DataCount >= 1) {
    int64_t n = static_cast<int64_t>(rec.SampFreq) * seconds;
    if (n < 1 || n > rec.DataCount) n = rec.DataCount;
    for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) {
      float* x = rec.Channel(ch);
      double sum = 0;
      for (int64_t i = 0; i < n; ++i) sum += x[i];
      double m = sum / static_cast<double>(n);
      if (!std::isfinite(m) || std::fabs(m) > 3.4028234663852886e38) Raise(ErrOverflow);
      float mean = static_cast<float>(m);
      for (int32_t i = 0; i < rec.DataCount; ++i) x[i] -= mean;
      rec.Offset(ch) += mean;
    }
  }
  ComputePeaks(rec);
}

void ClearRecord(StrongRecord& rec) {
  rec.DataCount = 0;
  rec.ChanCount = 0;
  rec.ReadNote.clear();
  rec.ReleaseForClear();
}

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y += m <= 2;
}

bool AllDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

bool ParseDate(const std::string& text, int64_t& y, unsigned& m, unsigned& d) {
  std::string t = TrimSpace(text);
  char sep = t.find('/') != std::string::npos ? '/' : '-';
  auto parts = Split(t, std::string(1, sep));
  if (parts.size() != 3) return false;
  for (auto& p : parts)
    if (!AllDigits(p) || p.size() > 4) return false;
  y = std::stoi(parts[0]);
  m = static_cast<unsigned>(std::stoi(parts[1]));
  d = static_cast<unsigned>(std::stoi(parts[2]));
  if (parts[0].size() <= 2) y += y < 30 ? 2000 : 1900;
  if (m < 1 || m > 12 || d < 1) return false;
  static const unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  unsigned dim = days[m - 1] + (m == 2 && leap ? 1 : 0);
  return d <= dim;
}

bool ParseTime(const std::string& text, int64_t& secs) {
  auto parts = Split(TrimSpace(text), ":");
  if (parts.size() < 2 || parts.size() > 3) return false;
  int v[3] = {0, 0, 0};
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (!AllDigits(parts[i]) || parts[i].size() > 2) return false;
    v[i] = std::stoi(parts[i]);
  }
  if (v[0] > 23 || v[1] > 59 || v[2] > 59) return false;
  secs = v[0] * 3600 + v[1] * 60 + v[2];
  return true;
}

}  // namespace

bool StartSeconds(const StrongRecord& rec, int64_t& seconds) {
  int64_t y;
  unsigned m, d;
  int64_t s;
  if (!ParseDate(rec.RecDate, y, m, d) || !ParseTime(rec.RecTime, s)) return false;
  seconds = DaysFromCivil(y, m, d) * 86400 + s;
  return true;
}

void NormalizeDateTime(std::string& date, std::string& time, int64_t seconds) {
  int64_t y;
  unsigned m, d;
  int64_t s;
  if (!ParseDate(date, y, m, d) || !ParseTime(time, s)) return;
  int64_t total = DaysFromCivil(y, m, d) * 86400 + s + seconds;
  int64_t days = total >= 0 ? total / 86400 : -((-total + 86399) / 86400);
  int64_t rest = total - days * 86400;
  CivilFromDays(days, y, m, d);
  if (y < 0 || y > 9999) return;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04lld/%02u/%02u", static_cast<long long>(y), m, d);
  date = buf;
  std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", static_cast<long long>(rest / 3600),
                static_cast<long long>(rest / 60 % 60), static_cast<long long>(rest % 60));
  time = buf;
}

}  // namespace sism
