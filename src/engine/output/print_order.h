#pragma once
// Which form entries a print range covers, in the order they are printed.
#include <vector>

#include "app/settlement.h"

namespace pit {

// The ranges of the print window ("ZakresDruku").
enum PrintRange : int {
  kPrintCurrentPage = 0,  // "Bieżąca strona"
  kPrintCurrentForm = 1,  // "Wszystkie strony formularza"
  kPrintReturn = 2,       // "Zeznanie wraz z załącznikami"
  kPrintSettlement = 3,   // "Wszystkie dokumenty i załączniki bieżącego rozliczenia"
};

// The main form of entry `number`: the first entry up its chain of parents
// that has none (an SSE/A hangs under an SSE-R that hangs under the PIT-36).
// 0 when the number is not an entry.
int MainEntryOf(const Settlement& s, int number);

// Entry numbers to print for `range` with entry `current` shown: the current
// entry alone (0, 1); its return, the main form first and then everything
// under it in list order (2); every return of the settlement so (3).
// Empty when there is nothing to print.
std::vector<int> EntriesToPrint(const Settlement& s, int range, int current);

}  // namespace pit
