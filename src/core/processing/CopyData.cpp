#include "core/processing/CopyData.h"

#include "core/text/Encoding.h"

namespace brevanto {

std::string CopyDataText(std::string_view payload) {
  return AnsiToUtf8(payload.substr(0, payload.find('\0')));
}

}  // namespace brevanto
