#include "field_ids.h"

#include <set>
#include <sstream>

#include "form_source.h"

namespace dcgen {
namespace {

bool IsCppWord(const std::string& s) {
  static const std::set<std::string> words = {
      "alignas", "alignof", "and", "and_eq", "asm", "auto", "bitand", "bitor", "bool", "break",
      "case", "catch", "char", "char16_t", "char32_t", "class", "compl", "const", "constexpr",
      "const_cast", "continue", "decltype", "default", "delete", "do", "double", "dynamic_cast",
      "else", "enum", "explicit", "export", "extern", "false", "float", "for", "friend", "goto",
      "if", "inline", "int", "long", "mutable", "namespace", "new", "noexcept", "not", "not_eq",
      "nullptr", "operator", "or", "or_eq", "private", "protected", "public", "register",
      "reinterpret_cast", "return", "short", "signed", "sizeof", "static", "static_assert",
      "static_cast", "struct", "switch", "template", "this", "thread_local", "throw", "true", "try",
      "typedef", "typeid", "typename", "union", "unsigned", "using", "virtual", "void", "volatile",
      "wchar_t", "while", "xor", "xor_eq"};
  return words.count(s) > 0;
}

class Collector {
 public:
  std::vector<NamedField> Run(const YAML::Node& src) {
    for (const auto& page : src["pages"])
      for (const auto& block : page["blocks"])
        for (const auto& cell : block["cells"]) Cell(cell);
    return std::move(out_);
  }

 private:
  void Cell(const YAML::Node& c) {
    if (!c.IsMap()) return;
    if (c["boxes"]) {
      if (c["id"])
        throw SourceError("nazwa '" + c["id"].Scalar() +
                          "' przy grupie kwadratów: nazwę ma każdy kwadrat osobno");
      for (const auto& b : c["boxes"]) Field(b);
      return;
    }
    if (!c["f"]) {
      if (c["id"]) throw SourceError("nazwa '" + c["id"].Scalar() + "' przy komórce bez pola");
      return;
    }
    Field(c);
    if (c["id"] && c["strike"]) {
      const std::string id = c["id"].Scalar();
      if (c["strike"]["NIP"]) Add(id + "_strike_nip", c["strike"]["NIP"].as<int>());
      if (c["strike"]["PESEL"]) Add(id + "_strike_pesel", c["strike"]["PESEL"].as<int>());
    }
  }

  void Field(const YAML::Node& f) {
    if (!f.IsMap() || !f["id"]) return;
    Add(f["id"].Scalar(), f["f"] ? f["f"].as<int>() : -1);
  }

  void Add(const std::string& id, int index) {
    if (!IsFieldName(id))
      throw SourceError("nazwa pola '" + id +
                        "' ma być w stylu snake_case (małe litery, cyfry, podkreślenia, na "
                        "początku litera) i nie może być słowem C++");
    if (index < 0) throw SourceError("nazwa '" + id + "' przy kwadracie bez indeksu f");
    if (const auto at = seen_.find(id); at != seen_.end())
      throw SourceError("nazwa '" + id + "' nadana dwóm polom: " + std::to_string(at->second) +
                        " i " + std::to_string(index));
    seen_.emplace(id, index);
    out_.push_back({id, index});
  }

  std::map<std::string, int> seen_;
  std::vector<NamedField> out_;
};

}  // namespace

bool IsFieldName(const std::string& name) {
  if (name.empty() || name[0] < 'a' || name[0] > 'z') return false;
  for (char ch : name)
    if (!((ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') || ch == '_')) return false;
  return name.back() != '_' && name.find("__") == std::string::npos && !IsCppWord(name);
}

std::vector<NamedField> CollectFieldIds(const YAML::Node& expanded) {
  return Collector().Run(expanded);
}

std::map<std::string, int> FieldIdMap(const std::vector<NamedField>& named) {
  std::map<std::string, int> out;
  for (const auto& n : named) out.emplace(n.id, n.index);
  return out;
}

std::string FieldsHeader(const std::string& nameSpace, int idPit, const std::string& code,
                         const std::string& source, const std::vector<NamedField>& named) {
  std::ostringstream h;
  h << "#pragma once\n"
    << "// The named fields of " << code << ", made by dcgen from " << source
    << ".\n// Change the source, not this file.\n"
    << "#include \"forms/field_id.h\"\n\n"
    << "namespace pit::" << nameSpace << " {\n\n"
    << "inline constexpr int kForm = " << idPit << ";\n"
    << "using Field = FieldOf<" << idPit << ">;\n\n";
  for (const auto& n : named) h << "inline constexpr Field " << n.id << "{" << n.index << "};\n";
  h << "\n}  // namespace pit::" << nameSpace << "\n";
  return h.str();
}

}  // namespace dcgen
