// The program's own fixed-column text format (.ac, read and written) and its
// nine-channel, double-rate variant (.acs, read only).
#include <cmath>
#include <string>

#include "common/errors.h"
#include "common/files.h"
#include "common/strings.h"
#include "common/text.h"
#include "record/ac.h"
#include "record/reader.h"
#include "record/readers.h"

namespace sism {

namespace {

// A fixed-column field, 1-based, cut at the end of the line.
std::string Field(const std::string& line, std::size_t start, std::size_t width) {
  return Mid(line, start, width);
}

int32_t SampleLines(int32_t count, int32_t perLine) {
  return count <= 0 ? 0 : (count - 1) / perLine + 1;
}

// Written values: ten columns each, three decimals.
constexpr std::size_t kValueWidth = 10;

std::string AcValue(float v) {
  return FormatNumber(v, "0.000");
}

std::string ChannelName(const StrongRecord& rec, int32_t ch) {
  std::string name = "channel " + std::to_string(ch);
  std::string label = Trim(rec.Label(ch));
  return label.empty() ? name : name + " (" + label + ")";
}

std::string TooWide(const std::string& what) {
  return what + " is wider than its " + std::to_string(kValueWidth) + " columns";
}

// The first value of the channel that would not fit its column; empty when all do.
std::string ChannelProblem(const StrongRecord& rec, int32_t ch) {
  const float* x = rec.DataCount > 0 ? rec.Channel(ch) : nullptr;
  for (int32_t i = 0; i < rec.DataCount; ++i) {
    // Anything smaller fits even with its sign; only the rest is worth formatting.
    if (std::fabs(x[i]) < 99999.0f) continue;
    std::string text = AcValue(x[i]);
    if (text.size() > kValueWidth)
      return TooWide("the sample " + text + " at step " + std::to_string(i + 1) + " of " +
                     ChannelName(rec, ch));
  }
  std::string peak = AcValue(rec.Peak(ch));
  if (peak.size() > kValueWidth) return TooWide("the peak " + peak + " of " + ChannelName(rec, ch));
  std::string step = std::to_string(rec.PeakStep(ch));
  if (step.size() > kValueWidth) return TooWide("the peak step " + step + " of " + ChannelName(rec, ch));
  return {};
}

}  // namespace

ReadOutcome ReadAc(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  return TrapReadErrorsTitled(path, "ReadAc - " + ProgramTitle(), [&] {
    TextFile file(path);
    std::string head = file.ReadLine();
    rec.RecDate = Trim(Field(head, 1, 10));
    rec.RecTime = Trim(Field(head, 12, 8));
    int32_t chans = ToLong(Field(head, 20, 4));
    int32_t freq = ToLong(Field(head, 24, 4));
    int32_t count = ToLong(Field(head, 28, 6));
    std::string station = Mid(head, 35);
    std::size_t colon = station.find(':');
    if (colon != std::string::npos) {
      rec.SiteName = Trim(station.substr(colon + 1));
      rec.SiteCode = Trim(station.substr(0, colon));
    } else {
      rec.SiteCode = station;
    }
    if (chans < 0 || count < 0) Raise(ErrSubscriptOutOfRange);
    // Every sample takes at least ten bytes; a header promising more is not this file.
    int64_t available = static_cast<int64_t>(file.Contents().size());
    if (static_cast<int64_t>(chans) * count > available / 10 + 1) Raise(ErrInputPastEnd);
    rec.ChanCount = chans;
    rec.SampFreq = freq;
    rec.DataCount = count;
    rec.RedimHeader(chans);
    rec.RedimAcc(count, chans);
    const int32_t lines = SampleLines(count, 8);
    for (int32_t ch = 1; ch <= chans; ++ch) {
      ask.Yield();
      std::string h = file.ReadLine();
      rec.Label(ch) = Trim(Field(h, 1, 10));
      rec.Peak(ch) = ToSingle(Field(h, 11, 10));
      rec.PeakStep(ch) = h.size() >= 30 ? ToLong(Field(h, 21, 10)) : 0;
      rec.Offset(ch) = h.size() >= 40 ? ToSingle(Field(h, 31, 10)) : 0;
      rec.Coef(ch) = h.size() >= 50 ? ToSingle(Field(h, 41, 10)) : 0;
      float* x = rec.Channel(ch);
      int32_t got = 0;
      for (int32_t l = 0; l < lines; ++l) {
        std::string line = file.ReadLine();
        for (int32_t k = 0; k < 8 && got < count; ++k) x[got++] = ToSingle(Field(line, 1 + 10 * k, 10));
      }
    }
    return true;
  });
}

ReadOutcome ReadAcs(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  return TrapTextReadErrors(path, "ReadAcs", [&](TextFile& file) {
    constexpr int32_t kChannels = 9;
    rec.StartChannels(kChannels);
    std::vector<float> stored;
    int32_t n = 0;
    for (int32_t ch = 1; ch <= kChannels; ++ch) {
      ask.Yield();
      std::string h = file.ReadLine();
      if (ch == 1) {
        rec.SiteCode = Field(h, 1, 4);
        rec.RecDate = "19" + Field(h, 17, 8);
        rec.RecTime = Field(h, 26, 8);
        int32_t f = ToLong(Field(h, 41, 8));
        n = ToLong(Field(h, 49, 8));
        if (n < 0) Raise(ErrSubscriptOutOfRange);
        if (static_cast<int64_t>(n) * kChannels > static_cast<int64_t>(file.Contents().size()) / 8 + 1)
          Raise(ErrInputPastEnd);
        rec.DataCount = n / 2;
        rec.SampFreq = f / 2;
        stored.assign(static_cast<std::size_t>(n), 0.0f);
        rec.RedimAcc(rec.DataCount, kChannels);
      }
      rec.Label(ch) = Field(h, 5, 4);
      rec.Peak(ch) = ToSingle(Field(h, 57, 8));
      int32_t got = 0;
      for (int32_t l = 0, lines = SampleLines(n, 10); l < lines; ++l) {
        std::string line = file.ReadLine();
        for (int32_t k = 0; k < 10 && got < n; ++k) stored[got++] = ToSingle(Field(line, 1 + 8 * k, 8));
      }
      float* x = rec.Channel(ch);
      for (int32_t i = 0; i < rec.DataCount; ++i) x[i] = stored[2 * static_cast<std::size_t>(i)];
    }
    ComputePeaks(rec);
    return true;
  });
}

// A record without a date gets the placeholder the readers use for an unknown one: the
// file is known as .ac by the number its first four characters form.
std::string AcDateText(const StrongRecord& rec) {
  return Trim(rec.RecDate).empty() ? "0000/00/00" : rec.RecDate;
}

std::string AcHeaderLine(const StrongRecord& rec, int32_t chans) {
  std::string station = rec.SiteCode;
  if (!rec.SiteName.empty()) station += ": " + rec.SiteName;
  return PadRight(AcDateText(rec), 10) + " " + PadRight(rec.RecTime, 8) +
         AlignRight(std::to_string(chans), 4) + AlignRight(std::to_string(rec.SampFreq), 4) +
         AlignRight(std::to_string(rec.DataCount), 6) + " " + station;
}

std::string AcWriteProblem(const StrongRecord& rec, int32_t first, int32_t chans) {
  // Values wider than their columns would shift the others and the file would not read back.
  const std::string date = AcDateText(rec);
  if (date.size() > 10) return "the date \"" + date + "\" is longer than 10 characters";
  if (!IsNumeric(PadRight(date, 10).substr(0, 4)))
    return "the date \"" + date + "\" does not begin with a year, so the file would not be known as .ac";
  if (rec.RecTime.size() > 8) return "the time \"" + rec.RecTime + "\" is longer than 8 characters";
  if (std::to_string(chans).size() > 4) return "more than 9999 channels";
  if (std::to_string(rec.SampFreq).size() > 4) return "a sampling frequency above 9999 Hz";
  if (std::to_string(rec.DataCount).size() > 6) return "more than 999999 steps per channel";
  // A wider value would be cut to its last ten characters, losing its sign and digits.
  for (int32_t ch = first; ch < first + chans; ++ch) {
    std::string problem = ChannelProblem(rec, ch);
    if (!problem.empty()) return problem;
  }
  return {};
}

std::string AcWriteTitle() {
  return "WriteAc - " + ProgramTitle();
}

std::string WriteAcFile(const std::string& path, const StrongRecord& rec, int32_t group) {
  int32_t first = 1, chans = rec.ChanCount;
  if (group > 0 && rec.ChanCount >= 3 * group) {
    first = 3 * group - 2;
    chans = 3;
  }
  std::string problem = AcWriteProblem(rec, first, chans);
  if (!problem.empty()) {
    return "Cannot write " + path + " as an .ac file: " + problem + ".";
  }
  try {
    AtomicFileWriter out(path);
    out.Write(AcHeaderLine(rec, chans) + "\r\n");
    std::string line;
    for (int32_t ch = first; ch < first + chans; ++ch) {
      out.Write(PadRight(Left(rec.Label(ch), 10), 10) + AlignRight(AcValue(rec.Peak(ch)), kValueWidth) +
                AlignRight(std::to_string(rec.PeakStep(ch)), 10) + AlignRight("0.000", 10) +
                AlignRight("0.00e+0", 10) + "\r\n");
      const float* x = rec.DataCount > 0 ? rec.Channel(ch) : nullptr;
      for (int32_t i = 0; i < rec.DataCount; i += 8) {
        line.clear();
        for (int32_t k = i; k < i + 8 && k < rec.DataCount; ++k)
          line += AlignRight(AcValue(x[k]), kValueWidth);
        line += "\r\n";
        out.Write(line);
      }
    }
    out.Commit();
    return {};
  } catch (const std::exception& e) {
    ErrorInfo info = CurrentErrorInfo(e);
    return "Failed to write " + path + " (Err#" + std::to_string(info.number) + ": " + info.description + ")";
  }
}

}  // namespace sism
