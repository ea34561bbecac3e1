// Texts of files in unknown encodings made valid UTF-8 for output: UTF-8 stays, anything
// else is read as Latin-1, the encoding of the Western networks that write no UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace sism {

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or codes
// beyond U+10FFFF).
bool IsUtf8(std::string_view bytes);
// Each byte as the Latin-1 character of its value.
std::string Latin1ToUtf8(std::string_view bytes);
// The bytes when they are UTF-8, else their Latin-1 reading.
std::string AsUtf8(std::string_view bytes);
// The bytes with every byte that starts no well-formed character made U+FFFD, for names
// whose encoding nobody states (file names).
std::string ReplaceInvalidUtf8(std::string_view bytes);

}  // namespace sism
