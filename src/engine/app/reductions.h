#pragma once
// The amounts a commit reduced, named under the reduction notice: a user
// who sees "Program dokonał redukcji odliczeń" learns which of the amounts
// they had given were cut and from what, e.g. "poz. 90: 7 175,40 → 0,00".
#include <functional>
#include <string>
#include <vector>

#include "app/settlement.h"
#include "app/undo.h"
#include "calc/shown.h"
#include "forms/field_object.h"

namespace pit {

// The field records of an entry as they stand after the calculation (its
// flags included); nullptr when unknown.
using FieldRecordsOf = std::function<const std::vector<FieldObject>*(int entry)>;

// One line for each amount the user gives that the commit's calculation
// lowered: the committed field from the value given (`given`, after its
// type's rules), every other from its value before the commit. An amount a
// return takes from the attachment where the user gave it and cuts to what
// the tax allows (the PIT/O deductions in the PIT-37) is listed from the
// attachment's amount when it ends below it.
std::vector<CutAmount> ReducedAmounts(const CommitStep& step, const std::string& given,
                                      const FieldRecordsOf& recordsOf, const Settlement& s);

// The cuts still standing after a commit: those listed before whose amount
// still holds the value it was cut to (not given again, nor restored), an
// amount cut again by this commit once, with its newest line, then the new.
std::vector<CutAmount> StandingCuts(const std::vector<CutAmount>& before, const std::vector<CutAmount>& added,
                                    const Settlement& s);

// Whether the reduction notice of the form `idPit` is showing in the
// message list the calculation left.
bool NoticeShown(const ShownResult& r, int idPit);

}  // namespace pit
