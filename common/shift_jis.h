// Shift-JIS (code page 932, as Japanese networks write their header texts) to and from
// UTF-8, the text the program shows and prints. Converted by the C library's iconv.
#pragma once

#include <string>
#include <string_view>

namespace sism {

// UTF-8 of the bytes. A byte that starts no valid character (a lone lead byte, a lead
// byte before a byte it cannot pair with, a code without a character) becomes U+FFFD and
// the conversion goes on with the next byte, so nothing after it is lost.
std::string ShiftJisToUtf8(std::string_view bytes);

// Shift-JIS bytes of a UTF-8 text; false (and `out` empty) when the text is not valid
// UTF-8 or holds a character code page 932 does not have.
bool Utf8ToShiftJis(std::string_view text, std::string& out);

}  // namespace sism
