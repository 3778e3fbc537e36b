#include "templates.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <set>

#include "form_source.h"

namespace dcgen {
namespace {

struct Placeholder {
  std::string name;
  std::optional<std::size_t> element;
  long long add = 0;
};

bool AllDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

// "name", "name.3", "name+2", "name.3-1"; anything else is literal text.
std::optional<Placeholder> ParsePlaceholder(const std::string& inner) {
  std::size_t i = 0;
  auto wordChar = [&](std::size_t k) {
    return k < inner.size() && (std::isalnum(static_cast<unsigned char>(inner[k])) || inner[k] == '_');
  };
  if (inner.empty() || !(std::isalpha(static_cast<unsigned char>(inner[0])) || inner[0] == '_'))
    return std::nullopt;
  while (wordChar(i)) ++i;
  Placeholder p;
  p.name = inner.substr(0, i);
  if (i < inner.size() && inner[i] == '.') {
    std::size_t j = i + 1;
    while (j < inner.size() && std::isdigit(static_cast<unsigned char>(inner[j]))) ++j;
    if (!AllDigits(inner.substr(i + 1, j - i - 1))) return std::nullopt;
    p.element = std::stoul(inner.substr(i + 1, j - i - 1));
    i = j;
  }
  if (i < inner.size() && (inner[i] == '+' || inner[i] == '-')) {
    const std::string digits = inner.substr(i + 1);
    if (!AllDigits(digits) || digits.size() > 9) return std::nullopt;
    p.add = std::stoll(digits) * (inner[i] == '-' ? -1 : 1);
    i = inner.size();
  }
  if (i != inner.size()) return std::nullopt;
  return p;
}

YAML::Node Lookup(const Placeholder& p, const Params& params) {
  const auto it = params.find(p.name);
  if (it == params.end()) throw SourceError("nieznany parametr <" + p.name + ">");
  // (Nodes are never assigned to one another here: yaml-cpp would make the
  // left one an alias of the right one, changing the source.)
  const YAML::Node& v = it->second;
  if (!p.element) return v;
  if (!v.IsSequence() || *p.element >= v.size())
    throw SourceError("parametr <" + p.name + "> nie ma elementu " + std::to_string(*p.element));
  return v[*p.element];
}

std::string Text(const Placeholder& p, const YAML::Node& v) {
  if (!v.IsScalar()) throw SourceError("parametr <" + p.name + "> nie jest pojedynczą wartością");
  if (p.add == 0) return v.Scalar();
  long long n = 0;
  try {
    std::size_t used = 0;
    n = std::stoll(v.Scalar(), &used);
    if (used != v.Scalar().size()) throw std::invalid_argument("");
  } catch (const std::exception&) {
    throw SourceError("parametr <" + p.name + "> nie jest liczbą całkowitą: '" + v.Scalar() + "'");
  }
  return std::to_string(n + p.add);
}

// A value of any kind with the parameters put in everywhere inside it.
YAML::Node ResolveAll(const YAML::Node& n, const Params& params) {
  if (params.empty()) return n;
  if (n.IsSequence()) {
    YAML::Node out(YAML::NodeType::Sequence);
    for (const auto& item : n) out.push_back(ResolveAll(item, params));
    return out;
  }
  if (n.IsMap()) {
    YAML::Node out(YAML::NodeType::Map);
    for (const auto& kv : n) out[kv.first] = ResolveAll(kv.second, params);
    return out;
  }
  return Resolve(n, params);
}

bool HasUse(const YAML::Node& n) {
  if (n.IsMap()) {
    if (n["use"]) return true;
    for (const auto& kv : n)
      if (HasUse(kv.second)) return true;
  } else if (n.IsSequence()) {
    for (const auto& item : n)
      if (HasUse(item)) return true;
  }
  return false;
}

class Expander {
 public:
  explicit Expander(const TemplateSet& templates) : templates_(templates) {}

  YAML::Node Value(const YAML::Node& n, const std::string& key, const Params& params, int depth) {
    // What needs no change stays the source's own node: rebuilding costs
    // yaml-cpp a copy of the whole document's node set per new node.
    if (params.empty() && !HasUse(n)) return n;
    if (n.IsSequence()) {
      for (ListKind kind : {ListKind::kBlocks, ListKind::kCells, ListKind::kBoxes})
        if (key == ListKey(kind)) return List(n, kind, params, depth);
      YAML::Node out(YAML::NodeType::Sequence);
      for (const auto& item : n) out.push_back(Value(item, "", params, depth));
      return out;
    }
    if (n.IsMap()) {
      YAML::Node out(YAML::NodeType::Map);
      for (const auto& kv : n)
        if (!LeftOut(kv.second, params)) out[kv.first] = Value(kv.second, kv.first.Scalar(), params, depth);
      return out;
    }
    return Resolve(n, params);
  }

 private:
  YAML::Node List(const YAML::Node& list, ListKind kind, const Params& params, int depth) {
    YAML::Node out(YAML::NodeType::Sequence);
    for (const auto& item : list) {
      if (!item.IsMap() || !item["use"]) {
        out.push_back(Value(item, "", params, depth));
        continue;
      }
      if (depth >= kTemplateDepth) throw SourceError("wzory użyte zbyt głęboko (wzór używa sam siebie?)");
      Instance inst = Instantiate(templates_, item, kind, params);
      for (const auto& expanded : List(inst.body, kind, inst.params, depth + 1)) out.push_back(expanded);
    }
    return out;
  }

  TemplateSet templates_;
};

}  // namespace

std::vector<std::filesystem::path> FormSources(const std::filesystem::path& dir) {
  std::vector<std::filesystem::path> out;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    if (e.is_regular_file() && e.path().extension() == ".yaml" && e.path().filename() != kSharedTemplatesFile)
      out.push_back(e.path());
  std::sort(out.begin(), out.end());
  return out;
}

SharedTemplates SharedTemplatesOf(const YAML::Node& root, const std::string& file) {
  const auto broken = [&](const std::string& what) { return SourceError(file + ": " + what); };
  if (!root.IsMap() || root.size() != 1 || !root["templates"] || !root["templates"].IsMap())
    throw broken("plik wspólnych wzorów ma tylko klucz 'templates:' ze słownikiem wzorów");
  for (const auto& kv : root["templates"])
    if (!kv.second.IsMap())
      throw broken("wzór '" + kv.first.Scalar() + "' musi być słownikiem klucz: wartość");
  return SharedTemplates{file, root["templates"]};
}

std::optional<SharedTemplates> LoadSharedTemplates(const std::filesystem::path& dir) {
  const std::filesystem::path path = dir / kSharedTemplatesFile;
  if (!std::filesystem::exists(path)) return std::nullopt;
  YAML::Node root;
  try {
    root = YAML::LoadFile(path.string());
  } catch (const YAML::Exception& e) {
    throw SourceError(std::string(kSharedTemplatesFile) + ": błąd pliku wspólnych wzorów: " + e.what());
  }
  return SharedTemplatesOf(root, kSharedTemplatesFile);
}

std::vector<std::string> ClashingTemplates(const TemplateSet& templates) {
  std::vector<std::string> out;
  if (!templates.shared || !templates.local || !templates.local.IsMap()) return out;
  for (const auto& kv : templates.local)
    if (templates.shared->templates[kv.first.Scalar()]) out.push_back(kv.first.Scalar());
  return out;
}

bool LeftOut(const YAML::Node& value, const Params& params) {
  if (params.empty() || !value.IsScalar()) return false;
  const std::string& s = value.Scalar();
  for (std::size_t open = s.find('<'); open != std::string::npos; open = s.find('<', open + 1)) {
    const std::size_t close = s.find('>', open);
    if (close == std::string::npos) break;
    if (const auto p = ParsePlaceholder(s.substr(open + 1, close - open - 1))) {
      const auto it = params.find(p->name);
      if (it != params.end() && it->second.IsNull()) return true;
    }
  }
  return false;
}

const char* ListKey(ListKind kind) {
  switch (kind) {
    case ListKind::kBlocks: return "blocks";
    case ListKind::kCells: return "cells";
    case ListKind::kBoxes: return "boxes";
  }
  return "";
}

Instance Instantiate(const TemplateSet& templates, const YAML::Node& use, ListKind where,
                     const Params& outer) {
  Instance inst;
  if (!use["use"].IsScalar()) throw SourceError("'use' musi być nazwą wzoru");
  inst.name = Resolve(use["use"], outer).Scalar();
  const YAML::Node& local = templates.local;
  const bool inLocal = local && local.IsMap() && local[inst.name];
  const bool inShared = templates.shared && templates.shared->templates[inst.name];
  if (inLocal && inShared)
    throw SourceError("wzór '" + inst.name + "' jest i w źródle, i w " + templates.shared->file);
  if (!inLocal && !inShared)
    throw SourceError("nieznany wzór '" + inst.name + "'" +
                      (templates.shared ? " (nie ma go w źródle ani w " + templates.shared->file + ")" : ""));
  inst.shared = inShared;
  const YAML::Node t = inShared ? templates.shared->templates[inst.name] : local[inst.name];
  if (!t.IsMap()) throw SourceError("wzór '" + inst.name + "' musi być słownikiem klucz: wartość");
  if (!t[ListKey(where)] || !t[ListKey(where)].IsSequence())
    throw SourceError(std::string("wzór '") + inst.name + "' nie jest listą " + ListKey(where));
  inst.body.reset(t[ListKey(where)]);
  std::set<std::string> declared;
  if (t["params"] && t["params"].IsSequence())
    for (const auto& p : t["params"]) declared.insert(p.Scalar());
  for (const auto& kv : use) {
    const std::string key = kv.first.Scalar();
    if (key == "use") continue;
    if (!declared.count(key))
      throw SourceError("wzór '" + inst.name + "' nie ma parametru '" + key + "'");
    inst.params.emplace(key, ResolveAll(kv.second, outer));
  }
  for (const auto& p : declared)
    if (!inst.params.count(p)) throw SourceError("brak parametru '" + p + "' wzoru '" + inst.name + "'");
  return inst;
}

YAML::Node Resolve(const YAML::Node& value, const Params& params) {
  if (params.empty() || !value.IsScalar()) return value;
  const std::string& s = value.Scalar();
  if (s.find('<') == std::string::npos) return value;
  // The whole value one placeholder: the parameter as it is (a list too).
  if (s.front() == '<' && s.back() == '>' && s.find('<', 1) == std::string::npos) {
    if (auto p = ParsePlaceholder(s.substr(1, s.size() - 2)); p && p->add == 0) {
      YAML::Node v = Lookup(*p, params);
      return v.IsScalar() ? YAML::Node(v.Scalar()) : v;
    }
  }
  std::string out;
  std::size_t i = 0;
  while (i < s.size()) {
    const std::size_t open = s.find('<', i);
    const std::size_t close = open == std::string::npos ? open : s.find('>', open);
    if (close == std::string::npos) {
      out += s.substr(i);
      break;
    }
    out += s.substr(i, open - i);
    if (auto p = ParsePlaceholder(s.substr(open + 1, close - open - 1))) {
      out += Text(*p, Lookup(*p, params));
      i = close + 1;
    } else {
      out += '<';
      i = open + 1;
    }
  }
  return YAML::Node(out);
}

YAML::Node ExpandTemplates(const YAML::Node& source, const SharedTemplates* shared) {
  if (!source.IsMap()) return source;
  const TemplateSet set{source["templates"], shared};
  if (const auto clash = ClashingTemplates(set); !clash.empty())
    throw SourceError("wzór '" + clash.front() + "' źródła ma nazwę wzoru z " + shared->file +
                      " (nadaj mu inną)");
  Expander e(set);
  YAML::Node out(YAML::NodeType::Map);
  for (const auto& kv : source) {
    if (kv.first.Scalar() == "templates") continue;
    out[kv.first] = e.Value(kv.second, kv.first.Scalar(), {}, 0);
  }
  return out;
}

}  // namespace dcgen
