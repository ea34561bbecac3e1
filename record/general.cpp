// Not written yet: behaves as "no reader".
#include "record/readers.h"

namespace sism {

bool ReadOther(const std::string&, StrongRecord&, UserInterface&) { return false; }
bool ReadCsv(const std::string&, StrongRecord&, UserInterface&) { return false; }

}  // namespace sism
