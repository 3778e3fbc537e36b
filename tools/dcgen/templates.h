#pragma once
// Templates of a form source: a list of blocks, of cells or of tick boxes
// written once under `templates:` and used wherever such a list may stand:
//
//   templates:
//     person:
//       params: [n, f]
//       cells:
//         - {f: <f>, t: text, poz: <n>, label: "Nazwisko"}
//         - {f: <f+1>, t: text, poz: <n+1>, label: "Imię"}
//   ...
//       - cells:
//           - {use: person, n: 9, f: 10}
//
// Inside a template "<name>" stands for a parameter, "<name+2>" and
// "<name-1>" for a whole-number parameter plus or minus a number, and
// "<name.3>" for the element 3 (counted from 0) of a list parameter. A value
// that is exactly "<name>" takes the parameter as it is, so a list can be
// handed on to a template used inside the template. A use gives every
// parameter and nothing else. Outside templates nothing is replaced.
#include <map>
#include <string>

#include <yaml-cpp/yaml.h>

namespace dcgen {

using Params = std::map<std::string, YAML::Node>;

// What a template may stand for: the key of the list it fills.
enum class ListKind { kBlocks, kCells, kBoxes };
const char* ListKey(ListKind kind);

// A use resolved against the templates of its source.
struct Instance {
  std::string name;
  YAML::Node body;  // the template's list
  Params params;
};

// The template a use names, with its parameters' values (placeholders of
// an enclosing template already replaced). Throws SourceError saying what
// is wrong with the use, without its place.
Instance Instantiate(const YAML::Node& templates, const YAML::Node& use, ListKind where,
                     const Params& outer);

// A scalar with the parameters put in; the value itself when there are no
// parameters. Throws SourceError for an unknown parameter or a bad number.
YAML::Node Resolve(const YAML::Node& value, const Params& params);

// The source with every use replaced by its template's list, without
// `templates:`. Values outside templates are the source's own nodes.
YAML::Node ExpandTemplates(const YAML::Node& source);

// Templates inside templates may go this deep; deeper means a template
// uses itself.
constexpr int kTemplateDepth = 8;

}  // namespace dcgen
