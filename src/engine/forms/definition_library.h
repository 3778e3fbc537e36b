#pragma once
// The definition folder (dc/ beside the program) with the field records of
// each form type read once and kept; Reload() forgets them, so a changed
// folder is read again.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "forms/field_object.h"

namespace pit {

class DefinitionLibrary {
 public:
  explicit DefinitionLibrary(std::string dcDir) : dir_(std::move(dcDir)) {}
  const std::string& Dir() const { return dir_; }
  // Field records of a form type; nullptr when its .dcs file is missing or
  // damaged (then a message names it once: TakeProblems).
  const std::vector<FieldObject>* Fields(int idPit);
  // Messages about damaged definition files found since the last call, each
  // file named once for the life of the library.
  std::vector<std::string> TakeProblems();
  std::optional<FormDescription> Description(int idPit) const;
  std::string DcsPath(int idPit) const;
  std::string DcgPath(int idPit, int page, bool withoutBackground = false) const;
  bool HasPage(int idPit, int page) const;
  void Reload() {
    fields_.clear();
    reported_.clear();
  }

 private:
  std::string dir_;
  std::map<int, std::optional<std::vector<FieldObject>>> fields_;
  std::vector<std::string> problems_;
  std::set<std::string> reported_;
};

}  // namespace pit
