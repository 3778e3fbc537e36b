#include "schema.h"

#include <cctype>
#include <map>
#include <set>

#include "form_source.h"
#include "templates.h"

namespace dcgen {
namespace {

enum class Kind { Int, Number, Bool, Text, Sequence, Map, Rect };

using Keys = std::map<std::string, Kind>;

// Every key the compiler reads, by the role of the map it sits in. Blocks
// and cells take the keys of all their kinds: a key of another kind is
// harmless there, a key of no kind is a mistake.
const Keys kRoot = {{"form", Kind::Int},       {"code", Kind::Text}, {"variant", Kind::Int},
                    {"background", Kind::Text}, {"bar", Kind::Text},  {"subbar", Kind::Text},
                    {"pages", Kind::Sequence}, {"templates", Kind::Map},
                    // The name of the form's header of named fields, and
                    // the name of its number in the code (kPit37).
                    {"namespace", Kind::Text}, {"constant", Kind::Text},
                    // The form's row of the catalogue: return, attachment or
                    // form; one copy or many; its description; and the
                    // identification positions the check of required fields
                    // passes over ("P_1,P_3,").
                    {"kind", Kind::Text}, {"copies", Kind::Text},
                    {"description", Kind::Text}, {"exempt", Kind::Text}};
const Keys kTemplate = {{"params", Kind::Sequence},
                        {"blocks", Kind::Sequence},
                        {"cells", Kind::Sequence},
                        {"boxes", Kind::Sequence}};
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
                     {"rect", Kind::Rect},
                     // A field that lies exactly over an earlier field of its
                     // page (an amount typed in place of a computed one): it
                     // takes no room of its row.
                     {"over", Kind::Int},
                     // The name by which the code addresses the field.
                     {"id", Kind::Text},
                     // What the designer sets and the layout never does: the ID
                     // a field kept from before a deletion, its group, the
                     // designer's lock and a tick box ticked by default.
                     {"objid", Kind::Int},       {"group", Kind::Int},   {"block", Kind::Bool},
                     {"tick", Kind::Bool},
                     // A pick list's entries: [text, value] pairs, at most ten.
                     {"items", Kind::Sequence}};
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
  Checker(std::string file, const SharedTemplates* shared) : file_(std::move(file)) {
    templates_.shared = shared;
  }

  void Form(const YAML::Node& root) {
    if (!MapOf(root, "formularz", kRoot, {"form", "code", "pages"})) return;
    if (root["templates"]) templates_.local.reset(root["templates"]);
    Templates(templates_.local);
    if (templates_.shared && templates_.local.IsMap())
      for (const auto& kv : templates_.local)
        if (templates_.shared->templates[kv.first.Scalar()])
          Problem(kv.first, "wzór '" + kv.first.Scalar() + "' jest już w " + templates_.shared->file +
                                " – wzór źródła musi mieć inną nazwę");
    for (const auto& page : root["pages"]) {
      if (!MapOf(page, "strona", kPage, {"blocks"})) continue;
      List(page["blocks"], ListKind::kBlocks);
    }
    // A template nobody uses is never checked with real values.
    const YAML::Node& local = templates_.local;
    if (local && local.IsMap())
      for (const auto& kv : local)
        if (!used_.count(kv.first.Scalar()))
          Problem(kv.first, "wzór '" + kv.first.Scalar() + "' nie jest nigdzie użyty");
  }

  // The shared file's own templates: their keys and parameters.
  void Shared() { Templates(templates_.shared->templates); }

  std::vector<std::string> problems;
  std::set<std::string> sharedUsed;  // shared templates the source used

 private:
  void Templates(const YAML::Node& templates) {
    if (!templates || !templates.IsMap()) return;
    for (const auto& kv : templates) {
      const YAML::Node& t = kv.second;
      if (!MapOf(t, "wzór", kTemplate, {})) continue;
      int bodies = 0;
      for (ListKind kind : {ListKind::kBlocks, ListKind::kCells, ListKind::kBoxes}) bodies += t[ListKey(kind)] ? 1 : 0;
      if (bodies != 1) Problem(t, "wzór '" + kv.first.Scalar() + "' musi mieć dokładnie jedną listę: blocks, cells albo boxes");
      if (!t["params"] || !t["params"].IsSequence()) continue;
      std::set<std::string> seen;
      for (const auto& p : t["params"]) {
        const std::string name = p.IsScalar() ? p.Scalar() : "";
        bool word = !name.empty() && !std::isdigit(static_cast<unsigned char>(name[0]));
        for (char c : name) word = word && (std::isalnum(static_cast<unsigned char>(c)) || c == '_');
        if (!word || name == "use")
          Problem(p, "nazwa parametru musi być słowem z liter, cyfr i '_' (nie 'use')");
        else if (!seen.insert(name).second)
          Problem(p, "parametr '" + name + "' podany dwa razy");
      }
    }
  }

  // A list of blocks, cells or boxes; its items may be uses of templates.
  void List(const YAML::Node& list, ListKind kind) {
    if (!list || !list.IsSequence()) return;
    for (const auto& item : list) {
      if (item.IsMap() && item["use"]) {
        Use(item, kind);
      } else if (kind == ListKind::kBlocks) {
        Block(item);
      } else if (kind == ListKind::kCells) {
        Cell(item);
      } else {
        MapOf(item, "kwadrat", kBox, {"f", "code"});
      }
    }
  }

  // The template's list is checked with the use's values, so that a wrong
  // value is found where it is used; its problems name both places.
  void Use(const YAML::Node& use, ListKind kind) {
    if (depth_ >= kTemplateDepth) {
      Problem(use, "wzory użyte zbyt głęboko (wzór używa sam siebie?)");
      return;
    }
    // Named, it counts as used even when the use is wrong.
    if (use["use"].IsScalar()) used_.insert(use["use"].Scalar());
    Instance inst;
    try {
      inst = Instantiate(templates_, use, kind, params_);
    } catch (const SourceError& e) {
      Problem(use, e.what());
      return;
    }
    used_.insert(inst.name);
    if (inst.shared) sharedUsed.insert(inst.name);
    // A shared template's lines are the shared file's: the use says where
    // in the source (or the shared file) it was used.
    std::string file = inst.shared ? templates_.shared->file : file_;
    std::string where = " (we wzorze '" + inst.name + "' użytym w wierszu " + Line(use) +
                        (file != file_ ? " pliku " + file_ : std::string()) + ")" + where_;
    std::swap(params_, inst.params);
    std::swap(where_, where);
    std::swap(file_, file);
    ++depth_;
    List(inst.body, kind);
    --depth_;
    std::swap(params_, inst.params);
    std::swap(where_, where);
    std::swap(file_, file);
  }

  void Block(const YAML::Node& b) {
    if (!MapOf(b, "blok", kBlock, {})) return;
    if (!b["section"] && !b["subsection"] && !b["title"] && !b["text"] && !b["gap"] && !b["cells"]) {
      Problem(b, "blok bez rodzaju (section, subsection, title, text, gap albo cells)");
      return;
    }
    List(b["cells"], ListKind::kCells);
  }

  void Cell(const YAML::Node& c) {
    if (!MapOf(c, "komórka", kCell, {})) return;
    if (c["strike"] && c["strike"].IsMap()) MapOf(c["strike"], "przekreślenie", kStrike, {});
    List(c["boxes"], ListKind::kBoxes);
  }

  // Checks one map against its keys; false when it is not a map at all.
  bool MapOf(const YAML::Node& n, const char* what, const Keys& keys, std::initializer_list<const char*> required) {
    if (!n.IsMap()) {
      Problem(n, std::string(what) + " musi być słownikiem klucz: wartość");
      return false;
    }
    for (const auto& kv : n) {
      const std::string key = kv.first.Scalar();
      if (LeftOut(kv.second, params_)) continue;
      const auto it = keys.find(key);
      if (it == keys.end()) {
        Problem(kv.first, std::string("nieznany klucz '") + key + "' (" + what + ")");
        continue;
      }
      try {
        if (!IsOfKind(ResolveAll(kv.second), it->second))
          Problem(kv.second, "klucz '" + key + "' musi być " + KindName(it->second));
      } catch (const SourceError& e) {
        Problem(kv.second, e.what());
      }
    }
    for (const char* key : required) {
      if (!n[key]) Problem(n, std::string("brak wymaganego klucza '") + key + "' (" + what + ")");
    }
    return true;
  }

  // A value as the template's use makes it (lists element by element).
  YAML::Node ResolveAll(const YAML::Node& n) const {
    if (params_.empty() || !n.IsSequence()) return Resolve(n, params_);
    YAML::Node out(YAML::NodeType::Sequence);
    for (const auto& item : n) out.push_back(Resolve(item, params_));
    return out;
  }

  static std::string Line(const YAML::Node& at) {
    const YAML::Mark m = at.Mark();
    return m.line >= 0 ? std::to_string(m.line + 1) : std::string("?");
  }

  void Problem(const YAML::Node& at, const std::string& what) {
    problems.push_back(file_ + ":" + Line(at) + ": " + what + where_);
  }

  std::string file_;
  TemplateSet templates_;
  std::set<std::string> used_;
  Params params_;
  std::string where_;
  int depth_ = 0;
};

}  // namespace

std::vector<std::string> CheckSchema(const YAML::Node& source, const std::string& file,
                                     const SharedTemplates* shared, std::set<std::string>* sharedUsed) {
  Checker c(file, shared);
  c.Form(source);
  if (sharedUsed) sharedUsed->insert(c.sharedUsed.begin(), c.sharedUsed.end());
  return std::move(c.problems);
}

std::vector<std::string> CheckSharedTemplates(const SharedTemplates& shared) {
  Checker c(shared.file, &shared);
  c.Shared();
  return std::move(c.problems);
}

std::vector<std::string> UnusedSharedTemplates(const SharedTemplates& shared, const std::set<std::string>& used) {
  std::vector<std::string> out;
  for (const auto& kv : shared.templates)
    if (!used.count(kv.first.Scalar()))
      out.push_back(shared.file + ":" + std::to_string(kv.first.Mark().line + 1) + ": wzór '" + kv.first.Scalar() +
                    "' nie jest nigdzie użyty");
  return out;
}

}  // namespace dcgen
