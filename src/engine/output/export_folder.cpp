#include "output/export_folder.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace pit {

ExportOutcome ExportReturn(Settlement& s, DefinitionLibrary& defs, const ExportRequest& r, ExportHooks hooks,
                           const DrawPageHook& draw) {
  ExportOutcome out;
  out.folder = (fs::u8path(r.eDeclarationsFolder) / fs::u8path(r.exportId)).u8string();
  std::error_code ec;
  const bool fresh = !fs::exists(fs::u8path(out.folder), ec);
  const bool prepared = PrepareExportFolder(out.folder, r.iconDir, out.messages);

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
  const bool copied = !r.htmlCopy || (copy.Write() && copy.BitmapsWritten());
  if (!prepared || !out.filesWritten || !copied) {
    // A full disk leaves empty or cut files: an export the e-filing program
    // would take for a whole one. What this export wrote goes.
    out.filesWritten = false;
    if (fresh && fs::remove_all(fs::u8path(out.folder), ec) > 0 && !ec)
      out.messages.push_back("Nie wszystkie pliki eksportu dało się zapisać (np. brak miejsca na dysku). "
                             "Pliki tego eksportu zostały usunięte: " + out.folder);
  }
  return out;
}

}  // namespace pit
