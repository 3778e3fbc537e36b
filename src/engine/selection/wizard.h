#pragma once
// The form-selection wizard without its window: the start page's choices,
// the question records, the walk over the pages in both directions with the
// questions that do not apply passed over, the entries each answer adds and
// going back takes away, and the check of a page before it is left. The
// window (TKreator) draws PageView() and passes the user's clicks here.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "selection/wizard_tables.h"

namespace pit {

class DefinitionLibrary;

// One record of the question table, as the window keeps it for a page.
struct WizardRecord {
  int IdPit = 0;
  bool Shown[kWizardGroupCount] = {};  // taxpayer, spouse, general
  bool OneBoxOnly = false;
  std::int16_t Answer[kWizardGroupCount] = {kAnswerNone, kAnswerNone, kAnswerNone};
  bool Boxes[kWizardBoxCount] = {};  // PZ1..PZ5, MZ1..MZ5, OZ1..OZ6
};

// Index of box `box` (1-based) of a group in WizardRecord::Boxes.
int WizardBoxIndex(int group, int box);

// The start page's controls.
struct WizardStartPage {
  int Kind = kIndividual;  // TypAlgorytm
  // KROK 2 of individual returns: will the spouse's data be given in
  // PIT/O, PIT/D, PIT/2K, PIT/UZ (RBTAK, RBNIE; none chosen yet).
  bool SpouseQuestionVisible = true;
  int SpouseQuestion = kAnswerNone;
  bool SpouseDataEnabled = false;  // PDruki and its four boxes
  SpouseDataFlags SpouseData;
  std::string IdentifierCaption;
  int Taxpayer = kIdNip;  // RGPodatnika
  int Spouse = kIdNone;   // RGMalzonka, -1: nothing chosen
  bool SpouseEnabled = false;
};

struct WizardBoxView {
  bool Visible = false;
  bool Enabled = false;
  bool Checked = false;
  std::string Caption;
};

struct WizardGroupView {
  bool Visible = false;
  int Answer = kAnswerNone;
  bool LabelVisible = false;  // " dołącz do druku:"
  // By box number - 1 (PZ1 is [0]); the visible ones are laid out one under
  // the other in this order.
  std::array<WizardBoxView, kWizardMaxBoxes> Boxes;
};

// What the window shows for the current page.
struct WizardPageView {
  int Page = 0;
  int PageCount = 0;  // N
  bool StartPage = false;
  bool EndPage = false;
  std::string Caption;
  std::string File;  // page file in the "alg" folder; empty on the start page
  bool BackEnabled = false;
  bool ForwardEnabled = false;
  bool FinishEnabled = false;
  bool SmallButtonsVisible = false;
  bool ProgressVisible = false;
  int ProgressMax = 0;
  int ProgressPosition = 0;
  bool AnswersVisible = false;  // the answer column
  WizardGroupView Groups[kWizardGroupCount];
};

// What the main window does after "zakończ": as after a confirmed manual
// selection.
struct WizardFinish {
  int FirstEntry = 0;  // entry to show first; 0 when the settlement is empty
  bool EFilingVisible = true;
  bool EFilingEnabled = true;
  bool ToolbarExtrasVisible = true;
};

class Wizard {
 public:
  explicit Wizard(Settlement& s);

  static constexpr const char* kCaption = "Podatnicy składający zeznanie podatkowe - kreator doboru formularzy";
  static constexpr const char* kNoAnswer =
      "Nie udzielono wszystkich odpowiedzi. Udziel odpowiedzi i spróbuj ponownie.";
  static constexpr const char* kNoBox = "Nie zaznaczono żadnego zezenania. Udziel odpowiedzi i spróbuj ponownie.";

  // --- the start page ------------------------------------------------------
  // The window shown: page 0 of an individual return, nothing answered.
  void Show();
  void ChooseKind(int kind);                // TypAlgorytmClick
  void AnswerSpouseQuestion(bool yes);      // RBTAKClick
  void SetSpouseDataBox(int idPit, bool checked);
  void SetTaxpayerId(int index);            // RGPodatnikaClick
  void SetSpouseId(int index);
  const WizardStartPage& Start() const { return start_; }

  // --- the questions -------------------------------------------------------
  // The answer of a group (PodatnikClick, MalzonekClick, OdpowiedzClick).
  void Answer(int group, int answer);
  // A box of a group pressed (1-based box number); `checked` is the state
  // the box asks for. On a one-box-only question the pressed box is the
  // only one ticked afterwards.
  void PressBox(int group, int box, bool checked);

  // --- moving --------------------------------------------------------------
  // "dalej": the page's check, then its entries, then the next page that
  // applies. Returns the message that keeps the user on the page, or "".
  std::string Forward();
  // "wstecz": the previous page that applies, its entries taken away.
  void Back();
  // The check of the current page alone: "" when it may be left.
  std::string Validate() const;

  // "zakończ" (only on the end page with forms): the settlement is made
  // ready for filling and named as a new one.
  WizardFinish Finish(DefinitionLibrary& defs);
  // "anuluj": nothing is kept.
  void Cancel();

  // --- state -----------------------------------------------------------------
  int Kind() const { return kind_; }
  int Page() const { return page_; }
  int PageCount() const { return pages_; }
  bool CanFinish() const;
  const WizardRecord& Record(int page) const { return records_[static_cast<std::size_t>(page)]; }
  WizardPageView PageView() const;
  // The question of a page (1 .. N-1); nullptr for the start and end pages.
  const WizardQuestionSpec* Question(int page) const;
  // True when the question of `page` applies with the settlement as it is.
  bool Applies(int page) const;
  // Entry number of a main form, or -1.
  int FindMain(const WizardMain& main) const;

 private:
  void LeaveStartPage();
  void FillRecords();
  void ApplyForward(int page);
  void ApplyBackward(int page);
  // Passes over, in direction `step`, the questions that do not apply.
  void Skip(int step);
  // Lays out the current page: which groups and boxes are shown; stored
  // states of what is not shown are cleared.
  void LayOut();
  bool GroupVisible(int page, int group) const;
  bool BoxVisible(int page, const WizardBoxSpec& box) const;
  std::vector<const WizardBoxSpec*> VisibleBoxes(int page, int group) const;
  int PlaceOf(const WizardGroupSpec& g) const;
  bool PersonOnNip(int pm) const;

  Settlement& s_;
  WizardStartPage start_;
  int kind_ = kIndividual;
  int page_ = 0;
  int pages_ = 20;
  std::array<WizardRecord, 22> records_{};
};

}  // namespace pit
