#pragma once
// The required-field check: every field that a form's definition marks as
// required and that is left empty, over all forms of the settlement in list
// order, as the lines of one message box. Validation reads the stored values
// as they are; it runs no calculation.
#include <string>
#include <string_view>
#include <vector>

namespace pit {

class Settlement;
class DefinitionLibrary;

// At most this many problems are counted, and the filled list holds at most
// kFilledListCapacity texts.
constexpr int kProblemLimit = 450;
constexpr int kFilledListCapacity = 1000;
// The message box lists this many lines; a duplicate is looked for among
// the first kDuplicateWindow lines.
constexpr int kShownProblemLines = 10;
constexpr int kDuplicateWindow = 101;

struct ValidationResult {
  int count = 0;                   // problems counted, at most kProblemLimit
  std::vector<std::string> lines;  // "PIT-37 pole: 25", in the order found
};

// The attachment fields never reported (copied from the main form by the
// calculations): "P_1,P_2,...," for a form type, empty for most.
std::string_view ExemptXmlNames(int idPit);

ValidationResult ValidateSettlement(const Settlement& s, DefinitionLibrary& defs);

// The text of the message box for a result: the count, the limit line when
// above ten, the first ten lines. With nothing missing it is the
// confirmation when `showAllFilled`, else empty (no box).
std::string ValidationMessage(const ValidationResult& r, bool showAllFilled);

}  // namespace pit
