#include "forms/definition_library.h"

#include "app/file_io.h"
#include "forms/definition_files.h"

namespace pit {

const std::vector<FieldObject>* DefinitionLibrary::Fields(int idPit) {
  auto it = fields_.find(idPit);
  if (it == fields_.end()) {
    const std::string path = pit::DcsPath(dir_, idPit);
    std::optional<std::vector<FieldObject>> fields = LoadFieldObjects(path);
    if (fields && !ImplausibleFieldRecords(*fields).empty()) {
      fields.reset();
      if (reported_.insert(path).second) problems_.push_back("Plik definicji formularza jest uszkodzony: " + path);
    }
    it = fields_.emplace(idPit, std::move(fields)).first;
  }
  return it->second ? &*it->second : nullptr;
}

std::vector<std::string> DefinitionLibrary::TakeProblems() {
  std::vector<std::string> out;
  out.swap(problems_);
  return out;
}

std::optional<FormDescription> DefinitionLibrary::Description(int idPit) const {
  return LoadFormDescription(pit::DcdPath(dir_, idPit));
}

std::string DefinitionLibrary::DcsPath(int idPit) const { return pit::DcsPath(dir_, idPit); }

std::string DefinitionLibrary::DcgPath(int idPit, int page, bool withoutBackground) const {
  return pit::DcgPath(dir_, idPit, page, withoutBackground);
}

bool DefinitionLibrary::HasPage(int idPit, int page) const {
  return FileExists(DcsPath(idPit)) && FileExists(DcgPath(idPit, page));
}

}  // namespace pit
