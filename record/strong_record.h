// The one in-memory form of a strong-motion record: header texts, per-channel header
// held as parallel arrays, and the sample matrix with each channel contiguous.
// Channel and step numbers are 1-based at every interface.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "record/format_table.h"

namespace sism {

// Value of StrongRecord::FileFormat: FormatAc, FormatKnet … from the table of formats.
#define SISM_FORMAT_CODE(Id, code, ...) Format##Id = code,
#define SISM_FORMAT_CODE_VALUE(Id, code, ...) code,
namespace format_codes {
inline constexpr int32_t kAll[] = {SISM_RECORD_FORMATS(SISM_FORMAT_CODE_VALUE)};
constexpr int32_t Largest() {
  int32_t largest = 0;
  for (int32_t c : kAll) largest = c > largest ? c : largest;
  return largest;
}
}  // namespace format_codes
enum RecordFormat : int32_t {
  FormatNone = 0,
  SISM_RECORD_FORMATS(SISM_FORMAT_CODE)
  FormatLast = format_codes::Largest(),
};
#undef SISM_FORMAT_CODE
#undef SISM_FORMAT_CODE_VALUE

// What the bytes of a record's header texts and labels are. Readers keep the bytes as
// the file has them, so a record written back is unchanged; the encoding tells how to
// show them.
enum class TextEncoding : int32_t {
  AsRead = 0,    // UTF-8 shown as it is, other bytes read as Latin-1
  ShiftJis = 1,  // Japanese formats: code page 932
};

inline constexpr double kUnknown = std::numeric_limits<double>::quiet_NaN();

// What the file's header says of one component: its code, its orientation (azimuth from
// north toward east, dip down from the horizontal, degrees; a vertical pointing up has dip
// -90) and the band-pass corners its provider applied (Hz). Numbers NaN where it says nothing.
struct ChannelSource {
  std::string Label;  // the channel's label as the reader set it
  std::string Code;   // SEED channel code (HNE) where the file gives one
  double Azimuth = kUnknown, Dip = kUnknown;
  double HighPassHz = kUnknown, LowPassHz = kUnknown;
  // The corners are those of this program's zero-phase Butterworth band-pass.
  bool ZeroPhaseButterworth = false;
};

// The earthquake and the station as the file's header states them: texts empty and numbers
// NaN where it says nothing. Texts are in the record's encoding, as the other header texts.
struct RecordSource {
  // Zone of RecDate and RecTime: "Z" for UTC, "+08:00" for an offset, empty when unknown.
  std::string TimeZone;
  // Seconds from RecTime, which holds whole seconds, to the first sample (under one).
  double StartFraction = 0;
  std::string EventId;
  // ISO 8601, with the zone where the file gives it.
  std::string OriginTime;
  double EventLat = kUnknown, EventLon = kUnknown, EventDepthKm = kUnknown;
  double Magnitude = kUnknown;
  std::string MagnitudeType;
  std::string Network, Location;  // the station's code is SiteCode
  double StationElevationM = kUnknown;
  std::vector<ChannelSource> Channels;

  // The component of that label; null when the header said nothing of it.
  const ChannelSource* Channel(const std::string& label) const {
    for (const ChannelSource& c : Channels)
      if (c.Label == label) return &c;
    return nullptr;
  }
};

// The most channels a record holds; readers of files that say nothing of their channels
// refuse more.
inline constexpr int32_t kMaxRecordChannels = 256;

class StrongRecord {
 public:
  int32_t FileFormat = FormatNone;
  int32_t SampFreq = 0;
  int32_t DataCount = 0;
  int32_t ChanCount = 0;
  int32_t JmaGroup = 0;
  int64_t FileSize = 0;
  float JmaIntensity = 0;
  float PeakAcc = 0;
  std::string RecDate, RecTime, SiteCode, SiteName, SiteLat, SiteLong;
  std::string FilePath;
  // What the reader filled in or left out that the user should know (gaps filled with
  // zeros, channels cut to a common span), shown in the status bar after loading.
  std::string ReadNote;
  // Set by the reader that filled the texts; see DisplayText (record/display_text.h).
  TextEncoding Encoding = TextEncoding::AsRead;
  // Event, station and component facts of the header, where the format carries them.
  RecordSource Source;

  // Steps the sample matrix holds per channel.
  int32_t DataCapacity() const { return rows_; }
  // Columns of the sample matrix.
  int32_t AccChannels() const { return cols_; }

  // Per-channel header, ch = 1..ChanCount. Out-of-range numbers raise error 9.
  std::string& Label(int32_t ch) { return labels_[Index(labels_.size(), ch)]; }
  const std::string& Label(int32_t ch) const { return labels_[Index(labels_.size(), ch)]; }
  float& Peak(int32_t ch) { return peak_[Index(peak_.size(), ch)]; }
  float Peak(int32_t ch) const { return peak_[Index(peak_.size(), ch)]; }
  float& Offset(int32_t ch) { return offset_[Index(offset_.size(), ch)]; }
  float Offset(int32_t ch) const { return offset_[Index(offset_.size(), ch)]; }
  float& Coef(int32_t ch) { return coef_[Index(coef_.size(), ch)]; }
  float Coef(int32_t ch) const { return coef_[Index(coef_.size(), ch)]; }
  int32_t& PeakStep(int32_t ch) { return peakStep_[Index(peakStep_.size(), ch)]; }
  int32_t PeakStep(int32_t ch) const { return peakStep_[Index(peakStep_.size(), ch)]; }

  // Sample of step i (1..DataCapacity) of channel ch.
  float& Acc(int32_t i, int32_t ch) { return acc_[AccIndex(i, ch)]; }
  float Acc(int32_t i, int32_t ch) const { return acc_[AccIndex(i, ch)]; }
  // First sample of channel ch; the channel's DataCapacity samples follow contiguously.
  float* Channel(int32_t ch) { return acc_.data() + AccIndex(1, ch); }
  const float* Channel(int32_t ch) const { return acc_.data() + AccIndex(1, ch); }

  // Whole arrays, 0-based, for code that walks all channels.
  const std::vector<std::string>& Labels() const { return labels_; }
  const std::vector<float>& Peaks() const { return peak_; }

  // Re-dimension the five per-channel arrays to n channels, discarding contents
  // (labels empty, numbers 0).
  void RedimHeader(int32_t n);
  // A reader's start for a file already in cm/s/s: ChanCount = n, the per-channel arrays
  // re-dimensioned, every Offset 0 and every Coef 1.
  void StartChannels(int32_t n);
  void RedimLabel(int32_t n);
  void RedimPeak(int32_t n);
  void RedimOffset(int32_t n);
  void RedimCoef(int32_t n);
  void RedimPeakStep(int32_t n);
  // Re-dimension the sample matrix to steps x channels, all zero. Raises 7 for sizes
  // no machine holds and 9 for negative ones.
  void RedimAcc(int32_t steps, int32_t channels);
  // Grow or shrink the channel dimension of every array to n, keeping contents.
  void PreserveChannels(int32_t n);
  // Lowers the step dimension of the sample matrix to `steps`, keeping each channel's
  // first samples, in place: no second copy of the samples is made.
  void ShrinkSteps(int32_t steps);
  // Releases Label, Peak, PeakStep and Acc (Offset and Coef stay).
  void ReleaseForClear();

 private:
  static std::size_t Index(std::size_t size, int32_t ch);
  std::size_t AccIndex(int32_t i, int32_t ch) const;

  std::vector<std::string> labels_;
  std::vector<float> peak_, offset_, coef_;
  std::vector<int32_t> peakStep_;
  std::vector<float> acc_;  // column-major: channel ch occupies [(ch-1)*rows_, ch*rows_)
  int32_t rows_ = 0;
  int32_t cols_ = 0;
};

// Peak (signed sample of largest magnitude, earliest on ties) and PeakStep of every
// channel over steps 1..DataCount; 0 and 0 for an all-zero channel.
void ComputePeaks(StrongRecord& rec);

// Subtracts from every channel the mean of its first SampFreq*seconds steps (the whole
// record when that is below 1 or beyond DataCount), adds it to Offset, recomputes peaks.
void RemoveMeanOffset(StrongRecord& rec, int32_t seconds);

// No record: counts 0; Label, Peak, PeakStep and Acc released; Offset and Coef kept.
void ClearRecord(StrongRecord& rec);

// Date "yyyy/mm/dd" and time "hh:nn:ss" advanced by `seconds` (past midnight the date
// advances too). Texts that do not read as a date and a time are left as they are.
void NormalizeDateTime(std::string& date, std::string& time, int64_t seconds);
// The record's start in whole seconds of the civil calendar's count (any fixed origin),
// false when its date or time does not read as one.
bool StartSeconds(const StrongRecord& rec, int64_t& seconds);

}  // namespace sism
