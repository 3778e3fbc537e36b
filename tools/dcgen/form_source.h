#pragma once
// Form-definition sources: one YAML document per form, laid out as pages of
// blocks (title, section bars, paragraphs, rows of cells). Compiling a source
// gives the field records of the .dcs file, the .dcd description and, per
// page, a list of drawing primitives from which the page pictures are made.
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include <yaml-cpp/yaml.h>

#include "forms/field_object.h"
#include "templates.h"

namespace dcgen {

constexpr double kPageWidth = 800;
constexpr double kPageHeight = 1131;

struct Rgb8 {
  unsigned char r = 0, g = 0, b = 0;
};

// One thing drawn on a page. `background` marks what only the coloured
// variant of the page shows (tints and the white field areas on them).
struct Prim {
  enum Kind { kFill, kFrame, kLine, kText } kind = kFill;
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // kText: (x0, y0) anchor and baseline
  Rgb8 color;
  double pen = 1;
  std::string text;
  double em = 8;
  bool bold = false;
  int align = 0;  // 0 left, 1 centre, 2 right (kText)
  bool background = false;
};

struct Page {
  std::vector<Prim> prims;
};

// Text widths for the layout (page pixels, family Arial / Liberation Sans).
struct Measurer {
  virtual ~Measurer() = default;
  virtual double Width(const std::string& utf8, double em, bool bold) = 0;
};

struct CompiledForm {
  int idPit = 0;
  std::string code;
  int variant = 0;
  std::vector<pit::FieldObject> fields;  // index = object index
  std::vector<Page> pages;
  pit::FormDescription description;
  std::map<std::string, int> ids;  // the fields' names (`id:`) -> object index
  std::string exempt;              // `exempt:` of the source
};

struct SourceError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A key of a source that gives what leaving it out gives (line and column
// of its value, from 1).
struct RepeatedKey {
  int line = 0, column = 0;
  std::string key;
  std::string file;  // the shared templates file when the key sits there
};

// Throws SourceError naming the form and the offending field or block.
// Templates are expanded first, with the shared ones when given. `repeated`,
// when given, receives the keys that only repeat the generator's defaults
// in this form (a key of a shared template, too: one that a form needs and
// another does not is a parameter).
CompiledForm CompileForm(const YAML::Node& source, Measurer& m,
                         std::vector<RepeatedKey>* repeated = nullptr,
                         const SharedTemplates* shared = nullptr);

// Problems of a compiled form against its contract; empty when it holds.
std::vector<std::string> CheckContract(const CompiledForm& form, const YAML::Node& contract);

}  // namespace dcgen
