#pragma once
// The rows of a PIT/B whose fields become required once anything is typed
// into them: the page frames them red, and the check of required fields
// asks for the empty ones.
#include <functional>
#include <string>
#include <vector>

namespace pit {

// For every object index of a PIT/B, whether its row makes it required;
// `text` gives a field's value. Indexes no row holds are never required.
std::vector<bool> PitBRowsRequired(const std::function<const std::string&(int)>& text);

// The object indexes some row holds: those whose required frame the rows
// set or clear.
const std::vector<int>& PitBRowFields();

}  // namespace pit
