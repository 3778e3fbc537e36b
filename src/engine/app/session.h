#pragma once
// One settlement being worked on: the document's life cycle (new, open,
// save, close), the entry and page shown, committing what the user gave for
// a field (the commit rules of its type, then the calculation), the opening
// pass, and the modified state with its one notification.
//
// Both programs run their documents through it: the desktop program with the
// form window showing what the calculations ask for (through a thin Qt
// wrapper that turns the notification into a signal), the command-line
// program with the session's own headless display. Every edit of a value goes through Commit, and every
// change of the file through Open/Save/New/Close, so that an undo of whole
// commits or a lock on the file can be added in one place.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/document.h"
#include "app/settlement.h"
#include "app/undo.h"
#include "calc/calculation.h"
#include "app/headless_display.h"
#include "calc/identification.h"
#include "forms/field_object.h"
#include "forms/values.h"

namespace pit {

class DefinitionLibrary;

// What the user gave for one field.
struct FieldInput {
  enum class Kind {
    Nothing,  // an editor that had nothing to commit: the calculation still runs
    Text,     // the text of an editor that holds text (amount, text, NIP, date, KRS)
    Tick,     // a tick box ticked or unticked
    Office,   // a tax office chosen from the list, or none
    Country,  // a country row chosen (or none) and the search text
  };
  Kind kind = Kind::Nothing;
  std::string text;                        // Text; Country: the search text
  bool tick = false;                       // Tick
  std::optional<OfficeChoice> office;      // Office: empty clears the field
  std::optional<std::string> countryName;  // Country: the row chosen
  // The field a click on the page landed on when the click committed the
  // value (another than `field` when it left an editor open there); -1:
  // none, or the ticked box itself for a tick.
  int clickedField = -1;

  static FieldInput Typed(std::string t) {
    FieldInput in;
    in.kind = Kind::Text;
    in.text = std::move(t);
    return in;
  }
  static FieldInput Ticked(bool on) {
    FieldInput in;
    in.kind = Kind::Tick;
    in.tick = on;
    return in;
  }
  static FieldInput TaxOffice(std::optional<OfficeChoice> o) {
    FieldInput in;
    in.kind = Kind::Office;
    in.office = std::move(o);
    return in;
  }
  static FieldInput Country(std::optional<std::string> chosen, std::string searchText) {
    FieldInput in;
    in.kind = Kind::Country;
    in.countryName = std::move(chosen);
    in.text = std::move(searchText);
    return in;
  }
};

struct CommitOutcome {
  bool accepted = true;   // the commit rules took the value
  std::string message;    // for the user when not accepted (may be empty)
  CalcStatus calc = CalcStatus::Done;
  bool noDefinition = false;  // the form's definition file is missing
  bool changed = false;   // some value of the entry differs from before the commit
  bool ok() const { return accepted && calc == CalcStatus::Done; }
};

// How a front end takes part in the opening pass: it shows the entry (or
// not), and hears when its calculation has run.
enum class PassShow {
  Shown,     // the entry is current, its definition open: calculate it as shown
  Offpage,   // current, but with no page on screen: calculate it with nobody watching
  Handled,   // the front end has calculated it, or could not make it current
};
struct PassHooks {
  std::function<PassShow(int entry)> show;       // default: MakeCurrent at the form's last page
  std::function<void(int entry)> calculated;     // after each calculation
};

// A settlement brought up to date for printing or export.
// Said of a calculation that stopped without a message of its own.
inline constexpr char kCalculationStopped[] = "Obliczenie formularza zostało przerwane.";

struct OutputFailure {
  int entry = 0;
  CalcStatus status = CalcStatus::Done;
  std::string error;  // the message its calculation gave, or kCalculationStopped
};

struct OutputPreparation {
  CalcStatus status = CalcStatus::Done;  // the first failure, if any
  std::string error;                     // and the message it gave (never empty then)
  std::vector<OutputFailure> failures;   // every entry that failed, in calculation order

  // The first failure among the forms of the return `returnGuid`: a return
  // is handed on when its own figures could be worked out, whatever another
  // return of the settlement holds.
  const OutputFailure* FailureIn(const Settlement& s, const std::string& returnGuid) const;
};

// Which e-filing commands the settlement allows.
struct EFilingState {
  bool visible = true;  // the send and check commands are shown
  bool enabled = true;  // the send and open-XML commands are enabled
};
EFilingState EFilingFor(const Settlement& s);

class SettlementSession {
 public:
  SettlementSession(Settlement& s, IdentificationRecords& ids);
  SettlementSession(const SettlementSession&) = delete;
  SettlementSession& operator=(const SettlementSession&) = delete;
  ~SettlementSession();

  Settlement& Doc() { return s_; }
  const Settlement& Doc() const { return s_; }
  IdentificationRecords& Ids() { return ids_; }

  // --- wiring -----------------------------------------------------------------
  void SetDefinitions(DefinitionLibrary* defs) { defs_ = defs; }
  DefinitionLibrary* Definitions() const { return defs_; }
  // Who shows what the calculations ask for (the form window); without
  // one the session's headless display gathers it.
  // `owner` names who set it, so that only the same owner takes it away.
  using ResultView = std::function<void(const ShownResult&)>;
  void SetResultView(ResultView view, const void* owner) {
    view_ = std::move(view);
    viewOwner_ = owner;
  }
  void DropResultView(const void* owner) {
    if (owner != viewOwner_) return;
    view_ = nullptr;
    viewOwner_ = nullptr;
  }
  bool HasResultView() const { return static_cast<bool>(view_); }
  // A new display of a page began: its reminders may come once again.
  void PageDisplayed() { reminderShown_ = false; }
  HeadlessDisplay& Headless() { return headless_; }
  const HeadlessDisplay& Headless() const { return headless_; }
  // Country name -> code (the dictionary), for every calculation.
  void SetCountryLookup(std::function<std::string(const std::string&)> f) { countryCodeOf_ = std::move(f); }
  // Tax office code -> its row, for a code typed as text (command line).
  void SetTaxOfficeLookup(std::function<std::optional<OfficeChoice>(const std::string&)> f) {
    officeByCode_ = std::move(f);
  }
  // Known country names, for a country typed as text (command line).
  void SetCountryCheck(std::function<bool(const std::string&)> f) { countryKnown_ = std::move(f); }

  // --- the modified state ---------------------------------------------------
  bool Modified() const { return s_.DocumentModified; }
  void SetModified(bool on) { s_.DocumentModified = on; }
  // Called once each time the state changes (whoever changes it).
  void SetModifiedListener(std::function<void(bool)> f);

  // --- life cycle -------------------------------------------------------------
  // An empty open settlement of kind `kind`, not yet saved.
  void New(int kind);
  // The persons' data and the settlement dropped: nothing open, not modified.
  void Close();
  // Replaces the settlement by the file's and collects the persons' data
  // from it. A file that cannot be read leaves the open settlement alone.
  FileResult Open(const std::string& path);
  // Writes the settlement; the previous file stays when it fails. A file
  // that was opened with parts skipped or cut is not written over (that
  // would lose those parts for good) unless `overwriteDamaged`: the front
  // end asks for another name instead (SaveNeedsNewName).
  FileResult Save(const std::string& path, bool overwriteDamaged = false);
  // Whether saving to `path` would write over a file opened damaged.
  bool SaveNeedsNewName(const std::string& path) const;
  // Whether `path` is the file this session last read or wrote and another
  // program has changed it on disk since: saving over it would throw that
  // change away unseen, so the front end asks first.
  bool ChangedOnDisk(const std::string& path) const;

  // --- the entry shown ----------------------------------------------------------
  // Makes entry `number` current at `page` (0: the page the form was last
  // shown at): settlement.Current filled from the entry. False when there is
  // no such entry (Current is then emptied).
  bool MakeCurrent(int number, int page = 0);
  // Pages of a form type: its definition's, else the catalogue's.
  int PageCountOf(int idPit) const;
  // The open definition of the current entry: loaded when the entry shown
  // changed. The flags its calculations set go into it.
  std::vector<FieldObject>& EnsureShownFields();
  std::vector<FieldObject>& ShownFields() { return shown_; }
  int ShownFieldsEntry() const { return shownEntry_; }
  // The open definition given up (the window closed its form).
  void ForgetShownFields();
  // The field records of entry `number` as the form window holds them with
  // that entry shown: the definition file's records with what the entry's
  // calculation and the spouse rules change while a form is shown (an
  // identifier's cell count by its kind, read-only and hidden fields). The
  // strike-through lines are values and are brought up to date too. Every
  // output that draws a form (printing, the HTML copy, a rendered page)
  // draws it with these, whichever entry the window shows. Empty when the
  // form has no definition file. The lines its calculation puts in the
  // message list go to `messages` when given.
  std::vector<FieldObject> FieldsAsShown(int number, std::vector<std::string>* messages = nullptr);

  // --- calculations -------------------------------------------------------------
  // The context every calculation of the session runs with.
  CalcContext ContextFor(int entry, const CalcInput& input);
  // What a calculation of entry `entry` is told: the entry current, the
  // field committed (its calculation runs with it still being edited) and
  // the field whose click started it.
  CalcInput InputFor(int entry, int editedField = -1, int clickedField = -1);
  // Entry `entry`'s calculation, what it asks to show handed to the result
  // view (or the headless display).
  CalcStatus Calculate(int entry, int editedField = -1, int clickedField = -1);
  // The same on a screen of its own: for an entry with no page on screen.
  CalcStatus CalculateOffscreen(int entry, int page);
  // The opening pass: attachments first, then main forms, each made current
  // and calculated. Stops at the first failure unless `goOn`.
  CalcStatus RecalculateAll(const PassHooks& hooks = {}, bool goOn = true);
  // Every entry calculated, attachments first, none of them put on a page
  // and nothing shown: the values every output reads, the same whichever
  // entry the window shows and wherever the output is started from. The
  // entry shown, the open definition and the result view are left alone.
  // A failure does not stop the others; the first one is reported.
  OutputPreparation PrepareForOutput();

  // --- commits -------------------------------------------------------------------
  // What the user gave for field `field` of entry `entry` (the current one)
  // by the rules of the field's type; then the document is modified and the
  // entry calculated, also when the rules refused the value.
  CommitOutcome Commit(int entry, int field, const FieldInput& input);
  // A value given as text, as a user types it (the command line): the entry
  // is made current at the field's page and calculated, the text is checked
  // against the field's type (a tick "X" or empty, a tax office code, a
  // country name, an amount exactly as the amount box would take it) and
  // committed. Refusals say why in Polish.
  CommitOutcome CommitTyped(int entry, int field, const std::string& text);

  // --- undo and redo of whole commits ----------------------------------------------
  // New, Open and Close start the history; a save marks its saved state.
  CommitHistory& History() { return history_; }
  // The last commit taken back (done again): its value and everything its
  // calculations changed, the modified state following. The step, or
  // nullptr when there is none.
  const CommitStep* Undo() { return history_.Undo(s_, ids_); }
  // The settlement's kind (the method of taxation) changed to `kind` with
  // the same forms, every entry calculated again without a page on screen:
  // one step of the history, the document modified. The entry shown stays
  // current. The step, or nullptr when the kind was already `kind`.
  const CommitStep* ChangeKind(int kind);
  const CommitStep* Redo() { return history_.Redo(s_, ids_); }

  // --- the amounts that calculations cut ----------------------------------------------
  // Listed under the reduction notice each time the notice is shown, from
  // the commit that cut them until they are given again (or restored) or
  // the list is put away; undo and redo bring back the list of the step
  // they restore.
  std::vector<CutAmount> Cuts() const;
  void DismissCuts();

 private:
  CalcContext ContextWith(const CalcInput& input, const std::vector<FieldObject>* fields);
  // An entry calculated on a screen of its own at `page`, with `fields` as
  // the records of its form it reads, if any.
  CalcContext OffscreenContext(int entry, int page, const std::vector<FieldObject>* fields);
  // The cut amounts under the notice (which comes with them when the
  // calculation did not show it); those of another entry than `shownEntry`
  // named with their form.
  void ListCuts(CalcContext& ctx, int shownEntry) const;
  // What a calculation asked to show, to whoever shows it.
  void Deliver(const ShownResult& r);

  Settlement& s_;
  IdentificationRecords& ids_;
  DefinitionLibrary* defs_ = nullptr;
  ResultView view_;
  const void* viewOwner_ = nullptr;
  HeadlessDisplay headless_;
  bool reminderShown_ = false;  // during the page display of the result view
  std::function<std::string(const std::string&)> countryCodeOf_;
  std::function<std::optional<OfficeChoice>(const std::string&)> officeByCode_;
  std::function<bool(const std::string&)> countryKnown_;
  std::vector<FieldObject> shown_;
  CommitHistory history_;
  std::string damagedFile_;  // the file opened with parts skipped or cut
  std::string diskFile_;     // the file last read or written
  std::uint64_t diskContent_ = 0;  // and the fingerprint of its bytes then
  int shownEntry_ = 0;
  int shownIdPit_ = 0;
  bool shownStale_ = true;
};

// Entry numbers in the order of the opening pass: attachments, then main
// forms, each group in entry order; entries of unknown types left out.
std::vector<int> OpeningOrder(const Settlement& s);

}  // namespace pit
