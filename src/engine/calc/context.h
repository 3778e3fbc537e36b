#pragma once
// What a calculation works on, and the field access every calculation uses.
// Fields are addressed by (entry number, object index) only.
#include <functional>
#include <string>
#include <vector>

#include "app/settlement.h"
#include "calc/amounts.h"
#include "calc/identification.h"
#include "calc/limits.h"
#include "calc/shown.h"
#include "forms/field_object.h"

namespace pit {

// Thrown by AmountOf when a field does not hold a number; RunCalculation
// turns it into the message and the failure status.
struct AmountError {
  int entry = 0;
  int field = 0;
  std::string text;
};

struct CalcContext {
  CalcContext(Settlement& s, IdentificationRecords& records, const CalcInput& in = {},
              const std::vector<FieldObject>* shown = nullptr)
      : settlement(s), ids(records), input(in), shownFields(shown) {
    this->shown.reminderShown = in.reminderShown;
  }

  Settlement& settlement;
  IdentificationRecords& ids;
  // The screen as the calculation sees it; it moves where the calculation
  // sends the user (ShowEntry), as the front end will.
  CalcInput input;
  // What the calculations ask to show, gathered since the context was made
  // (or Begin).
  ShownResult shown;
  // The field records of the form shown, when loaded: printed positions for
  // messages.
  const std::vector<FieldObject>* shownFields = nullptr;
  // Country name -> country code (the dictionary); without it derived
  // country codes are left as they are.
  std::function<std::string(const std::string&)> countryCodeOf;
  // Set when the persons' data went round the forms (ExchangeIdentification).
  bool identificationExchanged = false;

  // Starts again with another screen and nothing asked for.
  void Begin(const CalcInput& in) {
    input = in;
    shown = ShownResult{};
    shown.reminderShown = in.reminderShown;
  }
  bool IsShown(int idPit) const { return input.idPit == idPit; }
  // Whether a reminder may still come in this page display.
  bool ReminderDue() const { return !shown.reminderShown; }
  // A reminder that comes once per page display.
  void RemindOnce(const std::string& text) {
    shown.Remind(text);
    shown.reminderShown = true;
  }
  // The user must go to entry `entry` first: it is asked for, and the rest
  // of the calculation sees it shown at its first page.
  void ShowEntry(int entry, int idPit) {
    shown.showEntry = EntryRef{entry, idPit};
    MoveTo(entry, idPit);
  }
  // The screen moved to `entry` at page 1 without asking the front end (a
  // pass over every entry).
  void MoveTo(int entry, int idPit) {
    input.entry = entry;
    input.idPit = idPit;
    input.page = 1;
    shown.reminderShown = false;
  }

  const std::string& TextOf(int entry, int field) const;
  Amount AmountOf(int entry, int field) const;
  Amount SumOfRange(int entry, int first, int last) const;
  Amount PercentOf(int entry, int amountField, int rateField) const;

  int FirstEntryOfType(int idPit) const { return settlement.FindFirstOfType(idPit); }
  int FindChildEntry(int idPit, int parent) const { return settlement.FindByTypeAndParent(idPit, parent); }
  int FindEntry(int idPit, int parent, int pm) const { return settlement.FindEntry(idPit, parent, pm); }
  int CountChildEntries(int idPit, int parent, int pm) const {
    return settlement.CountByTypeAndParent(idPit, parent, pm);
  }
};

// The fields of one entry with the write patterns of the calculations.
// Reads go to the texts every time: a step sees what the earlier steps wrote.
class FormFields {
 public:
  FormFields(CalcContext& ctx, int entry);

  int Entry() const { return entry_; }
  FormEntry& Header() { return *e_; }

  const std::string& TextOf(int k) const;
  Amount AmountOf(int k) const { return ctx_.AmountOf(entry_, k); }
  Amount Sum(std::initializer_list<int> ks) const;
  bool IsEmpty(int k) const { return TextOf(k).empty(); }
  bool Ticked(int k) const;
  int Option(int k) const;

  void SetText(int k, const std::string& text);
  // RoundGrosze, then FormatAmount: every sum or difference written.
  void Set(int k, Amount x) { SetText(k, FormatAmount(RoundGrosze(x))); }
  // FormatAmount only.
  void SetUnrounded(int k, Amount x) { SetText(k, FormatAmount(x)); }
  // The rounded value when above zero, else "0,00".
  void SetPositivePart(int k, Amount x);
  void SetZero(int k) { SetText(k, "0,00"); }
  void Copy(int k, int from) { SetText(k, TextOf(from)); }
  void CopyFrom(int k, const FormFields& other, int from) { SetText(k, other.TextOf(from)); }
  // When field k is above the limit, writes the limit text and returns true.
  bool Cap(int k, Amount limit, const std::string& limitText);
  // The same with a statutory limit (calc/limits.h).
  bool Cap(int k, const StatutoryLimit& limit) {
    if (AmountOf(k) <= limit.Value()) return false;
    SetText(k, limit.Text());
    return true;
  }
  // Caps field k at the value of field m (copying m's text).
  bool CapAtField(int k, int m);
  void Tick(int k, const std::string& code);
  void Untick(int k);
  void SetOption(int k, int v);

 private:
  const ValueSlot* Slot(int k) const;
  CalcContext& ctx_;
  int entry_;
  FormEntry* e_;
};

}  // namespace pit
