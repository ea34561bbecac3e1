// The file types (MIME) of the record formats, as the desktop's shared-mime-info data:
// the package installs what this makes (packaging/mime.xml is its copy in the sources).
#pragma once

#include <string>

namespace sism {

// The whole mime-info document: every file type a row of the table of formats names.
std::string MimeInfoXml();

}  // namespace sism
