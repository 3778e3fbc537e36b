#pragma once
// The page bitmaps of the HTML copy, drawn with the stored values of the
// settlement through the paper painter and saved as BMP files.
#include <string>
#include <vector>

#include "app/settlement.h"
#include "forms/definition_library.h"
#include "output/html_copy.h"
#include "print_options.h"

namespace pit::render {

// A hook for HtmlCopy::AddEntry. A page picture that is missing or unusable
// gives a white page with the values and one message naming the file; a
// bitmap that cannot be written makes the hook return false.
DrawPageHook HtmlCopyDrawer(const Settlement& s, DefinitionLibrary& defs, const PrintOptions& o,
                            std::vector<std::string>& messages);

}  // namespace pit::render
