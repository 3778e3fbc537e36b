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
// parameter and nothing else; a parameter given as ~ (nothing) leaves out
// every key whose value mentions it, so that one template serves forms
// whose fields have no XML element, no name or no `id:`. Outside templates
// nothing is replaced.
//
// Templates several forms share (the person and address blocks) sit in
// the folder's templates.yaml, under its one key `templates:`; a source
// uses them by name as if they were its own. A template of the source with
// a name the shared file has is refused, so that a reader of a use finds
// its template in one place.
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <yaml-cpp/yaml.h>

namespace dcgen {

using Params = std::map<std::string, YAML::Node>;

// What a template may stand for: the key of the list it fills.
enum class ListKind { kBlocks, kCells, kBoxes };
const char* ListKey(ListKind kind);

// The shared templates file of a folder of sources.
constexpr const char* kSharedTemplatesFile = "templates.yaml";

struct SharedTemplates {
  std::string file;      // its name, for messages
  YAML::Node templates;  // its `templates:`
};

// The form sources of a folder, sorted, without the shared templates file.
std::vector<std::filesystem::path> FormSources(const std::filesystem::path& dir);

// The folder's shared templates; nothing when it has no such file. Throws
// SourceError beginning with the file's name when it cannot be read or is
// not one `templates:` map of templates.
std::optional<SharedTemplates> LoadSharedTemplates(const std::filesystem::path& dir);
SharedTemplates SharedTemplatesOf(const YAML::Node& root, const std::string& file);

// Where a source's uses look their templates up: its own, then the shared.
struct TemplateSet {
  YAML::Node local;
  const SharedTemplates* shared = nullptr;
};

// A use resolved against the templates of its source.
struct Instance {
  std::string name;
  YAML::Node body;  // the template's list
  Params params;
  bool shared = false;  // the template is the shared file's
};

// The template a use names, with its parameters' values (placeholders of
// an enclosing template already replaced). Throws SourceError saying what
// is wrong with the use, without its place.
Instance Instantiate(const TemplateSet& templates, const YAML::Node& use, ListKind where,
                     const Params& outer);

// The source's templates that have a name the shared file has.
std::vector<std::string> ClashingTemplates(const TemplateSet& templates);

// Whether a value mentions a parameter given as ~, which leaves its key out.
bool LeftOut(const YAML::Node& value, const Params& params);

// A scalar with the parameters put in; the value itself when there are no
// parameters. Throws SourceError for an unknown parameter or a bad number.
YAML::Node Resolve(const YAML::Node& value, const Params& params);

// The source with every use replaced by its template's list, without
// `templates:`. Values outside templates are the source's own nodes, and
// values of templates those of the file that holds them. Throws
// SourceError for a source template named like a shared one.
YAML::Node ExpandTemplates(const YAML::Node& source, const SharedTemplates* shared = nullptr);

// Templates inside templates may go this deep; deeper means a template
// uses itself.
constexpr int kTemplateDepth = 8;

}  // namespace dcgen
