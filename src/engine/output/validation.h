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

// Where a problem is: the entry (its number in the settlement) and the
// field (its object index in the entry's form).
struct ProblemPlace {
  int entry = 0;
  int field = -1;
};

struct ValidationResult {
  int count = 0;  // problems counted, at most kProblemLimit
  // "PIT-37 pole: 25" where the field's XML name is its printed position;
  // otherwise what the page shows: "PIT-37 pole: Podatnik - Pierwsze imię
  // (poz. 10)", an identifier by its kind ("Podatnik - PESEL (poz. 1)").
  std::vector<std::string> lines;
  std::vector<ProblemPlace> places;  // one for each line
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
