#include "selection/manual_selection.h"

#include <utility>

#include "app/file_io.h"
#include "app/session.h"
#include "forms/definition_library.h"

namespace pit {

IdentifierStepParts IdentifierStepFor(int kind) {
  IdentifierStepParts p;
  switch (kind) {
    case kIndividual:
      p = {true, true, true, true, true, true};
      break;
    case kJoint:
      p = {true, true, true, false, false, true};
      break;
    case kSingleParent:
      p = {true, true, false, false, false, true};
      break;
    case kPayerForms:
      p = {true, true, false, false, false, false};
      break;
    default:
      break;
  }
  return p;
}

std::string SelectionHelpPage(int kind) {
  switch (kind) {
    case kIndividual: return "samodzielny_wybor_indywidualnie.html";
    case kJoint:
    case kSingleParent: return "samodzielny_wybor_pozostale.html";
    case kPayerForms: return "deklaracje_pit11_pit40.html";
    case kRegistrationForms: return "deklaracje_zgloszeniowe.html";
    default: return std::string();
  }
}

int FirstFormToOpen(const Settlement& s) {
  int first = 0;
  for (int i = 1; i <= s.Count() && first == 0; ++i) {
    if (s.Entry(i).IdParent != 0) first = i;
  }
  if (first != 0 && s.Entry(first).IdPit == kPitB && s.FindFirstOfType(kPitZ) > 0) first = 1;
  if (first == 0 && s.Count() > 0) first = 1;
  return first;
}

ManualSelection::ManualSelection(Settlement& s, SelectionHooks hooks) : s_(s), hooks_(std::move(hooks)) {}

void ManualSelection::StartNew(int kind) {
  s_.Kind = kind;
  ApplyIdentifierDefaults(s_, kind);
  if (hooks_.ClearIdentificationRecords) hooks_.ClearIdentificationRecords(false);
  s_.Clear();
  s_.DocumentPath.clear();
  s_.DocumentModified = false;
  kindGroupEnabled_ = true;
  identifiersOnly_ = false;
}

void ManualSelection::LoadIdentifierControls() {
  ids_.Taxpayer = s_.TaxpayerIdKind;
  ids_.Spouse = s_.SpouseIdKind;
  ids_.SpouseBox = s_.SpouseIdKind != kIdNone;
  ids_.SpouseDataEnabled = ids_.SpouseBox;
  ids_.SpouseRadioEnabled = s_.Kind == kJoint || ids_.SpouseBox;
}

void ManualSelection::Show() {
  spouseHintVisible_ = false;
  LoadIdentifierControls();
  ids_.SpouseData = s_.SpouseData;
  tree_.Build(s_.Kind, s_.Catalogue(), &s_);
}

void ManualSelection::Reopen(bool identifiersOnly) {
  identifiersOnly_ = identifiersOnly;
  const bool hasForms = s_.IsOpen() && s_.Count() > 0;
  if (hasForms) {
    kindGroupEnabled_ = false;
    s_.Kind = s_.Entry(1).Kind;
  }
  Show();
  if (hasForms) MarkSettlement();
}

void ManualSelection::MarkSettlement() {
  if (!s_.IsOpen()) return;
  for (int i = 1; i <= s_.Count(); ++i) {
    const FormEntry& e = s_.Entry(i);
    int parent = 0;
    if (e.IdParent != 0) {
      parent = -1;
      if (s_.Has(e.IdParent)) {
        const FormEntry& main = s_.Entry(e.IdParent);
        // SSE-R is the one main form that is itself under a form (PIT-36).
        parent = main.IdPit == kSseR ? tree_.Find(kSseR, 1, main.PM) : tree_.Find(main.IdPit, 0, main.PM);
      }
    }
    const int node = tree_.FindUnticked(e.IdPit, parent, e.PM);
    if (node < 0) continue;
    SelectionNode& n = tree_.Node(node);
    n.PM = e.PM;
    n.Kind = e.Kind;
    n.TaxYear = e.TaxYear;
    n.ReturnGuid = e.ReturnGuid;
    n.TaxpayerIdKind = e.TaxpayerIdKind;
    n.SpouseIdKind = e.SpouseIdKind;
    n.SpouseDataFlag = e.SpouseDataFlag;
    n.SlotsLoaded = e.SlotsLoaded;
    Settlement& nodes = tree_.WorkingCopy();
    for (int k = 0; k < kSlotCount; ++k) nodes.WriteSlot(node, k, e.Slot(k));
    // The copy number names the node on screen; entries do not keep it.
    n.Checked = true;
  }
}

bool ManualSelection::ChangeKind(int kind) {
  if (tree_.CountTicked() > 0) return false;
  s_.Kind = kind;
  if (hooks_.ClearIdentificationRecords) hooks_.ClearIdentificationRecords(true);
  ApplyIdentifierDefaults(s_, kind);
  LoadIdentifierControls();
  tree_.Build(kind, s_.Catalogue(), &s_);
  return true;
}

TickContext ManualSelection::Context() const {
  TickContext c;
  c.TaxpayerIdKind = s_.TaxpayerIdKind;
  c.SpouseIdKind = s_.SpouseIdKind;
  c.SpouseBox = ids_.SpouseBox;
  return c;
}

ClickResult ManualSelection::Click(int node) {
  ClickResult r = ClickNode(tree_, s_.Catalogue(), node, Context(), hooks_.ClearAttachmentTransfers);
  if (!r.Handled) return r;
  if (r.SpouseHintVisible) spouseHintVisible_ = *r.SpouseHintVisible;
  const bool any = tree_.CountTicked() > 0;
  kindGroupEnabled_ = !any;
  confirmEnabled_ = any;
  return r;
}

void ManualSelection::StoreIdentifiers() {
  s_.TaxpayerIdKind = ids_.Taxpayer;
  s_.SpouseIdKind = ids_.Spouse;
}

void ManualSelection::ClearPerson(int pm) {
  if (hooks_.ClearPersonIdentifiers) hooks_.ClearPersonIdentifiers(pm);
  if (hooks_.DistributeIdentification) hooks_.DistributeIdentification();
}

void ManualSelection::AfterIdentifierClick() {
  if (tree_.CountTicked() > 0) {
    kindGroupEnabled_ = false;
    confirmEnabled_ = true;
  }
}

IdentifierQuestion ManualSelection::TaxpayerIdClicked(int index) {
  ids_.Taxpayer = index;
  StoreIdentifiers();
  ClearPerson(kPmTaxpayer);
  AfterIdentifierClick();
  if (s_.TaxpayerIdKind != kIdPesel) return IdentifierQuestion{};
  return TaxpayerPeselQuestion(tree_, s_.Catalogue(), s_.Kind);
}

void ManualSelection::AnswerTaxpayerQuestion(const IdentifierQuestion& q, bool yes) {
  if (!q.Needed()) return;
  if (yes) {
    DetachForPesel(tree_, q);
    ClearPerson(kPmTaxpayer);
    if (tree_.CountTicked() == 0) confirmEnabled_ = false;
  } else {
    ids_.Taxpayer = kIdNip;
    StoreIdentifiers();
  }
}

IdentifierQuestion ManualSelection::SpouseIdClicked(int index) {
  ids_.Spouse = index;
  StoreIdentifiers();
  ClearPerson(kPmSpouse);
  AfterIdentifierClick();
  if (s_.Kind != kJoint || s_.SpouseIdKind != kIdPesel) return IdentifierQuestion{};
  return SpousePeselQuestion(tree_, s_.Catalogue(), s_.Kind);
}

void ManualSelection::AnswerSpouseQuestion(const IdentifierQuestion& q, bool yes) {
  if (!q.Needed()) return;
  if (yes) {
    DetachForPesel(tree_, q);
    ClearPerson(kPmSpouse);
    if (tree_.CountTicked() == 0) confirmEnabled_ = false;
  } else {
    ids_.Spouse = kIdNip;
    StoreIdentifiers();
  }
}

void ManualSelection::SpouseBoxReleased(bool checked) {
  ids_.SpouseBox = checked;
  ids_.SpouseDataEnabled = checked;
  ids_.SpouseRadioEnabled = checked;
  if (!checked) ids_.SpouseData = SpouseDataFlags{};
  if (checked) {
    // Choosing the spouse's NIP is an identifier click like any other.
    SpouseIdClicked(kIdNip);
    return;
  }
  ClearPerson(kPmSpouse);
  ids_.Spouse = kIdNone;
  StoreIdentifiers();
  confirmEnabled_ = true;
}

void ManualSelection::SpouseDataBoxReleased(int idPit, bool checked) {
  if (bool* f = ids_.SpouseData.For(idPit)) *f = checked;
  confirmEnabled_ = true;
}

ConfirmResult ManualSelection::Confirm(DefinitionLibrary& defs) {
  ConfirmResult r;
  s_.SpouseData = ids_.SpouseData;
  s_.Clear();
  s_.Open();
  const int kind = s_.Kind;
  for (int id = 1; id <= tree_.Count(); ++id) {
    const SelectionNode& n = tree_.Node(id);
    if (!n.Checked) continue;
    int idParent = 0;
    if (n.IdParent != 0) {
      idParent = -1;
      if (tree_.Has(n.IdParent)) {
        const SelectionNode& p = tree_.Node(n.IdParent);
        const int parentsParent = p.IdPit == kSseR ? 1 : 0;
        for (int e = 1; e <= s_.Count() && idParent < 0; ++e) {
          const FormEntry& x = s_.Entry(e);
          if (x.IdPit == p.IdPit && x.PM == p.PM && x.IdParent == parentsParent) idParent = e;
        }
      }
      // A ticked attachment whose main form did not become an entry has no
      // return to go into; it is left out rather than written over another.
      if (idParent < 0) continue;
    }
    if (s_.AddEntry(n.IdPit, idParent, n.PM, kind, n.Slots(), n.SlotsLoaded) < 0) continue;
  }
  s_.RebuildTree(defs);
  tree_.Clear();
  s_.DocumentModified = true;
  // The same rule as for a settlement opened from its file.
  const EFilingState eFiling = EFilingFor(s_);
  r.EFilingVisible = eFiling.visible;
  r.EFilingEnabled = eFiling.enabled;
  // A settlement reselected (its forms or identifiers changed) is still
  // its file: the caption names the file Ctrl+S writes to. Only one that
  // was never saved is the new settlement.
  s_.DocumentName = s_.DocumentPath.empty() ? std::string(kNewDocumentName) : FileNamePart(s_.DocumentPath);
  if (hooks_.DistributeIdentification) hooks_.DistributeIdentification();

  r.FirstEntry = FirstFormToOpen(s_);
  r.ToolbarExtrasVisible = kind < kRegistrationForms;
  return r;
}

bool ManualSelection::Cancel() {
  if (s_.IsOpen() && s_.Count() > 0) return false;
  s_.Clear();
  tree_.Clear();
  confirmEnabled_ = false;
  return true;
}

}  // namespace pit
