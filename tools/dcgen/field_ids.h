#pragma once
// The names of fields. A field record of a source may carry `id:` – a
// snake_case name, unique within its form – by which the program's code, the
// contract and the tests address the field instead of its object index. A
// field with `strike:` lines names them after itself: `<id>_strike_nip` is
// the line over the printed word NIP (drawn for a PESEL), `<id>_strike_pesel`
// the one over PESEL. From the names of each source one C++ header is made,
// `forms/<namespace>_fields.h`:
//
//   namespace pit::pit37 {
//   inline constexpr int kForm = 2;
//   using Field = FieldOf<2>;
//   inline constexpr Field tax{102};
//   }
#include <map>
#include <string>
#include <vector>

#include <yaml-cpp/yaml.h>

namespace dcgen {

struct NamedField {
  std::string id;
  int index = 0;
};

// The named fields of a source with its templates expanded, in the order of
// the source. Throws SourceError for a name that is not snake_case, is a
// word of C++, or names a second field of the form.
std::vector<NamedField> CollectFieldIds(const YAML::Node& expanded);

// The same as a map, name -> object index.
std::map<std::string, int> FieldIdMap(const std::vector<NamedField>& named);

// The header of a form: `code` and `source` only go into its comment.
std::string FieldsHeader(const std::string& nameSpace, int idPit, const std::string& code,
                         const std::string& source, const std::vector<NamedField>& named);

// Whether `name` may name a namespace or a field: snake_case, starting with a
// letter, no word of C++.
bool IsFieldName(const std::string& name);

}  // namespace dcgen
