#include <chrono>

#include "common/text.h"
#include "record/reader.h"
#include "record/seismic_stages.h"
#include "record/text_header.h"

namespace sism {

namespace {

// Derivative by central differences (one-sided at the ends), times `factor`.
void Differentiate(const double* v, int64_t n, int32_t rate, double factor, float* out) {
  if (n == 1) {
    out[0] = 0;
    return;
  }
  for (int64_t i = 0; i < n; ++i) {
    const int64_t a = i == 0 ? 0 : i - 1, b = i == n - 1 ? n - 1 : i + 1;
    out[i] = static_cast<float>((v[b] - v[a]) * rate / static_cast<double>(b - a) * factor);
  }
}

}  // namespace

std::string UtcText(int64_t us) {
  using namespace std::chrono;
  const int64_t dayUs = 86'400'000'000LL;
  int64_t days = us / dayUs, rest = us % dayUs;
  if (rest < 0) rest += dayUs, --days;
  const year_month_day ymd{sys_days{std::chrono::days{days}}};
  const int64_t ms = (rest + 500) / 1000;
  return FormatNumber(static_cast<int32_t>(ymd.year()), "0000") + "/" +
         FormatNumber(static_cast<int32_t>(static_cast<unsigned>(ymd.month())), "00") + "/" +
         FormatNumber(static_cast<int32_t>(static_cast<unsigned>(ymd.day())), "00") + " " +
         FormatNumber(static_cast<int32_t>(ms / 3'600'000), "00") + ":" +
         FormatNumber(static_cast<int32_t>(ms / 60'000 % 60), "00") + ":" +
         FormatNumber(static_cast<int32_t>(ms / 1000 % 60), "00") + "." +
         FormatNumber(static_cast<int32_t>(ms % 1000), "000");
}

void FillRecord(const std::vector<const SeisChannel*>& chans, const AlignedTraces& aligned,
                const std::vector<Conversion>& conv, const std::vector<std::string>& notes, StrongRecord& rec,
                ReadQuestions& ask) {
  const int32_t rate = aligned.rate;
  const int64_t count = aligned.count, start = aligned.startUs;
  const auto k = static_cast<int32_t>(chans.size());
  rec.StartChannels(k);
  rec.SampFreq = rate;
  rec.DataCount = static_cast<int32_t>(count);
  rec.RedimAcc(rec.DataCount, k);
  for (int32_t ch = 1; ch <= k; ++ch) {
    const auto i = static_cast<std::size_t>(ch - 1);
    const double* v = aligned.traces[i].values.data() + aligned.skip[i];
    float* x = rec.Channel(ch);
    if (conv[i].quantity == Quantity::Velocity) {
      Differentiate(v, count, rate, conv[i].factor, x);
    } else {
      for (int64_t j = 0; j < count; ++j) x[j] = static_cast<float>(v[j] * conv[i].factor);
    }
    rec.Coef(ch) = static_cast<float>(conv[i].factor);
    rec.Label(ch) = chans[i]->cha;
    ChannelSource source;
    source.Label = source.Code = chans[i]->cha;
    rec.Source.Channels.push_back(source);
    ask.Yield();
  }
  ComputePeaks(rec);

  const SeisChannel& first = *chans.front();
  rec.SiteCode = first.net.empty() ? first.sta : first.net + "." + first.sta;
  if (rec.SiteName.empty()) rec.SiteName = first.net + "." + first.sta + "." + first.loc;
  if (rec.SiteLat.empty() && !first.lat.empty()) {
    rec.SiteLat = first.lat;
    rec.SiteLong = first.lon;
  }
  rec.Source.Network = first.net;
  rec.Source.Location = first.loc;
  if (aligned.absoluteTime) {
    rec.Source.TimeZone = "Z";
    const int64_t dayUs = 86'400'000'000LL;
    int64_t days = start / dayUs, rest = start % dayUs;
    if (rest < 0) rest += dayUs, --days;
    using namespace std::chrono;
    const year_month_day ymd{sys_days{std::chrono::days{days}}};
    const int64_t minutes = rest / 60'000'000;
    SetFirstSampleTime(
        rec, static_cast<int32_t>(ymd.year()), static_cast<int32_t>(static_cast<unsigned>(ymd.month())),
        static_cast<int32_t>(static_cast<unsigned>(ymd.day())), static_cast<int32_t>(minutes / 60),
        static_cast<int32_t>(minutes % 60), static_cast<double>(rest % 60'000'000) / 1e6);
    const double seconds = static_cast<double>(rest % 60'000'000) / 1e6;
    rec.Source.StartFraction = seconds - RoundHalfEven(seconds);
  }
  std::string note;
  for (const std::string& n : notes) note += (note.empty() ? "" : "; ") + n;
  rec.ReadNote = note;
}

}  // namespace sism
