// Small rules shared by the JMA readers: numbers inside header texts, the signed
// hexadecimal of difference-coded samples, and the names of consecutive minute files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sism {

// The number that starts at the first digit of the text (digits, optionally a point and
// more digits); 0 when the text has no digit.
double JmaLeadingNumber(std::string_view text);

// Digits "0"-"9", "A"-"F", most significant first; a first digit of 8 or more makes the
// value negative (two's complement of 4 bits per digit). Any other character, or no
// digit at all, raises type mismatch (13).
int64_t SignedHex(std::string_view digits);

// Name of the JMA95 ascii file of the next minute: the character before the extension
// counts 0-9, A-Z (or a-z); past its range it is dropped. Empty when no name is left.
std::string NextJma95aMinute(const std::string& path);

// Name of the next one-minute difference-coded file: the HHMM digits before the
// extension advance by one minute (hours go on past 23). Empty when the name does not
// end in four digits.
std::string NextJma95bMinute(const std::string& path);

}  // namespace sism
