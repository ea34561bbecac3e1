// Series computed from the current record and kept between redraws.
#pragma once

namespace sism {

struct ComputedSeries {
  // Whether each family is up to date for the current record.
  bool motionValid = false;    // velocity and displacement
  bool fourierValid = false;   // Fourier-type spectra
  bool responseValid = false;  // response spectra
  bool relationValid = false;  // two-channel relations

  void Invalidate() { motionValid = fourierValid = responseValid = relationValid = false; }
  // Releases every computed array.
  void Clear() { Invalidate(); }
};

}  // namespace sism
