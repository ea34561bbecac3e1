// Fixed-column text as the US formats write it: Fortran FORMAT layouts, reading a run
// of values from consecutive lines, and the checks that keep lying headers harmless.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/files.h"

namespace sism {

// Values per line and columns per value of a Fortran edit descriptor such as "(8F10.6)",
// "(1E15.6)", "(10I8)" or "(F9.3)". Letters in either case.
struct FieldLayout {
  int32_t perLine = 0;
  int32_t width = 0;
};

// The layout of the first "(" … ")" group of `text`; raises type mismatch (13) when there
// is no "(", no F, E, G, D or I descriptor, or a count or width that is not a positive
// number. With `realOnly`, an I descriptor is refused too.
FieldLayout ParseFortranFormat(std::string_view text, bool realOnly = false);

// Field `index` (0-based) of `layout` in `line`; empty past the line's end.
std::string FixedField(std::string_view line, FieldLayout layout, int32_t index);

// Reads `count` values laid out as `layout` from the next lines of `in`, each converted
// to single and multiplied by `factor` (the product rounded to single once). The first
// `keep` values go to out[0..keep); the rest are read and dropped. Raises 62 when the
// file ends, or a line beginning with `endTag` (when not empty) appears, before `count`
// values are in, and 13 for a field that is not a number. The cursor is left after the
// line holding the last value.
void ReadFixedValues(TextFile& in, FieldLayout layout, int32_t count, double factor, float* out, int32_t keep,
                     std::string_view endTag);

// Raises 62 unless `count` values could still be in the file after the cursor (each
// needs at least one byte), so a header that lies cannot make the reader allocate or
// loop beyond the file's size.
void CheckCountFits(const TextFile& in, int64_t count);

// Skips lines up to and including the next line beginning with `endTag`, or to the end.
void SkipPastEndLine(TextFile& in, std::string_view endTag);

// Number of lines of `text` beginning with `tag`.
int32_t CountLinesBeginning(const std::string& text, std::string_view tag);

// Whole sampling rate round(1 / interval), halves to even; raises 11 for an interval that
// is not positive and 5 for a rate below 1 Hz.
int32_t RateFromInterval(double seconds);

// Whole part of a header number read with Val; 0 when it is no sensible count or clock
// value (not finite, or beyond a billion), so a garbled field cannot overflow.
int32_t WholePart(double v);

}  // namespace sism
