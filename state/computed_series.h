// Series computed from the current record and kept between redraws. Each is plain
// data that painters, the export writer and the peaks report read; 1-based accessors,
// channels contiguous.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sism {

// A matrix of `rows` values per column, column-major, with 1-based access.
class SeriesMatrix {
 public:
  void Resize(int32_t rows, int32_t cols) {
    rows_ = rows < 0 ? 0 : rows;
    cols_ = cols < 0 ? 0 : cols;
    data_.assign(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(cols_), 0.0f);
  }
  void Clear() { Resize(0, 0); }
  int32_t Rows() const { return rows_; }
  int32_t Cols() const { return cols_; }
  float& operator()(int32_t i, int32_t col) { return data_[Index(i, col)]; }
  float operator()(int32_t i, int32_t col) const { return data_[Index(i, col)]; }
  // First value of a column; the column's Rows() values follow.
  float* Column(int32_t col) { return data_.data() + Index(1, col); }
  const float* Column(int32_t col) const { return data_.data() + Index(1, col); }

 private:
  std::size_t Index(int32_t i, int32_t col) const;
  int32_t rows_ = 0, cols_ = 0;
  std::vector<float> data_;
};

// Velocity and displacement of every channel.
struct MotionData {
  SeriesMatrix V, D;            // (1..DataCount, ch)
  std::vector<float> PeakVel;   // signed, [ch - 1]
  std::vector<float> PeakDisp;  // signed, [ch - 1]
  int32_t ChanCount = 0;
  int32_t Count = 0;
  // The channels whose bi-linear or parabola baseline gave way to the linear one, and why;
  // empty when none did.
  std::string BaselineNote;
};

// Fourier analysis of the stretch S..S+L-1 of every channel.
struct FourierData {
  int32_t ChanCount = 0;
  int32_t NH = 0;
  int32_t Start = 0;      // S, 1-based step
  int32_t Length = 0;     // L
  float DF = 0;           // Hz
  float Tp = 0;           // padded length in seconds
  SeriesMatrix Re, Im;    // scaled by Tp (cm/s for gal), (1..NH, ch)
  SeriesMatrix A;         // amplitude, smoothed (1..NH, ch)
  SeriesMatrix Pw;        // power spectrum, smoothed, / Tp (1..NH, ch)
  SeriesMatrix Rc;        // auto-correlation coefficient (1..NH/2, ch)
  std::vector<float> R0;  // zero-lag value, [ch - 1]
  float Freq(int32_t k) const { return static_cast<float>(k - 1) * DF; }
};

// The five response quantities.
enum ResponseQuantity : int32_t { RespSA = 1, RespSV = 2, RespSD = 3, RespPSV = 4, RespVE = 5 };

struct ResponseData {
  int32_t ChanCount = 0;
  int32_t NP = 0;
  int32_t Start = 0;
  int32_t Length = 0;
  float Damping = 0;     // percent
  std::vector<float> T;  // periods, [k - 1]
  // R(q, ch, k): value of quantity q for channel ch at period k.
  float& R(int32_t q, int32_t ch, int32_t k) { return values_[Index(q, ch, k)]; }
  float R(int32_t q, int32_t ch, int32_t k) const { return values_[Index(q, ch, k)]; }
  // The NP values of one quantity and channel, contiguous.
  const float* Series(int32_t q, int32_t ch) const { return values_.data() + Index(q, ch, 1); }
  void Resize(int32_t chans, int32_t np);

 private:
  std::size_t Index(int32_t q, int32_t ch, int32_t k) const;
  std::vector<float> values_;
};

// Relations of one channel pair (X is the input of the spectral ratio).
struct RelationPair {
  int32_t X = 0, Y = 0;
  std::vector<float> Ratio;     // A(Y)/A(X), [k - 1], k = 1..NH
  std::vector<float> Phase;     // phase of X minus phase of Y, degrees
  std::vector<float> CrossAmp;  // cross-spectrum amplitude
  std::vector<float> Coherence;
  std::vector<float> CrossCorr;  // 2M values, zero lag at element M+1 (index M)
  std::vector<float> RespRatio;  // SA(Y)/SA(X), [k - 1], k = 1..NP
};

struct RelationData {
  std::vector<RelationPair> Pairs;
};

// Constant-ductility spectra of every channel over the response stretch.
struct DuctilityData {
  int32_t ChanCount = 0;
  std::vector<float> T;   // periods, [k - 1]
  std::vector<float> Mu;  // ductilities, [j]
  float Damping = 0;      // percent
  float Alpha = 0;
  // Per channel [ch - 1], element k + NP * j: R, yield strength per unit mass (cm/s/s), peak
  // inelastic and yield displacements (cm), in DuctilityQuantity order.
  std::vector<std::vector<float>> Values[4];
  // The NP values of one quantity, channel and ductility; null when not computed.
  const float* Series(int32_t quantity, int32_t ch, std::size_t j) const;
};

// Effective amplitude spectrum of the record's first horizontal pair over the Fourier stretch.
struct EasData {
  int32_t X = 0, Y = 0;  // the pair; 0 when the record has none
  std::vector<float> F;  // frequencies, Hz
  std::vector<float> A;  // smoothed quadratic mean of the two amplitudes, cm/s for cm/s/s
  float B = 0;           // Konno-Ohmachi coefficient used
};

struct ComputedSeries {
  MotionData motion;
  FourierData fourier;
  ResponseData response;
  RelationData relation;
  DuctilityData ductility;
  EasData eas;  // computed with the Fourier spectra

  // Whether each family is up to date for the current record.
  bool motionValid = false;
  bool fourierValid = false;
  bool responseValid = false;
  bool relationValid = false;
  bool ductilityValid = false;

  void Invalidate() { motionValid = fourierValid = responseValid = relationValid = ductilityValid = false; }
  // Releases every computed array.
  void Clear();
};

}  // namespace sism
