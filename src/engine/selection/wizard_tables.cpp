#include "selection/wizard_tables.h"

namespace pit {

namespace {

constexpr int P = kPmTaxpayer;
constexpr int M = kPmSpouse;

// --- building blocks of the rows ------------------------------------------------

WizardGroupSpec MainForm(int pm = kPmNone) {
  WizardGroupSpec g;
  g.Used = true;
  g.Where = WizardPlacement::MainForm;
  g.EntryPM = pm;
  return g;
}

WizardGroupSpec Under(WizardMain main, int pm = kPmNone) {
  WizardGroupSpec g;
  g.Used = true;
  g.Where = WizardPlacement::UnderMain;
  g.Main = main;
  g.EntryPM = pm;
  return g;
}

WizardGroupSpec Boxes(std::vector<WizardBoxSpec> boxes) {
  WizardGroupSpec g;
  g.Used = true;
  g.Where = WizardPlacement::Boxes;
  g.Boxes = std::move(boxes);
  return g;
}

WizardGroupSpec OwnNip(WizardGroupSpec g) {
  g.OwnNipOnly = true;
  return g;
}

WizardGroupSpec NeedsMain(WizardGroupSpec g) {
  g.NeedsMain = true;
  return g;
}

WizardGroupSpec NeedsUnder(int idPit, WizardGroupSpec g) {
  g.NeedsUnderMain = idPit;
  return g;
}

// A question answered in the general group only.
WizardQuestionSpec General(int idPit, WizardGroupSpec g, WizardAskWhen ask = {}, bool oneBox = false,
                           int boxNeeds = 0) {
  WizardQuestionSpec q;
  q.IdPit = idPit;
  q.OneBoxOnly = oneBox;
  q.Groups[kGroupGeneral] = std::move(g);
  q.Ask = std::move(ask);
  q.BoxNeeds = boxNeeds;
  return q;
}

// A question answered by the taxpayer and by the spouse.
WizardQuestionSpec Persons(int idPit, WizardGroupSpec taxpayer, WizardGroupSpec spouse, WizardAskWhen ask = {}) {
  WizardQuestionSpec q;
  q.IdPit = idPit;
  q.Groups[kGroupTaxpayer] = std::move(taxpayer);
  q.Groups[kGroupSpouse] = std::move(spouse);
  q.Ask = std::move(ask);
  return q;
}

WizardAskWhen AnyOf(std::vector<WizardMain> mains, WizardNip nip = WizardNip::Any) {
  WizardAskWhen a;
  a.AnyMain = std::move(mains);
  a.Nip = nip;
  return a;
}

WizardAskWhen AttachedTo(int attachment, std::vector<WizardMain> mains, WizardNip nip = WizardNip::Any) {
  WizardAskWhen a = AnyOf(std::move(mains), nip);
  a.AttachmentUnder = attachment;
  return a;
}

WizardAskWhen Without(int idPit) {
  WizardAskWhen a;
  a.AbsentMain = idPit;
  return a;
}

WizardAskWhen TaxpayerNipKeepingAnswers() {
  WizardAskWhen a;
  a.Nip = WizardNip::Taxpayer;
  a.KeepAnswers = true;
  return a;
}

constexpr WizardMain kMain36{kPit36, 0};
constexpr WizardMain kMain36L{kPit36L, 0};
constexpr WizardMain kMain37{kPit37, 0};
constexpr WizardMain kMain28{kPit28, 0};
constexpr WizardMain kMain38{kPit38, 0};
constexpr WizardMain kMain39{kPit39, 0};
constexpr WizardMain kMainSseR{kSseR, 0};

// The boxes of PIT/D, PIT/2K and PIT/O of individual and single-parent returns.
std::vector<WizardBoxSpec> ReliefBoxes() {
  return {{1, "PIT-28", kMain28, 0}, {2, "PIT-36", kMain36, 0}, {3, "PIT-37", kMain37, 0}};
}
std::vector<WizardBoxSpec> UzBoxes() { return {{2, "PIT-36", kMain36, 0}, {3, "PIT-37", kMain37, 0}}; }

std::vector<WizardQuestionSpec> IndividualQuestions() {
  const std::vector<WizardBoxSpec> business = {{1, "PIT-36", kMain36, 0}, {2, "PIT-36L", kMain36L, 0}};
  const WizardNip nip = WizardNip::Taxpayer;
  return {
      /* 1 */ General(kPit37, MainForm()),
      /* 2 */ General(kPit36, MainForm(), Without(kPit37)),
      /* 3 */ General(kPit36L, MainForm(), TaxpayerNipKeepingAnswers()),
      /* 4 */ General(kPit28, MainForm()),
      /* 5 */ General(kPit38, MainForm()),
      /* 6 */ General(kPit39, MainForm()),
      /* 7 */ General(kPitB, Boxes(business), AnyOf({kMain36, kMain36L}, nip)),
      /* 8 */ General(kPitZ, Boxes(business), AttachedTo(kPitB, {kMain36, kMain36L}, nip), true, kPitB),
      /* 9 */ General(kSseR, Under(kMain36), AnyOf({kMain36}, nip)),
      /* 10 */ General(kSseA, Under(kMainSseR), AnyOf({kMainSseR}, nip)),
      /* 11 */ General(kSseRA, Under(kMainSseR), AnyOf({kMainSseR}, nip)),
      /* 12 */
      General(kPitZG,
              Boxes({{1, "PIT-36", kMain36, 0}, {2, "PIT-36L", kMain36L, 0}, {3, "PIT-38", kMain38, 0},
                     {4, "PIT-39", kMain39, 0}}),
              AnyOf({kMain36, kMain36L, kMain38, kMain39})),
      /* 13 */ General(kPitM, Under(kMain36), AnyOf({kMain36})),
      /* 14 */ General(kPit28A, Under(kMain28), AnyOf({kMain28})),
      /* 15 */ General(kPit28B, Under(kMain28), AnyOf({kMain28}, nip)),
      /* 16 */ General(kPitD, Boxes(ReliefBoxes()), AnyOf({kMain28, kMain36, kMain37}), true),
      /* 17 */
      General(kPit2K, Boxes(ReliefBoxes()), AttachedTo(kPitD, {kMain28, kMain36, kMain37}), true, kPitD),
      /* 18 */ General(kPitO, Boxes(ReliefBoxes()), AnyOf({kMain28, kMain36, kMain37})),
      /* 19 */ General(kPit16A, MainForm(), TaxpayerNipKeepingAnswers()),
      /* 20 */ General(kPitUZ, Boxes(UzBoxes()), AttachedTo(kPitO, {kMain36, kMain37}), false, kPitO),
  };
}

std::vector<WizardQuestionSpec> SingleParentQuestions() {
  const WizardNip nip = WizardNip::Taxpayer;
  return {
      /* 1 */ General(kPit37, MainForm()),
      /* 2 */ General(kPit36, MainForm(), Without(kPit37)),
      /* 3 */ General(kPit28, MainForm()),
      /* 4 */ General(kPit38, MainForm()),
      /* 5 */ General(kPit39, MainForm()),
      /* 6 */ General(kPitB, Under(kMain36), AnyOf({kMain36}, nip)),
      /* 7 */ General(kPitZ, Under(kMain36), AttachedTo(kPitB, {kMain36}, nip)),
      /* 8 */ General(kSseR, Under(kMain36), AnyOf({kMain36}, nip)),
      /* 9 */ General(kSseA, Under(kMainSseR), AnyOf({kMainSseR}, nip)),
      /* 10 */ General(kSseRA, Under(kMainSseR), AnyOf({kMainSseR}, nip)),
      /* 11 */
      General(kPitZG, Boxes({{1, "PIT-36", kMain36, 0}, {2, "PIT-38", kMain38, 0}, {3, "PIT-39", kMain39, 0}}),
              AnyOf({kMain36, kMain38, kMain39})),
      /* 12 */ General(kPitM, Under(kMain36), AnyOf({kMain36})),
      /* 13 */ General(kPit28A, Under(kMain28), AnyOf({kMain28})),
      /* 14 */ General(kPitD, Boxes(ReliefBoxes()), AnyOf({kMain28, kMain36, kMain37}), true),
      /* 15 */
      General(kPit2K, Boxes(ReliefBoxes()), AttachedTo(kPitD, {kMain28, kMain36, kMain37}), true, kPitD),
      /* 16 */ General(kPitO, Boxes(ReliefBoxes()), AnyOf({kMain28, kMain36, kMain37})),
      /* 17 */ General(kPitUZ, Boxes(UzBoxes()), AttachedTo(kPitO, {kMain36, kMain37}), false, kPitO),
  };
}

std::vector<WizardQuestionSpec> JointQuestions() {
  const WizardMain p28{kPit28, P}, m28{kPit28, M};
  const WizardMain p38{kPit38, P}, m38{kPit38, M};
  const WizardMain p39{kPit39, P}, m39{kPit39, M};
  const WizardMain pSseR{kSseR, P}, mSseR{kSseR, M};
  const WizardNip anyone = WizardNip::Anyone;
  const std::vector<WizardBoxSpec> reliefs = {{1, "PIT-28 (Podatnika)", p28, P},
                                              {2, "PIT-28 (Małżonka)", m28, M},
                                              {3, "PIT-36", kMain36, 0},
                                              {4, "PIT-37", kMain37, 0}};
  const std::vector<WizardMain> reliefMains = {kMain36, kMain37, p28, m28};
  return {
      /* 1 */ General(kPit37, MainForm()),
      /* 2 */ General(kPit36, MainForm(), Without(kPit37)),
      /* 3 */ Persons(kPit28, MainForm(P), MainForm(M)),
      /* 4 */ Persons(kPit38, MainForm(P), MainForm(M)),
      /* 5 */ Persons(kPit39, MainForm(P), MainForm(M)),
      /* 6 */
      Persons(kPitB, OwnNip(Under(kMain36, P)), OwnNip(Under(kMain36, M)), AnyOf({kMain36}, anyone)),
      /* 7 */
      Persons(kPitZ, NeedsUnder(kPitB, OwnNip(Under(kMain36, P))), NeedsUnder(kPitB, OwnNip(Under(kMain36, M))),
              AttachedTo(kPitB, {kMain36}, anyone)),
      /* 8 */
      Persons(kSseR, OwnNip(Under(kMain36, P)), OwnNip(Under(kMain36, M)), AnyOf({kMain36}, anyone)),
      /* 9 */
      Persons(kSseA, NeedsMain(OwnNip(Under(pSseR, P))), NeedsMain(OwnNip(Under(mSseR, M))),
              AnyOf({pSseR, mSseR}, anyone)),
      /* 10 */
      Persons(kSseRA, NeedsMain(OwnNip(Under(pSseR, P))), NeedsMain(OwnNip(Under(mSseR, M))),
              AnyOf({pSseR, mSseR}, anyone)),
      /* 11 */
      Persons(kPitZG,
              Boxes({{1, "PIT-36", kMain36, P}, {2, "PIT-38 (Podatnika)", p38, P}, {3, "PIT-39 (Podatnika)", p39, P}}),
              Boxes({{1, "PIT-36", kMain36, M}, {2, "PIT-38 (Małżonka)", m38, M}, {3, "PIT-39 (Małżonka)", m39, M}}),
              AnyOf({kMain36, p38, m38, p39, m39})),
      /* 12 */ Persons(kPitM, Under(kMain36, P), Under(kMain36, M), AnyOf({kMain36})),
      /* 13 */ Persons(kPit28A, NeedsMain(Under(p28, P)), NeedsMain(Under(m28, M)), AnyOf({p28, m28})),
      /* 14 */ General(kPitD, Boxes(reliefs), AnyOf(reliefMains), true),
      /* 15 */ General(kPit2K, Boxes(reliefs), AttachedTo(kPitD, reliefMains), true, kPitD),
      /* 16 */ General(kPitO, Boxes(reliefs), AnyOf(reliefMains)),
      /* 17 */
      General(kPitUZ, Boxes({{3, "PIT-36", kMain36, 0}, {4, "PIT-37", kMain37, 0}}),
              AttachedTo(kPitO, {kMain36, kMain37}), false, kPitO),
  };
}

}  // namespace

const std::vector<WizardQuestionSpec>& WizardQuestions(int kind) {
  static const std::vector<WizardQuestionSpec> individual = IndividualQuestions();
  static const std::vector<WizardQuestionSpec> joint = JointQuestions();
  static const std::vector<WizardQuestionSpec> singleParent = SingleParentQuestions();
  static const std::vector<WizardQuestionSpec> none;
  switch (kind) {
    case kIndividual: return individual;
    case kJoint: return joint;
    case kSingleParent: return singleParent;
    default: return none;
  }
}

int WizardPageCount(int kind) { return kind == kIndividual ? 21 : 18; }

}  // namespace pit
