#include "forms/definition_library.h"

#include "app/file_io.h"
#include "forms/definition_files.h"

namespace pit {

const std::vector<FieldObject>* DefinitionLibrary::Fields(int idPit) {
  auto it = fields_.find(idPit);
  if (it == fields_.end()) it = fields_.emplace(idPit, LoadFieldObjects(pit::DcsPath(dir_, idPit))).first;
  return it->second ? &*it->second : nullptr;
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
