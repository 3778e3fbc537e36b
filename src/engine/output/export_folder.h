#pragma once
// One export of a return as the hand-off makes it: the export folder with
// its icons, the HTML copy's pages drawn entry by entry during the walk, the
// text and XML files, then the HTML files.
#include <string>
#include <vector>

#include "output/export.h"
#include "output/html_copy.h"

namespace pit {

struct ExportRequest {
  std::string eDeclarationsFolder;  // the export folder is made below it
  std::string exportId;             // a fresh GUID text
  std::string returnGuid;           // the return to export
  std::string iconDir;              // Pit.gif, PitP.gif, PitM.gif
  bool htmlCopy = true;
};

struct ExportOutcome {
  std::string folder;                 // eDeclarationsFolder/exportId
  std::vector<std::string> messages;  // for the user, in order
  // Every file of the export (XML, text, the HTML copy) was written. When
  // one was not, nothing this export wrote is kept.
  bool filesWritten = false;
  ExportDocument document;
};

// `draw` renders one page bitmap of the HTML copy (not called without it).
ExportOutcome ExportReturn(Settlement& s, DefinitionLibrary& defs, const ExportRequest& r, ExportHooks hooks,
                           const DrawPageHook& draw);

}  // namespace pit
