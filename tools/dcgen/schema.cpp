#include "schema.h"

#include <map>

namespace dcgen {
namespace {

enum class Kind { Int, Number, Bool, Text, Sequence, Map, Rect };

using Keys = std::map<std::string, Kind>;

// Every key the compiler reads, by the role of the map it sits in. Blocks
// and cells take the keys of all their kinds: a key of another kind is
// harmless there, a key of no kind is a mistake.
const Keys kRoot = {{"form", Kind::Int},       {"code", Kind::Text}, {"variant", Kind::Int},
                    {"background", Kind::Text}, {"bar", Kind::Text},  {"subbar", Kind::Text},
                    {"pages", Kind::Sequence}};
const Keys kPage = {{"blocks", Kind::Sequence}};
const Keys kBlock = {{"section", Kind::Text}, {"subsection", Kind::Text}, {"title", Kind::Text},
                     {"note", Kind::Text},    {"sub", Kind::Text},        {"text", Kind::Text},
                     {"size", Kind::Number},  {"bold", Kind::Bool},       {"gap", Kind::Number},
                     {"cells", Kind::Sequence}, {"indent", Kind::Number}, {"h", Kind::Number}};
// What a field record takes, in a cell or in a tick box.
const Keys kField = {{"f", Kind::Int},        {"t", Kind::Text},      {"poz", Kind::Int},
                     {"label", Kind::Text},   {"hint", Kind::Text},   {"name", Kind::Text},
                     {"xml", Kind::Text},     {"code", Kind::Text},   {"opt", Kind::Int},
                     {"align", Kind::Text},   {"max", Kind::Int},     {"def", Kind::Text},
                     {"value", Kind::Text},   {"font", Kind::Text},   {"border", Kind::Text},
                     {"fill", Kind::Text},    {"color", Kind::Text},  {"hidden", Kind::Bool},
                     {"ro", Kind::Bool},      {"must", Kind::Bool},   {"multi", Kind::Bool},
                     {"plus", Kind::Bool},    {"tab", Kind::Int},     {"fh", Kind::Number},
                     {"rect", Kind::Rect}};
Keys With(Keys base, const Keys& more) {
  base.insert(more.begin(), more.end());
  return base;
}
const Keys kCell = With(kField, {{"w", Kind::Number},
                                 {"size", Kind::Number},
                                 {"bold", Kind::Bool},
                                 {"white", Kind::Bool},
                                 {"top", Kind::Bool},
                                 {"stack", Kind::Bool},
                                 {"boxes", Kind::Sequence},
                                 {"strike", Kind::Map}});
const Keys kBox = With(kField, {{"text", Kind::Text}, {"caption", Kind::Text}});
const Keys kStrike = {{"NIP", Kind::Int}, {"PESEL", Kind::Int}};

const char* KindName(Kind k) {
  switch (k) {
    case Kind::Int: return "liczbą całkowitą";
    case Kind::Number: return "liczbą";
    case Kind::Bool: return "wartością true/false";
    case Kind::Text: return "tekstem";
    case Kind::Sequence: return "listą";
    case Kind::Map: return "słownikiem klucz: wartość";
    case Kind::Rect: return "listą czterech liczb całkowitych";
  }
  return "?";
}

template <typename T>
bool Decodes(const YAML::Node& n) {
  T v;
  return n.IsScalar() && YAML::convert<T>::decode(n, v);
}

bool IsOfKind(const YAML::Node& n, Kind k) {
  switch (k) {
    case Kind::Int: return Decodes<int>(n);
    case Kind::Number: return Decodes<double>(n);
    case Kind::Bool: return Decodes<bool>(n);
    case Kind::Text: return n.IsScalar();
    case Kind::Sequence: return n.IsSequence();
    case Kind::Map: return n.IsMap();
    case Kind::Rect:
      if (!n.IsSequence() || n.size() != 4) return false;
      for (const auto& v : n)
        if (!Decodes<int>(v)) return false;
      return true;
  }
  return false;
}

class Checker {
 public:
  explicit Checker(std::string file) : file_(std::move(file)) {}

  void Form(const YAML::Node& root) {
    if (!MapOf(root, "formularz", kRoot, {"form", "code", "pages"})) return;
    for (const auto& page : root["pages"]) {
      if (!MapOf(page, "strona", kPage, {"blocks"})) continue;
      for (const auto& block : page["blocks"]) Block(block);
    }
  }

  std::vector<std::string> problems;

 private:
  void Block(const YAML::Node& b) {
    if (!MapOf(b, "blok", kBlock, {})) return;
    if (!b["section"] && !b["subsection"] && !b["title"] && !b["text"] && !b["gap"] && !b["cells"]) {
      Problem(b, "blok bez rodzaju (section, subsection, title, text, gap albo cells)");
      return;
    }
    if (!b["cells"] || !b["cells"].IsSequence()) return;
    for (const auto& c : b["cells"]) Cell(c);
  }

  void Cell(const YAML::Node& c) {
    if (!MapOf(c, "komórka", kCell, {})) return;
    if (c["strike"] && c["strike"].IsMap()) MapOf(c["strike"], "przekreślenie", kStrike, {});
    if (!c["boxes"] || !c["boxes"].IsSequence()) return;
    for (const auto& box : c["boxes"]) MapOf(box, "kwadrat", kBox, {"f", "code"});
  }

  // Checks one map against its keys; false when it is not a map at all.
  bool MapOf(const YAML::Node& n, const char* what, const Keys& keys, std::initializer_list<const char*> required) {
    if (!n.IsMap()) {
      Problem(n, std::string(what) + " musi być słownikiem klucz: wartość");
      return false;
    }
    for (const auto& kv : n) {
      const std::string key = kv.first.Scalar();
      const auto it = keys.find(key);
      if (it == keys.end()) {
        Problem(kv.first, std::string("nieznany klucz '") + key + "' (" + what + ")");
      } else if (!IsOfKind(kv.second, it->second)) {
        Problem(kv.second, "klucz '" + key + "' musi być " + KindName(it->second));
      }
    }
    for (const char* key : required) {
      if (!n[key]) Problem(n, std::string("brak wymaganego klucza '") + key + "' (" + what + ")");
    }
    return true;
  }

  void Problem(const YAML::Node& at, const std::string& what) {
    const YAML::Mark m = at.Mark();
    problems.push_back(file_ + ":" + (m.line >= 0 ? std::to_string(m.line + 1) : std::string("?")) + ": " + what);
  }

  std::string file_;
};

}  // namespace

std::vector<std::string> CheckSchema(const YAML::Node& source, const std::string& file) {
  Checker c(file);
  c.Form(source);
  return std::move(c.problems);
}

}  // namespace dcgen
