// Short names of the record formats, for listings that name what each file was.
#pragma once

#include <cstdint>
#include <string>

namespace sism {

// "K-NET/KiK-net", "COSMOS" …; "format N" for a code without a name.
std::string RecordFormatName(int32_t format);

}  // namespace sism
