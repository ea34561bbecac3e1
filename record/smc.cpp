// Not written yet: behaves as "no reader".
#include "record/readers.h"

namespace sism {

bool ReadSmc(const std::string&, StrongRecord&, UserInterface&) { return false; }

}  // namespace sism
