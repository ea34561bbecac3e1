#include "record/format_names.h"

#include "record/formats.h"

namespace sism {

std::string RecordFormatName(int32_t format) {
  const RecordFormatRow* row = FindRecordFormat(format);
  return row != nullptr ? row->name : "format " + std::to_string(format);
}

}  // namespace sism
