#include "output/export_folder.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace pit {

ExportOutcome ExportReturn(Settlement& s, DefinitionLibrary& defs, const ExportRequest& r, ExportHooks hooks,
                           const DrawPageHook& draw) {
  ExportOutcome out;
  out.folder = (fs::u8path(r.eDeclarationsFolder) / fs::u8path(r.exportId)).u8string();
  PrepareExportFolder(out.folder, r.iconDir, out.messages);

  HtmlCopy copy(out.folder, r.exportId);
  if (r.htmlCopy) {
    auto before = hooks.entryExported;
    hooks.entryExported = [&, before](const ExportedEntry& e) {
      if (before) before(e);
      copy.AddEntry(s, defs, e, draw, out.messages);
    };
  }
  out.document = BuildExport(s, defs, r.returnGuid, hooks);
  out.filesWritten = WriteExportFiles(out.folder, r.exportId, out.document);
  if (r.htmlCopy) copy.Write();
  return out;
}

}  // namespace pit
