#pragma once
// The keys a form source may use, where, and of what kind. A key the
// generator does not read would be ignored without a word, so a misspelt
// one ("captoin:") is an error, as are a value of the wrong kind and a
// missing required key; each names the file and line.
#include <string>
#include <vector>

#include <yaml-cpp/yaml.h>

namespace dcgen {

// Problems of a form source; empty when it holds. `file` prefixes each.
std::vector<std::string> CheckSchema(const YAML::Node& source, const std::string& file);

}  // namespace dcgen
