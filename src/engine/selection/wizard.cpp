#include "selection/wizard.h"

#include "app/session.h"
#include "selection/manual_selection.h"

namespace pit {

namespace {

// The person whose answers a group holds.
int PersonOf(int group) {
  switch (group) {
    case kGroupTaxpayer: return kPmTaxpayer;
    case kGroupSpouse: return kPmSpouse;
    default: return kPmNone;
  }
}

// Takes entry `number` out of the list. Attachments point at their main
// form by number, so those behind it move down with it.
void RemoveKeepingParents(Settlement& s, int number) {
  if (!s.Has(number)) return;
  s.RemoveAt(number);
  for (int i = number; i <= s.Count(); ++i) {
    FormEntry& e = s.Entry(i);
    if (e.IdParent > number) --e.IdParent;
  }
}

const char* KindWord(int catalogueKind) {
  switch (catalogueKind) {
    case kKindReturn: return "druk ";
    case kKindForm: return "druk formularza ";
    default: return "druk załącznika ";
  }
}

const char* KindTail(int kind) {
  switch (kind) {
    case kJoint: return " - rozliczenie wspólnie z małżonkiem ";
    case kSingleParent: return " - rozliczenie osoby samotnie wychowującej dziecko";
    default: return " - rozliczenie indywidualne ";
  }
}

}  // namespace

int WizardBoxIndex(int group, int box) {
  int index = box - 1;
  for (int g = 0; g < group; ++g) index += kWizardBoxesPerGroup[g];
  return index;
}

Wizard::Wizard(Settlement& s) : s_(s) {}

// --- the start page --------------------------------------------------------------------

void Wizard::Show() {
  s_.Clear();
  page_ = 0;
  kind_ = kIndividual;
  pages_ = 20;  // until a kind is chosen
  records_ = {};
  start_ = WizardStartPage{};
  ChooseKind(kIndividual);
}

void Wizard::ChooseKind(int kind) {
  if (kind < kIndividual || kind > kSingleParent) return;
  start_.Kind = kind;
  start_.Taxpayer = kIdNip;
  // The spouse-data boxes belong to individual returns; they start unticked.
  start_.SpouseQuestion = kAnswerNone;
  start_.SpouseDataEnabled = false;
  start_.SpouseData = SpouseDataFlags{};
  switch (kind) {
    case kIndividual:
      start_.SpouseQuestionVisible = true;
      start_.IdentifierCaption = " KROK 3. Wybierz identyfikator podatkowy: ";
      start_.Spouse = kIdNone;
      start_.SpouseEnabled = false;
      break;
    case kJoint:
      start_.SpouseQuestionVisible = false;
      start_.IdentifierCaption = " KROK 2. Wybierz identyfikator podatkowy: ";
      start_.Spouse = kIdNip;
      start_.SpouseEnabled = true;
      break;
    default:
      start_.SpouseQuestionVisible = false;
      start_.IdentifierCaption = " KROK 2. Wybierz identyfikator podatkowy: ";
      start_.Spouse = kIdNone;
      start_.SpouseEnabled = false;
      break;
  }
  s_.TaxpayerIdKind = start_.Taxpayer;
  s_.SpouseIdKind = start_.Spouse;
}

void Wizard::AnswerSpouseQuestion(bool yes) {
  if (start_.Kind != kIndividual) return;
  start_.SpouseQuestion = yes ? kAnswerYes : kAnswerNo;
  start_.SpouseDataEnabled = yes;
  if (!yes) start_.SpouseData = SpouseDataFlags{};
  start_.SpouseEnabled = yes;
  start_.Spouse = yes ? kIdNip : kIdNone;
  s_.TaxpayerIdKind = start_.Taxpayer;
  s_.SpouseIdKind = start_.Spouse;
}

void Wizard::SetSpouseDataBox(int idPit, bool checked) {
  if (!start_.SpouseDataEnabled) return;
  if (bool* f = start_.SpouseData.For(idPit)) *f = checked;
}

void Wizard::SetTaxpayerId(int index) {
  if (index != kIdNip && index != kIdPesel) return;
  start_.Taxpayer = index;
  s_.TaxpayerIdKind = start_.Taxpayer;
  s_.SpouseIdKind = start_.Spouse;
}

void Wizard::SetSpouseId(int index) {
  if (!start_.SpouseEnabled || (index != kIdNip && index != kIdPesel)) return;
  start_.Spouse = index;
  s_.TaxpayerIdKind = start_.Taxpayer;
  s_.SpouseIdKind = start_.Spouse;
}

void Wizard::LeaveStartPage() {
  kind_ = start_.Kind;
  s_.Kind = kind_;
  s_.TaxpayerIdKind = start_.Taxpayer;
  s_.SpouseIdKind = start_.Spouse;
  pages_ = WizardPageCount(kind_);
  FillRecords();
  s_.SpouseData = start_.SpouseData;
  // Every pass starts from an empty list of entries.
  s_.Clear();
  s_.Open();
}

void Wizard::FillRecords() {
  records_ = {};
  const std::vector<WizardQuestionSpec>& questions = WizardQuestions(kind_);
  for (int page = 1; page < pages_ && page <= static_cast<int>(questions.size()); ++page) {
    const WizardQuestionSpec& q = questions[static_cast<std::size_t>(page - 1)];
    WizardRecord& r = records_[static_cast<std::size_t>(page)];
    r.IdPit = q.IdPit;
    r.OneBoxOnly = q.OneBoxOnly;
    for (int g = 0; g < kWizardGroupCount; ++g) {
      r.Shown[g] = q.Groups[g].Used && (!q.Groups[g].OwnNipOnly || PersonOnNip(PersonOf(g)));
    }
  }
}

// --- the tables read against the settlement ---------------------------------------------

const WizardQuestionSpec* Wizard::Question(int page) const {
  const std::vector<WizardQuestionSpec>& questions = WizardQuestions(kind_);
  if (page < 1 || page >= pages_ || page > static_cast<int>(questions.size())) return nullptr;
  return &questions[static_cast<std::size_t>(page - 1)];
}

int Wizard::FindMain(const WizardMain& main) const {
  if (main.IdPit == kSseR) return s_.FindEntry(kSseR, 1, main.PM);
  return s_.FindEntry(main.IdPit, 0, main.PM);
}

bool Wizard::PersonOnNip(int pm) const {
  return (pm == kPmSpouse ? s_.SpouseIdKind : s_.TaxpayerIdKind) == kIdNip;
}

bool Wizard::Applies(int page) const {
  const WizardQuestionSpec* q = Question(page);
  if (q == nullptr) return false;
  const WizardAskWhen& a = q->Ask;
  if (a.Nip == WizardNip::Taxpayer && !PersonOnNip(kPmTaxpayer)) return false;
  if (a.Nip == WizardNip::Anyone && !PersonOnNip(kPmTaxpayer) && !PersonOnNip(kPmSpouse)) return false;
  if (a.AbsentMain != 0 && FindMain({a.AbsentMain, kPmNone}) > 0) return false;
  if (a.AnyMain.empty()) return true;
  for (const WizardMain& m : a.AnyMain) {
    const int main = FindMain(m);
    if (main <= 0) continue;
    if (a.AttachmentUnder == 0 || s_.FindByTypeAndParent(a.AttachmentUnder, main) > 0) return true;
  }
  return false;
}

int Wizard::PlaceOf(const WizardGroupSpec& g) const {
  return g.Where == WizardPlacement::MainForm ? 0 : FindMain(g.Main);
}

bool Wizard::BoxVisible(int page, const WizardBoxSpec& box) const {
  const WizardQuestionSpec* q = Question(page);
  if (q == nullptr) return false;
  const int main = FindMain(box.Main);
  if (main <= 0) return false;
  return q->BoxNeeds == 0 || s_.FindEntry(q->BoxNeeds, main, box.EntryPM) > 0;
}

std::vector<const WizardBoxSpec*> Wizard::VisibleBoxes(int page, int group) const {
  std::vector<const WizardBoxSpec*> out;
  const WizardQuestionSpec* q = Question(page);
  if (q == nullptr) return out;
  for (const WizardBoxSpec& b : q->Groups[group].Boxes) {
    if (BoxVisible(page, b)) out.push_back(&b);
  }
  return out;
}

bool Wizard::GroupVisible(int page, int group) const {
  const WizardQuestionSpec* q = Question(page);
  if (q == nullptr || !Record(page).Shown[group]) return false;
  const WizardGroupSpec& g = q->Groups[group];
  if (g.NeedsMain && FindMain(g.Main) <= 0) return false;
  if (g.NeedsUnderMain != 0) {
    const int main = FindMain(g.Main);
    if (main <= 0 || s_.FindEntry(g.NeedsUnderMain, main, g.EntryPM) <= 0) return false;
  }
  // A group of boxes with none to tick could only be answered "NIE".
  if (g.Where == WizardPlacement::Boxes && VisibleBoxes(page, group).empty()) return false;
  return true;
}

// --- answers -------------------------------------------------------------------------------

void Wizard::Answer(int group, int answer) {
  if (group < 0 || group >= kWizardGroupCount || !GroupVisible(page_, group)) return;
  if (answer != kAnswerYes && answer != kAnswerNo) return;
  WizardRecord& r = records_[static_cast<std::size_t>(page_)];
  r.Answer[group] = static_cast<std::int16_t>(answer);
  if (answer != kAnswerYes) return;
  const std::vector<const WizardBoxSpec*> boxes = VisibleBoxes(page_, group);
  if (boxes.size() == 1) r.Boxes[WizardBoxIndex(group, boxes.front()->Box)] = true;
}

void Wizard::PressBox(int group, int box, bool checked) {
  if (group < 0 || group >= kWizardGroupCount || !GroupVisible(page_, group)) return;
  WizardRecord& r = records_[static_cast<std::size_t>(page_)];
  if (r.Answer[group] != kAnswerYes) return;
  bool shown = false;
  for (const WizardBoxSpec* b : VisibleBoxes(page_, group)) shown = shown || b->Box == box;
  if (!shown) return;
  if (r.OneBoxOnly) {
    for (int b = 1; b <= kWizardBoxesPerGroup[group]; ++b) r.Boxes[WizardBoxIndex(group, b)] = false;
    checked = true;
  }
  r.Boxes[WizardBoxIndex(group, box)] = checked;
}

void Wizard::LayOut() {
  const WizardQuestionSpec* q = Question(page_);
  if (q == nullptr) return;
  WizardRecord& r = records_[static_cast<std::size_t>(page_)];
  for (int g = 0; g < kWizardGroupCount; ++g) {
    const bool visible = GroupVisible(page_, g);
    if (!visible) r.Answer[g] = kAnswerNone;
    // A box that is not shown keeps no tick: it must not add an entry
    // nobody can see.
    for (int b = 1; b <= kWizardBoxesPerGroup[g]; ++b) {
      bool shown = false;
      if (visible) {
        for (const WizardBoxSpec* visible : VisibleBoxes(page_, g)) shown = shown || visible->Box == b;
      }
      if (!shown) r.Boxes[WizardBoxIndex(g, b)] = false;
    }
  }
}

std::string Wizard::Validate() const {
  if (Question(page_) == nullptr) return std::string();
  const WizardRecord& r = Record(page_);
  for (int g = 0; g < kWizardGroupCount; ++g) {
    if (GroupVisible(page_, g) && r.Answer[g] == kAnswerNone) return kNoAnswer;
  }
  for (int g = 0; g < kWizardGroupCount; ++g) {
    if (!GroupVisible(page_, g) || r.Answer[g] != kAnswerYes) continue;
    const std::vector<const WizardBoxSpec*> boxes = VisibleBoxes(page_, g);
    if (boxes.empty()) continue;
    bool any = false;
    for (const WizardBoxSpec* b : boxes) any = any || r.Boxes[WizardBoxIndex(g, b->Box)];
    if (!any) return kNoBox;
  }
  return std::string();
}

// --- the walk --------------------------------------------------------------------------

void Wizard::ApplyForward(int page) {
  const WizardQuestionSpec* q = Question(page);
  if (q == nullptr) return;
  const WizardRecord& r = Record(page);
  // Which boxes and groups count is decided before anything is added.
  struct Add {
    int parent;
    int pm;
  };
  std::vector<Add> adds;
  for (int g = 0; g < kWizardGroupCount; ++g) {
    if (!GroupVisible(page, g) || r.Answer[g] != kAnswerYes) continue;
    const WizardGroupSpec& group = q->Groups[g];
    if (group.Where == WizardPlacement::Boxes) {
      for (const WizardBoxSpec* b : VisibleBoxes(page, g)) {
        if (r.Boxes[WizardBoxIndex(g, b->Box)]) adds.push_back({FindMain(b->Main), b->EntryPM});
      }
    } else {
      adds.push_back({PlaceOf(group), group.EntryPM});
    }
  }
  for (const Add& a : adds) {
    if (a.parent < 0) continue;
    if (s_.FindEntry(q->IdPit, a.parent, a.pm) > 0) continue;
    s_.AddEntry(q->IdPit, a.parent, a.pm, kind_);
  }
}

void Wizard::ApplyBackward(int page) {
  const WizardQuestionSpec* q = Question(page);
  if (q == nullptr) return;
  for (const WizardGroupSpec& g : q->Groups) {
    if (!g.Used) continue;
    std::vector<std::pair<int, int>> places;  // main entry, person
    if (g.Where == WizardPlacement::Boxes) {
      for (const WizardBoxSpec& b : g.Boxes) places.emplace_back(FindMain(b.Main), b.EntryPM);
    } else {
      places.emplace_back(PlaceOf(g), g.EntryPM);
    }
    for (const auto& [parent, pm] : places) {
      if (parent < 0) continue;
      RemoveKeepingParents(s_, s_.FindEntry(q->IdPit, parent, pm));
    }
  }
}

void Wizard::Skip(int step) {
  while (page_ > 0 && page_ < pages_ && !Applies(page_)) {
    const WizardQuestionSpec* q = Question(page_);
    if (q != nullptr && !q->Ask.KeepAnswers) {
      WizardRecord& r = records_[static_cast<std::size_t>(page_)];
      for (std::int16_t& a : r.Answer) a = kAnswerNo;
    }
    page_ += step;
  }
}

std::string Wizard::Forward() {
  if (page_ >= pages_) return std::string();
  if (page_ == 0) {
    if (start_.Kind == kIndividual && start_.SpouseQuestion == kAnswerNone) return std::string();
    LeaveStartPage();
  } else {
    const std::string message = Validate();
    if (!message.empty()) return message;
    ApplyForward(page_);
  }
  ++page_;
  Skip(+1);
  LayOut();
  return std::string();
}

void Wizard::Back() {
  if (page_ <= 0) return;
  --page_;
  Skip(-1);
  ApplyBackward(page_);
  LayOut();
}

bool Wizard::CanFinish() const { return page_ == pages_ && s_.IsOpen() && s_.Count() > 0; }

WizardFinish Wizard::Finish(DefinitionLibrary& defs) {
  WizardFinish f;
  if (!CanFinish()) return f;
  s_.DocumentPath.clear();
  s_.DocumentModified = true;
  s_.DocumentName = kNewDocumentName;
  s_.RebuildTree(defs);
  f.FirstEntry = FirstFormToOpen(s_);
  const EFilingState eFiling = EFilingFor(s_);
  f.EFilingVisible = eFiling.visible;
  f.EFilingEnabled = eFiling.enabled;
  f.ToolbarExtrasVisible = s_.Kind < kRegistrationForms;
  return f;
}

void Wizard::Cancel() {
  s_.Clear();
  s_.DocumentPath.clear();
  s_.DocumentModified = false;
}

// --- what the window shows -------------------------------------------------------------

WizardPageView Wizard::PageView() const {
  WizardPageView v;
  v.Page = page_;
  v.PageCount = pages_;
  v.ProgressMax = pages_ - 1;
  v.Caption = kCaption;
  if (page_ == 0) {
    v.StartPage = true;
    v.ForwardEnabled = start_.Kind != kIndividual || start_.SpouseQuestion != kAnswerNone;
    return v;
  }
  v.BackEnabled = true;
  v.SmallButtonsVisible = true;
  if (page_ >= pages_) {
    v.EndPage = true;
    v.Caption = "Kreator doboru formularzy - dobór formularzy został zakończony. ";
    const bool any = s_.IsOpen() && s_.Count() > 0;
    v.File = any ? "end.html" : "empty.html";
    v.FinishEnabled = any;
    v.ProgressVisible = !any;
    v.ProgressPosition = v.ProgressMax;
    return v;
  }
  const WizardQuestionSpec* q = Question(page_);
  const FormTypeInfo& form = s_.Catalogue()[q->IdPit];
  v.Caption = std::string("Kreator doboru formularzy - ") + " " + KindWord(form.Kind) + form.Code + KindTail(kind_);
  v.File = std::to_string(kind_ + 1) + "." + std::to_string(page_) + ".html";
  v.ForwardEnabled = true;
  v.ProgressVisible = true;
  v.ProgressPosition = page_;
  v.AnswersVisible = true;
  const WizardRecord& r = Record(page_);
  for (int g = 0; g < kWizardGroupCount; ++g) {
    WizardGroupView& gv = v.Groups[g];
    gv.Visible = GroupVisible(page_, g);
    if (!gv.Visible) continue;
    gv.Answer = r.Answer[g];
    const WizardGroupSpec& group = q->Groups[g];
    gv.LabelVisible = group.Where == WizardPlacement::Boxes;
    for (const WizardBoxSpec* b : VisibleBoxes(page_, g)) {
      WizardBoxView& bv = gv.Boxes[static_cast<std::size_t>(b->Box - 1)];
      bv.Visible = true;
      bv.Enabled = gv.Answer == kAnswerYes;
      bv.Checked = r.Boxes[WizardBoxIndex(g, b->Box)];
      bv.Caption = b->Caption;
    }
  }
  return v;
}

}  // namespace pit
