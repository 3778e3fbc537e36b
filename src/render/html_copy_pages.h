#pragma once
// The page bitmaps of the HTML copy, drawn with the stored values of the
// settlement through the paper painter and saved as BMP files.
#include <functional>
#include <string>
#include <vector>

#include "app/settlement.h"
#include "forms/definition_library.h"
#include "forms/field_object.h"
#include "output/html_copy.h"
#include "print_options.h"

namespace pit::render {

// The field records an entry is drawn with, as the form window would hold
// them with the entry shown (SettlementSession::FieldsAsShown); empty when
// the form has no definition.
using FieldsOfEntry = std::function<std::vector<FieldObject>(int entry)>;

// A hook for HtmlCopy::AddEntry. A page picture that is missing or unusable
// gives a white page with the values and one message naming the file; a
// bitmap that cannot be written makes the hook return false.
DrawPageHook HtmlCopyDrawer(const Settlement& s, DefinitionLibrary& defs, FieldsOfEntry fieldsOf,
                            const PrintOptions& o, std::vector<std::string>& messages);

}  // namespace pit::render
