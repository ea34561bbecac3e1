#include "state/computed_series.h"

#include "common/errors.h"

namespace sism {

std::size_t SeriesMatrix::Index(int32_t i, int32_t col) const {
  if (i < 1 || i > rows_ || col < 1 || col > cols_) Raise(ErrSubscriptOutOfRange);
  return static_cast<std::size_t>(col - 1) * static_cast<std::size_t>(rows_) +
         static_cast<std::size_t>(i - 1);
}

void ResponseData::Resize(int32_t chans, int32_t np) {
  ChanCount = chans;
  NP = np;
  T.assign(static_cast<std::size_t>(np), 0.0f);
  values_.assign(static_cast<std::size_t>(chans) * 5 * static_cast<std::size_t>(np), 0.0f);
}

std::size_t ResponseData::Index(int32_t q, int32_t ch, int32_t k) const {
  if (q < 1 || q > 5 || ch < 1 || ch > ChanCount || k < 1 || k > NP) Raise(ErrSubscriptOutOfRange);
  return (static_cast<std::size_t>(ch - 1) * 5 + static_cast<std::size_t>(q - 1)) *
             static_cast<std::size_t>(NP) +
         static_cast<std::size_t>(k - 1);
}

const float* DuctilityData::Series(int32_t quantity, int32_t ch, std::size_t j) const {
  if (quantity < 0 || quantity > 3 || ch < 1 || j >= Mu.size()) return nullptr;
  const std::vector<std::vector<float>>& v = Values[quantity];
  if (static_cast<std::size_t>(ch) > v.size()) return nullptr;
  const std::vector<float>& c = v[static_cast<std::size_t>(ch - 1)];
  if (c.size() < T.size() * (j + 1) || T.empty()) return nullptr;
  return c.data() + T.size() * j;
}

void ComputedSeries::Clear() {
  motion = MotionData();
  fourier = FourierData();
  response = ResponseData();
  relation = RelationData();
  ductility = DuctilityData();
  eas = EasData();
  Invalidate();
}

}  // namespace sism
