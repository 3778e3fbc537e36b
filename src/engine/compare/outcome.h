#pragma once
// The outcome of one return read from its forms: the tax due, the advances,
// what is left to pay or is overpaid, the child relief paid back and the 1%.
// Every figure names the field it comes from, so that a front end can open
// that field.
#include <cstdint>
#include <optional>
#include <string>

#include "app/settlement.h"

namespace pit {

// Where a return keeps its outcome; -1 where the form has no such field.
struct ReturnFields {
  int idPit = 0;
  int taxDue = -1;
  int advances = -1;
  int toPay = -1;
  int overpayment = -1;
  int krs = -1;
  int onePercent = -1;
};

// The fields of the returns that end in a tax (PIT-36, PIT-37, PIT-36L,
// PIT-38, PIT-28, PIT-39); nullopt for every other form type.
std::optional<ReturnFields> ReturnFieldsOf(int idPit);

// The spouse's own columns of a joint return, for a person's part.
struct PersonPart {
  std::int64_t income = 0;       // grosze
  std::int64_t advances = 0;     // grosze
  int incomeField = -1;
  int advancesField = -1;
};

// One figure and the place it comes from.
struct Figure {
  std::int64_t grosze = 0;
  int entry = 0;
  int field = -1;
};

struct ReturnOutcome {
  int entry = 0;     // the return's main form
  int idPit = 0;
  bool joint = false;  // both persons' incomes in one return
  Figure taxDue;
  std::optional<Figure> advances;
  Figure toPay;
  Figure overpayment;
  std::optional<Figure> childReliefPaidBack;  // a PIT/UZ of the return
  std::optional<Figure> onePercent;           // an organisation chosen
  std::string krs;
  // Joint returns: each person's income and advances.
  PersonPart taxpayer, spouse;
};

// The main form of the return entry `entry` belongs to (itself when it is
// one); 0 when there is none.
int MainFormOf(const Settlement& s, int entry);

// The outcome of the return entry `entry` belongs to, as its forms hold it
// now; nullopt for returns without a tax (payer and registration forms,
// PIT-16A) and for entries that are not there.
std::optional<ReturnOutcome> OutcomeOf(const Settlement& s, int entry);

// An amount text of a field in grosze; an empty or unreadable text is 0.
std::int64_t GroszeOf(const Settlement& s, int entry, int field);

}  // namespace pit
