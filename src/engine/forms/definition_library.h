#pragma once
// The definition folder (dc/ beside the program) with the field records of
// each form type read once and kept; Reload() forgets them, so a changed
// folder is read again.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "forms/field_object.h"

namespace pit {

class DefinitionLibrary {
 public:
  explicit DefinitionLibrary(std::string dcDir) : dir_(std::move(dcDir)) {}
  const std::string& Dir() const { return dir_; }
  // Field records of a form type; nullptr when its .dcs file is missing.
  const std::vector<FieldObject>* Fields(int idPit);
  std::optional<FormDescription> Description(int idPit) const;
  std::string DcsPath(int idPit) const;
  std::string DcgPath(int idPit, int page, bool withoutBackground = false) const;
  bool HasPage(int idPit, int page) const;
  void Reload() { fields_.clear(); }

 private:
  std::string dir_;
  std::map<int, std::optional<std::vector<FieldObject>>> fields_;
};

}  // namespace pit
