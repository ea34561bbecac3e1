// Finding the other files of a multi-file record. Downloads keep the case their
// network gave them (".EW", ".NS2" …) while the naming rules are written in lower
// case, so siblings are looked up without regard to case.
#pragma once

#include <string>

namespace sism {

// `path` itself when it names an existing file, else the one file of its folder whose
// name equals its name without regard to case (the first in name order when several
// do). Empty when there is none.
std::string FindFileNoCase(const std::string& path);

// The existing file `base + ext`, where `ext` is written in lower case: tried first in
// the case of `openedExt` (the extension of the file the user opened, so "AOM.EW" finds
// "AOM.NS"), then as written, then without regard to case. Empty when there is none.
std::string FindSibling(const std::string& base, const std::string& ext, const std::string& openedExt);

}  // namespace sism
