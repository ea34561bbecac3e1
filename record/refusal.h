// Files refused before any reader looks at them, each with the message the user is shown.
#pragma once

#include <string>

namespace sism {

// Why `path` is no record file: a folder or another thing that is not a plain file, a file
// that cannot be opened or is empty, or a volume of the US formats that holds no
// accelerogram (response spectra, raw instrument counts), naming the volume to open
// instead. Empty when a reader may try, and for a path where nothing is (the caller says
// the file does not exist).
std::string RefusalText(const std::string& path);

}  // namespace sism
