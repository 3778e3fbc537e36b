#include "recalc.h"

#include <iostream>

#include "calc/calculation.h"
#include "calc/display.h"
#include "calc/identification.h"
#include "commands.h"
#include "forms/values.h"

namespace pit::cli {

struct CliSession::CalcState {
  IdentificationRecords ids;
  HeadlessDisplay display;
};

CliSession::CliSession(DefinitionLibrary& defs, std::string bibDir)
    : defs_(defs), bibDir_(std::move(bibDir)), calc_(std::make_unique<CalcState>()) {}

CliSession::~CliSession() = default;

const TaxOfficeTable& CliSession::Offices() {
  if (!offices_) {
    TaxOfficeLoad l = LoadTaxOffices(bibDir_);
    if (!l.Message.empty()) std::cerr << l.Message << "\n";
    offices_ = std::move(l.Table);
  }
  return *offices_;
}

const CountryTable& CliSession::Countries() {
  if (!countries_) {
    CountryLoad l = LoadCountries(bibDir_);
    if (!l.Message.empty()) std::cerr << l.Message << "\n";
    countries_ = std::move(l.Table);
  }
  return *countries_;
}

int CliSession::Calculate(int number, int editedField, bool clicked) {
  FormEntry& e = settlement.Entry(number);
  HeadlessDisplay& d = calc_->display;
  d.Show(number, e.IdPit, settlement.Current.Page > 0 ? settlement.Current.Page : 1);
  // A commit runs the calculation with its field still current; a tick box
  // is committed by a click, so the pointer is over it too.
  d.edited = editedField;
  d.underMouse = clicked ? editedField : -1;
  d.fields = number == shownEntry_ ? &shown_ : nullptr;
  const std::size_t remindersBefore = d.reminders.size();
  CalcContext ctx(settlement, calc_->ids, d, d.fields);
  ctx.countryCodeOf = [this](const std::string& name) { return Countries().CodeByName(name); };
  const CalcStatus st = RunCalculation(ctx, e.IdPit, number);
  // What the form window would show in its message list and boxes.
  for (std::size_t i = remindersBefore; i < d.reminders.size(); ++i) std::cerr << d.reminders[i] << "\n";
  if (st != CalcStatus::Done) {
    std::cerr << (d.errors.empty() ? std::string("Obliczenie formularza zostało przerwane.") : d.errors.back()) << "\n";
    return kRefused;
  }
  return kDone;
}

int CliSession::Show(int number, int page) {
  FormEntry& e = settlement.Entry(number);
  if (number != shownEntry_) {
    const std::vector<FieldObject>* recs = defs_.Fields(e.IdPit);
    shown_ = recs ? *recs : std::vector<FieldObject>{};
    shownEntry_ = number;
  }
  CurrentEntryState& c = settlement.Current;
  c.Number = number;
  c.IdPit = e.IdPit;
  c.IdParent = e.IdParent;
  c.PM = e.PM;
  c.Kind = settlement.Count() > 0 ? settlement.Entry(1).Kind : settlement.Kind;
  c.PageCount = settlement.Catalogue()[e.IdPit].PageCount;
  if (auto d = defs_.Description(e.IdPit)) c.PageCount = d->PageCount;
  c.Page = page;
  c.ReturnGuid = e.ReturnGuid;
  c.FieldUnderMouse = -1;
  return Calculate(number);
}

int CliSession::Commit(int entry, int field, const std::string& text) {
  FormEntry& e = settlement.Entry(entry);
  const std::string& code = settlement.Catalogue()[e.IdPit].Code;
  if (!defs_.Fields(e.IdPit)) {
    std::cerr << "Brak pliku definicji formularza " << code << ": " << defs_.DcsPath(e.IdPit) << "\n";
    return kFileError;
  }
  if (field >= static_cast<int>(defs_.Fields(e.IdPit)->size())) {
    std::cerr << "Formularz " << code << " nie ma pola " << field << ".\n";
    return kRefused;
  }
  const int page = (*defs_.Fields(e.IdPit))[static_cast<std::size_t>(field)].Page;
  if (const int rc = Show(entry, page); rc != kDone) return rc;
  FieldObject& def = shown_[static_cast<std::size_t>(field)];
  ValueSlot& slot = e.Slots[static_cast<std::size_t>(field)];
  if (!def.Visible || def.ReadOnly) {
    std::cerr << "Pole " << field << " formularza " << code << " nie jest do wypełnienia (jest wyliczane lub ukryte).\n";
    return kRefused;
  }
  CommitResult r;
  switch (def.Typ) {
    case kCheckbox:
      if (text != "X" && !text.empty()) {
        std::cerr << "Pole wyboru przyjmuje \"X\" (zaznaczone) albo pustą wartość.\n";
        return kRefused;
      }
      r = CommitCheckbox(e, field, shown_, text == "X");
      break;
    case kUrzadSkarbowy:
      if (text.empty()) {
        r = CommitTaxOffice(def, slot, std::nullopt);
      } else if (const TaxOffice* office = Offices().FindByCode(text)) {
        r = CommitTaxOffice(def, slot, OfficeChoice{office->Code, office->Name});
      } else {
        std::cerr << "Nieznany kod urzędu skarbowego: " << text << "\n";
        return kRefused;
      }
      break;
    case kKraj:
      if (!text.empty() && Countries().CodeByName(text).empty()) {
        std::cerr << "Nieznany kraj: " << text << "\n";
        return kRefused;
      }
      r = CommitCountry(def, slot, text.empty() ? std::nullopt : std::optional<std::string>(text), text);
      break;
    case kKreska:
      std::cerr << "Pole " << field << " formularza " << code << " jest przekreśleniem i nie przyjmuje wartości.\n";
      return kRefused;
    case kLiczba:
    case kJedenProcent: {
      // The amount box takes only what its keys allow; a value it would
      // change (other than "." typed as ",") is refused rather than stored
      // differently from what was asked for.
      std::string asTyped = text;
      for (char& c : asTyped)
        if (c == '.') c = ',';
      if (TypeIntoAmountBox(text, def.PlusValue, def.Option) != asTyped) {
        std::cerr << "Pole " << field << " formularza " << code << " nie przyjmuje wartości \"" << text
                  << "\": kwota to cyfry, najwyżej dwie po przecinku"
                  << (def.PlusValue ? "" : ", ewentualnie z minusem na początku") << ".\n";
        return kRefused;
      }
      r = CommitEditorText(def, slot, asTyped);
      break;
    }
    default:
      r = CommitEditorText(def, slot, text);
      break;
  }
  if (!r.accepted) {
    std::cerr << (r.message.empty() ? "Wartość nie została przyjęta." : r.message) << "\n";
    return kRefused;
  }
  settlement.DocumentModified = true;
  return Calculate(entry, field, def.Typ == kCheckbox);
}

int CliSession::OpeningPass() {
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 1; i <= settlement.Count(); ++i) {
      const FormEntry& e = settlement.Entry(i);
      if (e.IdPit <= 0 || e.IdPit > kFormTypeCount) continue;
      if ((pass == 0) != (e.IdParent != 0)) continue;
      const int page = settlement.Catalogue()[e.IdPit].LastPage;
      if (const int rc = Show(i, page); rc != kDone) return rc;
      if (const int rc = Calculate(i); rc != kDone) return rc;
    }
  }
  return kDone;
}

void CliSession::CollectAll() {
  for (int i = 1; i <= settlement.Count(); ++i) CollectIdentification(settlement, calc_->ids, i);
}

}  // namespace pit::cli

namespace pit::cli {

void CliSession::PrintMessages() const {
  for (const std::string& m : calc_->display.messages) std::cerr << m << "\n";
}

}  // namespace pit::cli
