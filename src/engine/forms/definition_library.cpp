#include "forms/definition_library.h"

#include "app/file_io.h"
#include "forms/definition_files.h"

namespace pit {

namespace {

// Bounds no form of ours comes near: a page is 800 pixels wide and a page
// picture at most five times as high as it is wide.
constexpr int kFarRight = 1000, kFarBottom = 4000, kMostPages = 50;

// Whether field records can be what the program wrote: at least one record,
// every type known, every rectangle on a page. Anything else is a damaged
// or foreign file, whose fields would only mislead the calculations.
bool Plausible(const std::vector<FieldObject>& fields) {
  if (fields.empty() || fields.size() > static_cast<std::size_t>(kMaxFields)) return false;
  for (const FieldObject& f : fields) {
    if (f.Typ < kTekst || f.Typ > kJedenProcent) return false;
    if (f.Left < 0 || f.Top < 0 || f.Left > f.Right || f.Top > f.Bottom) return false;
    if (f.Right > kFarRight || f.Bottom > kFarBottom || f.Page < 1 || f.Page > kMostPages) return false;
  }
  return true;
}

}  // namespace

const std::vector<FieldObject>* DefinitionLibrary::Fields(int idPit) {
  auto it = fields_.find(idPit);
  if (it == fields_.end()) {
    const std::string path = pit::DcsPath(dir_, idPit);
    std::optional<std::vector<FieldObject>> fields = LoadFieldObjects(path);
    if (fields && !Plausible(*fields)) {
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
