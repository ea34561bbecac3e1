// The numbered texts of the user interface, looked up by number so that the
// interface can be translated in one place.
#pragma once

#include <string>

namespace sism {

// The text with the given number; empty when the table has none.
const std::string& Str(int id);
bool HasStr(int id);

// The program title used in captions and message-box titles.
const std::string& ProgramTitle();

}  // namespace sism
