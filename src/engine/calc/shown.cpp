#include "calc/shown.h"

#include <algorithm>

namespace pit {

FieldFlags& FlagsByField::operator[](int field) {
  if (list_.empty()) list_.reserve(64);  // room for the flags of a large form at once
  if (list_.empty() || list_.back().first < field) return list_.emplace_back(field, FieldFlags{}).second;
  auto at = std::lower_bound(list_.begin(), list_.end(), field,
                             [](const value_type& v, int f) { return v.first < f; });
  if (at == list_.end() || at->first != field) at = list_.insert(at, value_type{field, FieldFlags{}});
  return at->second;
}

bool ShownResult::Showing(const std::string& line) const {
  const auto& l = messages.lines;
  const std::size_t from = std::min(messages.hiddenBefore, l.size());
  return std::find(l.begin() + static_cast<std::ptrdiff_t>(from), l.end(), line) != l.end();
}

}  // namespace pit
