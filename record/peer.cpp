// Not written yet: behaves as "no reader".
#include "record/readers.h"

namespace sism {

bool ReadPeer(const std::string&, StrongRecord&, UserInterface&) { return false; }

}  // namespace sism
