#include "calc/shown.h"

#include <algorithm>

namespace pit {

bool ShownResult::Showing(const std::string& line) const {
  const auto& l = messages.lines;
  const std::size_t from = std::min(messages.hiddenBefore, l.size());
  return std::find(l.begin() + static_cast<std::ptrdiff_t>(from), l.end(), line) != l.end();
}

}  // namespace pit
