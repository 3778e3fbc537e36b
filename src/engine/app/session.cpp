#include "app/session.h"

#include <algorithm>
#include <filesystem>

#include "app/commit_checks.h"
#include "app/file_io.h"
#include "app/reductions.h"
#include "calc/framework.h"
#include "forms/definition_library.h"
#include "text/cp1250.h"

namespace pit {

EFilingState EFilingFor(const Settlement& s) {
  EFilingState st;
  for (int i = 1; i <= s.Count(); ++i) {
    const int idPit = s.Entry(i).IdPit;
    // Registration forms and the payer's UPKD are not filed through Veltra.
    if (idPit == kUpkdPayer || idPit == kNip7 || idPit == kZap3) st.visible = false;
  }
  st.enabled = s.Kind < kRegistrationForms;
  return st;
}

std::vector<int> OpeningOrder(const Settlement& s) {
  std::vector<int> order;
  order.reserve(static_cast<std::size_t>(s.Count()));
  for (bool attachments : {true, false}) {
    for (int i = 1; i <= s.Count(); ++i) {
      const FormEntry& e = s.Entry(i);
      if (!FormCatalogue::IsValid(e.IdPit) || e.IsAttachment() != attachments) continue;
      order.push_back(i);
    }
  }
  return order;
}

SettlementSession::SettlementSession(Settlement& s, IdentificationRecords& ids) : s_(s), ids_(ids) {}

SettlementSession::~SettlementSession() { s_.DocumentModified.SetListener(nullptr); }

void SettlementSession::SetModifiedListener(std::function<void(bool)> f) {
  s_.DocumentModified.SetListener(std::move(f));
}

// --- life cycle ------------------------------------------------------------------

void SettlementSession::New(int kind) {
  ForgetShownFields();
  damagedFile_.clear();
  diskFile_.clear();
  ids_.Clear();
  s_.Clear();
  s_.Open();
  s_.Kind = kind;
  s_.DocumentPath.clear();
  s_.DocumentName = kNewDocumentName;
  history_.Reset(s_, ids_);
}

void SettlementSession::Close() {
  ForgetShownFields();
  damagedFile_.clear();
  diskFile_.clear();
  ids_.Clear();
  s_.Clear();
  s_.DocumentPath.clear();
  s_.DocumentModified = false;
  history_.Reset(s_, ids_);
}

namespace {

// Two names of one file (a link, "./a" and "a") compare equal.
std::string SameFileKey(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::weakly_canonical(std::filesystem::u8path(path), ec);
  return ec ? path : p.u8string();
}

}  // namespace

FileResult SettlementSession::Open(const std::string& path) {
  if (defs_ == nullptr) return FileResult{false, "Brak definicji formularzy.", false};
  // A file that cannot be read leaves the open settlement as it was.
  FileResult r = LoadSettlement(path, s_, *defs_);
  if (!r.ok) return r;
  damagedFile_ = r.damaged ? SameFileKey(path) : std::string();
  diskFile_ = SameFileKey(path);
  diskContent_ = r.content;
  ForgetShownFields();
  ids_.Clear();
  for (int i = 1; i <= s_.Count(); ++i) CollectIdentification(s_, ids_, i);
  s_.DocumentModified = false;
  history_.Reset(s_, ids_);
  return r;
}

bool SettlementSession::SaveNeedsNewName(const std::string& path) const {
  return !damagedFile_.empty() && SameFileKey(path) == damagedFile_;
}

bool SettlementSession::ChangedOnDisk(const std::string& path) const {
  if (diskFile_.empty() || SameFileKey(path) != diskFile_) return false;
  const auto bytes = ReadFileBytes(path);
  // One that is there but cannot be read any more has changed too.
  if (!bytes) return FileExists(path);
  return ContentFingerprint(*bytes) != diskContent_;
}

FileResult SettlementSession::Save(const std::string& path, bool overwriteDamaged) {
  if (!overwriteDamaged && SaveNeedsNewName(path)) {
    return FileResult{false,
                      "Plik " + path +
                          " został otwarty z pominięciem uszkodzonych części i nie zostanie nadpisany.\n"
                          "Zapisz rozliczenie pod inną nazwą.",
                      false};
  }
  FileResult r = SaveSettlement(s_, path);
  if (r.ok) {
    damagedFile_.clear();
    diskFile_ = SameFileKey(path);
    diskContent_ = r.content;
    history_.MarkSaved(s_, ids_);
  }
  return r;
}

// --- the entry shown -----------------------------------------------------------------

int SettlementSession::PageCountOf(int idPit) const {
  if (!FormCatalogue::IsValid(idPit)) return 0;
  if (defs_ != nullptr) {
    if (const auto d = defs_->Description(idPit)) return d->PageCount;
  }
  return s_.Catalogue()[idPit].PageCount;
}

bool SettlementSession::MakeCurrent(int number, int page) {
  CurrentEntryState& c = s_.Current;
  if (!s_.Has(number) || !FormCatalogue::IsValid(s_.Entry(number).IdPit)) {
    c = CurrentEntryState{};
    return false;
  }
  const FormEntry& e = s_.Entry(number);
  c.Number = number;
  c.IdPit = e.IdPit;
  c.IdParent = e.IdParent;
  c.PM = e.PM;
  c.Kind = s_.Entry(1).Kind;
  c.PageCount = PageCountOf(e.IdPit);
  c.Page = page > 0 ? page : s_.Catalogue()[e.IdPit].LastPage;
  c.ReturnGuid = e.ReturnGuid;
  c.FieldUnderMouse = -1;
  return true;
}

std::vector<FieldObject>& SettlementSession::EnsureShownFields() {
  const CurrentEntryState& c = s_.Current;
  if (shownStale_ || c.Number != shownEntry_ || c.IdPit != shownIdPit_) {
    const std::vector<FieldObject>* recs = defs_ != nullptr ? defs_->Fields(c.IdPit) : nullptr;
    shown_ = recs ? *recs : std::vector<FieldObject>{};
    shownEntry_ = c.Number;
    shownIdPit_ = c.IdPit;
    shownStale_ = false;
  }
  return shown_;
}

void SettlementSession::ForgetShownFields() {
  shown_.clear();
  shownEntry_ = 0;
  shownIdPit_ = 0;
  shownStale_ = true;
}

std::vector<FieldObject> SettlementSession::FieldsAsShown(int number, std::vector<std::string>* messages) {
  if (!s_.Has(number) || defs_ == nullptr) return {};
  const int idPit = s_.Entry(number).IdPit;
  const std::vector<FieldObject>* recs = defs_->Fields(idPit);
  if (recs == nullptr) return {};
  std::vector<FieldObject> fields = *recs;
  // The entry shown on a screen of its own: the window, the open definition
  // and the settlement's current entry stay as they are.
  CalcContext ctx = OffscreenContext(number, 1, &fields);
  RunCalculation(ctx, idPit, number);
  SpouseFieldRules(ctx, idPit);
  ApplyFlags(ctx.shown, fields);
  if (messages) *messages = ctx.shown.messages.lines;
  return fields;
}

// --- calculations ---------------------------------------------------------------------

CalcContext SettlementSession::ContextFor(int entry, const CalcInput& input) {
  return ContextWith(input, entry == shownEntry_ && entry != 0 ? &shown_ : nullptr);
}

CalcContext SettlementSession::ContextWith(const CalcInput& input, const std::vector<FieldObject>* fields) {
  CalcContext ctx(s_, ids_, input, fields);
  if (countryCodeOf_) ctx.countryCodeOf = countryCodeOf_;
  return ctx;
}

CalcContext SettlementSession::OffscreenContext(int entry, int page, const std::vector<FieldObject>* fields) {
  CalcInput alone;
  alone.entry = entry;
  alone.idPit = s_.Entry(entry).IdPit;
  alone.page = page;
  return ContextWith(alone, fields);
}

CalcInput SettlementSession::InputFor(int entry, int editedField, int clickedField) {
  if (!view_) {
    // Each calculation shows the entry afresh, as a click in the tree.
    HeadlessDisplay& d = headless_;
    d.Show(entry, s_.Has(entry) ? s_.Entry(entry).IdPit : 0, s_.Current.Page > 0 ? s_.Current.Page : 1);
    d.edited = editedField;
    d.clicked = clickedField;
    return d.Input();
  }
  CalcInput in;
  in.entry = s_.Current.Number;
  in.idPit = s_.Current.IdPit;
  in.page = s_.Current.Page;
  in.committedField = editedField;
  in.clickedField = clickedField;
  in.reminderShown = reminderShown_;
  return in;
}

void SettlementSession::Deliver(const ShownResult& r) {
  if (!view_) {
    headless_.Take(r);
    return;
  }
  reminderShown_ = r.reminderShown;
  view_(r);
}

CalcStatus SettlementSession::Calculate(int entry, int editedField, int clickedField) {
  if (!s_.Has(entry)) return CalcStatus::Done;
  CalcContext ctx = ContextFor(entry, InputFor(entry, editedField, clickedField));
  const CalcStatus status = RunCalculation(ctx, s_.Entry(entry).IdPit, entry);
  if (entry == shownEntry_) ApplyFlags(ctx.shown, shown_);
  ListCuts(ctx, entry);
  Deliver(ctx.shown);
  return status;
}

std::vector<CutAmount> SettlementSession::Cuts() const { return StandingCuts(history_.Cuts(), {}, s_); }

void SettlementSession::DismissCuts() { history_.SetCuts({}); }

void SettlementSession::ListCuts(CalcContext& ctx, int shownEntry) const {
  const std::vector<CutAmount> cuts = Cuts();
  ShownResult& r = ctx.shown;
  const bool noticeShown = NoticeShown(r, ctx.input.idPit);
  // A form whose calculation keeps the list as it was gets nothing added.
  if (cuts.empty() || !(r.messages.replaced || noticeShown)) return;
  if (!noticeShown) {
    // Cut by an earlier commit and not given again since: the amounts are
    // still cut, and the notice stays with them.
    const std::string notice = ReductionNotice(s_.Entry(cuts.front().entry).IdPit);
    if (notice.empty()) return;
    r.SetMessageListHeight(MessageListHeight::Normal);
    r.AddMessage(notice);
  }
  for (const CutAmount& c : cuts) {
    // An amount of another form than the one shown says which.
    const int idPit = s_.Entry(c.entry).IdPit;
    const bool other = c.entry != shownEntry && FormCatalogue::IsValid(idPit);
    r.AddMessage(other ? s_.Catalogue()[idPit].Code + ", " + c.line : c.line);
  }
  // The list's normal height holds the notice and two lines.
  if (cuts.size() > 2) r.GrowMessageList(static_cast<int>(cuts.size() - 2));
}

CalcStatus SettlementSession::CalculateOffscreen(int entry, int page) {
  if (!s_.Has(entry)) return CalcStatus::Done;
  // Nobody sees what it asks to show.
  CalcContext ctx = OffscreenContext(entry, page, nullptr);
  return RunCalculation(ctx, s_.Entry(entry).IdPit, entry);
}

const CommitStep* SettlementSession::ChangeKind(int kind) {
  if (!s_.IsOpen() || s_.Kind == kind) return nullptr;
  history_.Follow(s_, ids_);
  const int before = s_.Kind;
  s_.Kind = kind;
  for (int i = 1; i <= s_.Count(); ++i) s_.Entry(i).Kind = kind;
  const CurrentEntryState shown = s_.Current;
  for (int i : OpeningOrder(s_)) CalculateOffscreen(i, shown.Number == i ? shown.Page : 1);
  s_.Current = shown;
  s_.Current.Kind = kind;
  SetModified(true);
  // Amounts cut before and still cut stay listed through the change.
  const std::vector<CutAmount> cutBefore = history_.Cuts();
  const CommitStep* step = history_.RecordKindChange(s_, ids_, shown.Number, shown.Page, before);
  history_.SetCuts(StandingCuts(cutBefore, {}, s_));
  return step;
}

OutputPreparation SettlementSession::PrepareForOutput() {
  OutputPreparation out;
  for (int i : OpeningOrder(s_)) {
    const int idPit = s_.Entry(i).IdPit;
    // The definition's records only name the printed position of a figure
    // that cannot be read, as the form window's message does.
    CalcContext ctx = OffscreenContext(i, s_.Current.Number == i ? s_.Current.Page : 1,
                                       defs_ != nullptr ? defs_->Fields(idPit) : nullptr);
    const CalcStatus st = RunCalculation(ctx, idPit, i);
    if (st == CalcStatus::Done) continue;
    OutputFailure failure{i, st, kCalculationStopped};
    for (const ShownWindow& w : ctx.shown.windows) {
      if (w.kind != ShownWindow::Kind::Error) continue;
      failure.error = w.text;
      break;
    }
    if (out.status == CalcStatus::Done) {
      out.status = st;
      out.error = failure.error;
    }
    out.failures.push_back(std::move(failure));
  }
  return out;
}

const OutputFailure* OutputPreparation::FailureIn(const Settlement& s, const std::string& returnGuid) const {
  for (const OutputFailure& f : failures) {
    if (s.Has(f.entry) && s.Entry(f.entry).ReturnGuid == returnGuid) return &f;
  }
  return nullptr;
}

CalcStatus SettlementSession::RecalculateAll(const PassHooks& hooks, bool goOn) {
  CalcStatus result = CalcStatus::Done;
  for (int i : OpeningOrder(s_)) {
    PassShow shown = PassShow::Shown;
    if (hooks.show) {
      shown = hooks.show(i);
    } else {
      // As a click in the tree: the entry shown at its last page, which
      // runs its calculation.
      MakeCurrent(i, 0);
      EnsureShownFields();
      if (Calculate(i) != CalcStatus::Done) {
        result = CalcStatus::BadAmount;
        if (!goOn) return result;
      }
    }
    if (shown == PassShow::Handled) continue;
    const CalcStatus st = shown == PassShow::Shown
                              ? Calculate(i)
                              : CalculateOffscreen(i, s_.Current.Number == i ? s_.Current.Page : 1);
    if (hooks.calculated) hooks.calculated(i);
    if (st != CalcStatus::Done) {
      result = st;
      if (!goOn) return result;
    }
  }
  return result;
}

// --- commits -----------------------------------------------------------------------------

CommitOutcome SettlementSession::Commit(int entry, int field, const FieldInput& input) {
  CommitOutcome out;
  if (!s_.Has(entry) || field < 0 || field >= kSlotCount) {
    out.accepted = false;
    return out;
  }
  // Whatever changed since the last commit belongs to it, not to this one.
  history_.Follow(s_, ids_);
  FormEntry& e = s_.Entry(entry);
  const auto at = static_cast<std::size_t>(field);
  const bool haveDef = entry == shownEntry_ && field < static_cast<int>(shown_.size());
  if (haveDef) {
    FieldObject& def = shown_[at];
    // The rules work on a copy of the slot; what they make of it is written
    // through the settlement.
    ValueSlot slot = e.Slots()[at];
    CommitResult r;
    switch (input.kind) {
      case FieldInput::Kind::Nothing:
        break;
      case FieldInput::Kind::Text:
        // A NIP, PESEL, date or postal code that cannot be right is not taken.
        r.message = CommitProblem(s_, entry, field, def, input.text);
        r.accepted = r.message.empty();
        if (r.accepted) r = CommitEditorText(def, slot, input.text);
        break;
      case FieldInput::Kind::Tick:
        if (def.Typ == kCheckbox && !def.ReadOnly) r = CommitCheckbox(s_, entry, field, shown_, input.tick);
        break;
      case FieldInput::Kind::Office:
        r = CommitTaxOffice(def, slot, input.office);
        break;
      case FieldInput::Kind::Country:
        r = CommitCountry(def, slot, input.countryName, input.text);
        break;
    }
    if (input.kind == FieldInput::Kind::Text || input.kind == FieldInput::Kind::Office ||
        input.kind == FieldInput::Kind::Country)
      s_.WriteSlot(entry, field, slot);
    out.accepted = r.accepted;
    out.message = r.message;
  } else if (input.kind != FieldInput::Kind::Nothing) {
    out.accepted = false;
  }
  // Passing through a field without changing it is no edit: the settlement
  // stays unmodified, and the save question with it. The journal holds
  // what the rules changed, and only that.
  for (const JournalRecord& r : s_.Journal()) {
    const SlotValues& was = r.before;
    const ValueSlot& now = s_.Entry(r.entry).Slots()[static_cast<std::size_t>(r.field)];
    if (was.Value != now.Value || was.CheckState != now.CheckState || was.OfficeCode != now.OfficeCode ||
        was.Spare != now.Spare) {
      out.changed = true;
      break;
    }
  }
  if (out.changed) s_.DocumentModified = true;
  const std::string given = e.Slots()[at].Value;
  // A tick box is committed by a click on it.
  const int clicked = input.clickedField >= 0 ? input.clickedField : input.kind == FieldInput::Kind::Tick ? field : -1;
  CalcContext ctx = ContextFor(entry, InputFor(entry, field, clicked));
  out.calc = RunCalculation(ctx, e.IdPit, entry);
  // The reductions below read the flags as the calculation left them.
  if (entry == shownEntry_) ApplyFlags(ctx.shown, shown_);
  // A birth date that contradicts the PESEL is kept, but said. The history
  // still has the persons' data from before the commit.
  if (out.changed) {
    const std::string warning = BirthDateWarning(history_.KnownIds(), ids_);
    if (!warning.empty()) ctx.shown.Warn(warning);
  }
  const std::vector<CutAmount> cutBefore = history_.Cuts();
  if (out.calc != CalcStatus::Done) {
    // The calculation took back what it wrote; what the user gave stays,
    // and waits for the next step rather than making one with nothing
    // calculated from it.
    history_.Hold(s_, ids_);
    history_.SetCuts(StandingCuts(cutBefore, {}, s_));
    ListCuts(ctx, entry);
    Deliver(ctx.shown);
    return out;
  }
  // The commit as one step of the history. The amounts it cut join those
  // cut before that are still cut, and stay listed under the reduction
  // notice until they are given again or the user puts the list away.
  const CommitStep* step = history_.Record(s_, ids_, entry, field, s_.Current.Page, out.changed);
  std::vector<CutAmount> added;
  if (step != nullptr) {
    const auto recordsOf = [this](int n) -> const std::vector<FieldObject>* {
      if (n == shownEntry_) return &shown_;
      return defs_ != nullptr && s_.Has(n) ? defs_->Fields(s_.Entry(n).IdPit) : nullptr;
    };
    added = ReducedAmounts(*step, given, recordsOf, s_);
  }
  history_.SetCuts(StandingCuts(cutBefore, added, s_));
  ListCuts(ctx, entry);
  Deliver(ctx.shown);
  return out;
}

namespace {
CommitOutcome Refused(std::string message) {
  CommitOutcome out;
  out.accepted = false;
  out.message = std::move(message);
  return out;
}
}  // namespace

CommitOutcome SettlementSession::CommitTyped(int entry, int field, const std::string& text) {
  if (!s_.Has(entry)) return Refused("Rozliczenie nie ma pozycji " + std::to_string(entry) + ".");
  const FormEntry& e = s_.Entry(entry);
  const std::string code = FormCatalogue::IsValid(e.IdPit) ? s_.Catalogue()[e.IdPit].Code : std::string("?");
  const std::vector<FieldObject>* recs = defs_ != nullptr ? defs_->Fields(e.IdPit) : nullptr;
  if (recs == nullptr) {
    CommitOutcome out = Refused("Brak pliku definicji formularza " + code + ": " +
                                (defs_ != nullptr ? defs_->DcsPath(e.IdPit) : std::string()));
    out.noDefinition = true;
    return out;
  }
  if (field < 0 || field >= static_cast<int>(recs->size())) {
    return Refused("Formularz " + code + " nie ma pola " + std::to_string(field) + ".");
  }
  // As the user would get there: the entry shown at the field's page.
  MakeCurrent(entry, (*recs)[static_cast<std::size_t>(field)].Page);
  EnsureShownFields();
  if (const CalcStatus st = Calculate(entry); st != CalcStatus::Done) {
    CommitOutcome out;
    out.calc = st;
    return out;
  }
  const FieldObject& def = shown_[static_cast<std::size_t>(field)];
  const std::string where = "Pole " + std::to_string(field) + " formularza " + code;
  if (!def.Visible || def.ReadOnly) return Refused(where + " nie jest do wypełnienia (jest wyliczane lub ukryte).");
  switch (def.Typ) {
    case kCheckbox:
      if (text != "X" && !text.empty()) return Refused("Pole wyboru przyjmuje \"X\" (zaznaczone) albo pustą wartość.");
      return Commit(entry, field, FieldInput::Ticked(text == "X"));
    case kUrzadSkarbowy: {
      if (text.empty()) return Commit(entry, field, FieldInput::TaxOffice(std::nullopt));
      std::optional<OfficeChoice> office = officeByCode_ ? officeByCode_(text) : std::nullopt;
      if (!office) return Refused("Nieznany kod urzędu skarbowego: " + text);
      return Commit(entry, field, FieldInput::TaxOffice(std::move(office)));
    }
    case kKraj:
      if (!text.empty() && !(countryKnown_ && countryKnown_(text))) return Refused("Nieznany kraj: " + text);
      return Commit(entry, field,
                    FieldInput::Country(text.empty() ? std::nullopt : std::optional<std::string>(text), text));
    case kKreska:
      return Refused(where + " jest przekreśleniem i nie przyjmuje wartości.");
    case kLiczba:
    case kJedenProcent: {
      // The amount box takes only what its keys allow; a value it would
      // change (other than "." typed as ",") is refused rather than stored
      // differently from what was asked for.
      std::string asTyped = text;
      for (char& ch : asTyped)
        if (ch == '.') ch = ',';
      if (TypeIntoAmountBox(text, def.PlusValue, def.Option) != asTyped) {
        return Refused(where + " nie przyjmuje wartości \"" + text +
                       "\": kwota to cyfry, najwyżej dwie po przecinku" +
                       (def.PlusValue ? "" : ", ewentualnie z minusem na początku") + ".");
      }
      return Commit(entry, field, FieldInput::Typed(asTyped));
    }
    default: {
      // What the user asked for is stored as asked, or refused: no control
      // characters, nothing the file's code page cannot hold, nothing cut.
      if (WithoutControls(text) != text) return Refused(where + " nie przyjmuje znaków sterujących.");
      if (!FitsCp1250(text)) {
        return Refused(where + " przyjmuje tylko znaki polskiego alfabetu i zwykłe znaki pisarskie.");
      }
      // As many characters as the field's editor takes, at most what the
      // value slot holds.
      const std::size_t room = static_cast<std::size_t>(def.MaxChar > 0 ? def.MaxChar : 254);
      if (Cp1250Length(text) > std::min<std::size_t>(room, 254)) {
        return Refused(where + " mieści najwyżej " + std::to_string(std::min<std::size_t>(room, 254)) +
                       " znaków.");
      }
      return Commit(entry, field, FieldInput::Typed(text));
    }
  }
}

}  // namespace pit
