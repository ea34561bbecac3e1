// The JMA keyword text.
#include "record/jma_text.h"

namespace sism {

using namespace jma;

ReadOutcome ReadJmaAc(const std::string& path, StrongRecord& rec, ReadQuestions&) {
  return TrapReadErrors(path, "ReadJmaAc", [&] {
    std::vector<std::string> lines = SplitLines(ReadWholeFile(path));
    int64_t count = static_cast<int64_t>(lines.size()) - 7;
    rec.SampFreq = 0;
    rec.SiteCode.clear();  // filled from the file, or from its name below
    for (std::size_t n = 0; n < 6 && n < lines.size(); ++n) {
      std::string line = Trim(lines[n]);
      std::string key = Left(line, 4);
      std::string::size_type eq = line.find('=');
      std::string value = eq == std::string::npos ? std::string() : Trim(line.substr(eq + 1));
      if (key == "SITE") {
        std::size_t len = 0;
        while (len < value.size() &&
               std::string_view("0123456789ABCDEF").find(value[len]) != std::string_view::npos)
          ++len;
        std::string code = value.substr(0, len);
        rec.SiteCode = code.size() > 3 ? code : "JMA" + code;
        rec.SiteName = "JMA" + code;
      } else if (key == "LAT.") {
        rec.SiteLat = Left(value, 8);
      } else if (key == "LON.") {
        rec.SiteLong = Left(value, 8);
      } else if (key == "SAMP") {
        rec.SampFreq = ToLong(ReplaceAll(value, "Hz", ""));
      } else if (key == "INIT") {
        rec.RecDate = Mid(value, 1, 4) + "/" + Mid(value, 6, 2) + "/" + Mid(value, 9, 2);
        rec.RecTime = Mid(value, 12, 2) + ":" + Mid(value, 15, 2) + ":" + Mid(value, 18, 2);
      }
    }
    // Not this format after all: the general reader gets its turn.
    if (rec.SampFreq <= 0 || count <= 0) return false;
    if (count > std::numeric_limits<int32_t>::max()) Raise(ErrOverflow);

    rec.DataCount = static_cast<int32_t>(count);
    SizeThreeChannels(rec);
    rec.RedimAcc(rec.DataCount, 3);
    if (rec.SiteCode.empty()) rec.SiteCode = UCase(SplitPath(path).name);
    bool commas = lines[6].find(',') != std::string::npos;
    auto fields = [&](std::size_t n) {
      return Words(commas ? ReplaceAll(lines[n], ",", " ") : lines[n]);
    };
    std::vector<std::string> labels = fields(6);
    for (std::size_t ch = 0; ch < labels.size() && ch < 3; ++ch)
      rec.Label(static_cast<int32_t>(ch + 1)) = labels[ch];
    for (int32_t i = 1; i <= rec.DataCount; ++i) {
      std::vector<std::string> values = fields(static_cast<std::size_t>(i) + 6);
      for (std::size_t ch = 0; ch < values.size() && ch < 3; ++ch)
        rec.Acc(i, static_cast<int32_t>(ch + 1)) = ToSingle(values[ch]);
    }
    rec.Encoding = TextEncoding::ShiftJis;
    ComputePeaks(rec);
    return true;
  });
}

}  // namespace sism
