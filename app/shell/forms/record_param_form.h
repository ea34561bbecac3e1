// The rules of the record-parameter dialog (Tool > Parameter): a date that exists, a time
// of day, a latitude within ±90 and a longitude within ±180. Only texts the user changed
// are held to them: what the file wrote stays acceptable as it was.
#pragma once

#include <string>
#include <string_view>

#include "common/dialog_requests.h"

namespace sism {

// "yyyy/mm/dd" (month and day of one or two digits) of a day that exists.
bool IsRealDate(std::string_view text);
// "hh:nn:ss" or "hh:nn" of a day, seconds with an optional fraction.
bool IsTimeOfDay(std::string_view text);
// Degrees as a number, a hemisphere letter (N/S, E/W) before or after it allowed, within
// `limit` either way (a letter S or W with a negative number is refused).
bool IsCoordinate(std::string_view text, double limit, char positive, char negative);

class RecordParamForm {
 public:
  explicit RecordParamForm(const RecordTexts& initial) : initial_(initial) {}
  // The sentence that refuses the first changed text breaking its rule (empty texts are
  // unknown values and always accepted); empty when all are fine.
  std::string Refusal(const RecordTexts& edited) const;

 private:
  RecordTexts initial_;
};

}  // namespace sism
