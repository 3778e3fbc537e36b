#pragma once
// The question tables of the form-selection wizard: for each kind of
// taxpayer's settlement, one question per form, in the order asked, with
// the answer groups it shows, where a "TAK" puts the form's entries and when
// the question applies at all. Data only; the walk is in wizard.h.
#include <vector>

#include "app/settlement.h"

namespace pit {

// The three answer groups of a question, in the order of their records.
enum WizardGroupId : int { kGroupTaxpayer = 0, kGroupSpouse = 1, kGroupGeneral = 2 };
constexpr int kWizardGroupCount = 3;
// Boxes of each group: PZ1..PZ5, MZ1..MZ5, OZ1..OZ6.
constexpr int kWizardBoxesPerGroup[kWizardGroupCount] = {5, 5, 6};
constexpr int kWizardMaxBoxes = 6;
constexpr int kWizardBoxCount = 16;

enum WizardAnswer : int { kAnswerNone = -1, kAnswerYes = 0, kAnswerNo = 1 };

// A main form of the settlement: an entry of this type and person at the
// top level. SSE-R is the one main form that is itself under a form: the
// SSE-R of a person is the one under entry 1 (the PIT-36).
struct WizardMain {
  int IdPit = 0;
  int PM = kPmNone;
};

// A box of a group: ticked, it puts one entry under its main form.
struct WizardBoxSpec {
  int Box = 0;  // 1-based number of the box in its group (PZn, MZn, OZn)
  const char* Caption = "";
  WizardMain Main;
  int EntryPM = kPmNone;
};

enum class WizardPlacement {
  MainForm,   // a main form of its own
  UnderMain,  // under the group's main form
  Boxes,      // under the main form of each ticked box
};

struct WizardGroupSpec {
  bool Used = false;  // the table lists the group for the question
  WizardPlacement Where = WizardPlacement::MainForm;
  WizardMain Main;          // UnderMain
  int EntryPM = kPmNone;    // MainForm, UnderMain
  std::vector<WizardBoxSpec> Boxes;
  // Joint returns: the group belongs to a person who must be on NIP; fixed
  // when the first page is left.
  bool OwnNipOnly = false;
  // The group is shown only while this form of the group's person is in the
  // settlement under the group's main form (0: not needed), e.g. PIT/Z only
  // for a person who has a PIT/B.
  int NeedsUnderMain = 0;
  // The group is shown only while its main form is present (a person's
  // PIT-28/A needs that person's PIT-28).
  bool NeedsMain = false;
};

enum class WizardNip {
  Any,       // whatever the identifiers
  Taxpayer,  // the taxpayer on NIP
  Anyone,    // at least one person on NIP
};

// When a question applies; all stated parts must hold.
struct WizardAskWhen {
  // At least one of these main forms is present (empty: nothing needed).
  std::vector<WizardMain> AnyMain;
  // With AnyMain: an entry of this type, of any person, is under one of them.
  int AttachmentUnder = 0;
  // This main form (PM 0) is not present.
  int AbsentMain = 0;
  WizardNip Nip = WizardNip::Any;
  // When the question does not apply it is passed over with its answers
  // kept, instead of being answered "NIE".
  bool KeepAnswers = false;
};

struct WizardQuestionSpec {
  int IdPit = 0;
  bool OneBoxOnly = false;
  WizardGroupSpec Groups[kWizardGroupCount];
  WizardAskWhen Ask;
  // A box is shown only when its main form already holds this attachment of
  // the box's person (PIT/Z needs PIT/B, PIT/2K needs PIT/D, PIT/UZ needs
  // PIT/O), so that no form is added without the one it goes with.
  int BoxNeeds = 0;
};

// The questions of a wizard kind (0 individual, 1 joint, 2 single parent),
// page 1 first; empty for other kinds.
const std::vector<WizardQuestionSpec>& WizardQuestions(int kind);

// Page count N of a kind: the questions are pages 1 .. N-1, N is the end.
int WizardPageCount(int kind);

}  // namespace pit
