// Helpers the steps of the processing chain share; not for use outside them.
#pragma once

#include <string>

#include "analysis/processing.h"
#include "common/text.h"

namespace sism::processing_detail {

inline float Dt(const StrongRecord& rec) {
  return rec.SampFreq > 0 ? 1.0f / static_cast<float>(rec.SampFreq) : 0.0f;
}

inline std::string Num(float v) {
  return NumberText(v);
}

inline ProcessingFlag Flag(const std::string& name, int32_t ch, const std::string& detail, bool stops) {
  return ProcessingFlag{name, ch, detail, stops};
}

}  // namespace sism::processing_detail
