// Not written yet: behaves as "no reader".
#include "record/readers.h"

namespace sism {

bool ReadTRH(const std::string&, StrongRecord&, UserInterface&) { return false; }
bool ReadJMA95a(const std::string&, StrongRecord&, UserInterface&) { return false; }
bool ReadJMA95b(const std::string&, StrongRecord&, UserInterface&) { return false; }
bool ReadJmaAc(const std::string&, StrongRecord&, UserInterface&) { return false; }

}  // namespace sism
