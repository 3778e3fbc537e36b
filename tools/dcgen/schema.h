#pragma once
// The keys a form source may use, where, and of what kind. A key the
// generator does not read would be ignored without a word, so a misspelt
// one ("captoin:") is an error, as are a value of the wrong kind and a
// missing required key; each names the file and line.
#include <set>
#include <string>
#include <vector>

#include <yaml-cpp/yaml.h>

#include "templates.h"

namespace dcgen {

// Problems of a form source; empty when it holds. `file` prefixes each (a
// problem inside a shared template names the shared file and the line of
// the use). `sharedUsed`, when given, receives the shared templates used.
std::vector<std::string> CheckSchema(const YAML::Node& source, const std::string& file,
                                     const SharedTemplates* shared = nullptr,
                                     std::set<std::string>* sharedUsed = nullptr);

// Problems of the shared templates file's own templates: their keys and
// parameters (their lists are checked where they are used).
std::vector<std::string> CheckSharedTemplates(const SharedTemplates& shared);

// The shared templates none of the sources used (`used`, gathered by
// CheckSchema), which nothing has checked with real values.
std::vector<std::string> UnusedSharedTemplates(const SharedTemplates& shared, const std::set<std::string>& used);

}  // namespace dcgen
