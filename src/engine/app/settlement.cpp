#include "app/settlement.h"

#include <algorithm>
#include <atomic>

#include "forms/definition_library.h"
#include "text/cp1250.h"
#include "text/guid.h"

namespace pit {

void ValueSlot::SetValue(const std::string& v) { Value = FitWidth(v, slotw::Value); }
void ValueSlot::SetOfficeCode(const std::string& v) { OfficeCode = FitWidth(v, slotw::OfficeCode); }

bool* SpouseDataFlags::For(int idPit) {
  switch (idPit) {
    case kPitO: return &PitO;
    case kPitD: return &PitD;
    case kPit2K: return &Pit2K;
    case kPitUZ: return &PitUZ;
    default: return nullptr;
  }
}

bool SpouseDataFlags::Get(int idPit) const {
  switch (idPit) {
    case kPitO: return PitO;
    case kPitD: return PitD;
    case kPit2K: return Pit2K;
    case kPitUZ: return PitUZ;
    default: return false;
  }
}

void Settlement::Restructured() {
  static std::atomic<std::uint64_t> stamps{0};
  structure_ = ++stamps;
}

void Settlement::Open() {
  Restructured();
  entries_.clear();
  tree_.clear();
  open_ = true;
}

void Settlement::Clear() {
  Restructured();
  entries_.clear();
  tree_.clear();
  open_ = false;
  Current = CurrentEntryState{};
}

int Settlement::AddEntry(int idPit, int idParent, int pm, int kind) {
  if (idParent < 0) return -1;
  if (!open_) Open();
  auto e = std::make_unique<FormEntry>();
  e->Id = Count() + 1;
  e->IdPit = idPit;
  e->IdParent = idParent;
  e->PM = pm;
  e->Kind = kind;
  e->SlotsLoaded = false;
  e->ReturnGuid = (idParent != 0 && Has(idParent)) ? Entry(idParent).ReturnGuid : NewGuidText();
  entries_.push_back(std::move(e));
  return Count();
}

void Settlement::AppendLoaded(std::unique_ptr<FormEntry> e) {
  if (!open_) Open();
  entries_.push_back(std::move(e));
}

void Settlement::RemoveEntry(int idPit, int idParent, int pm) {
  const int n = FindEntry(idPit, idParent, pm);
  if (n > 0) RemoveAt(n);
}

void Settlement::RemoveAt(int number) {
  if (!Has(number)) return;
  Restructured();
  entries_.erase(entries_.begin() + (number - 1));
}

int Settlement::FindEntry(int idPit, int idParent, int pm) const {
  for (int i = 1; i <= Count(); ++i) {
    const FormEntry& e = Entry(i);
    if (e.IdPit == idPit && e.IdParent == idParent && e.PM == pm) return i;
  }
  return -1;
}

int Settlement::FindFirstOfType(int idPit) const {
  for (int i = 1; i <= Count(); ++i) {
    if (Entry(i).IdPit == idPit) return i;
  }
  return -1;
}

int Settlement::FindByTypeAndParent(int idPit, int idParent) const {
  for (int i = 1; i <= Count(); ++i) {
    if (Entry(i).IdPit == idPit && Entry(i).IdParent == idParent) return i;
  }
  return -1;
}

int Settlement::FindByTypeAndPerson(int idPit, int pm) const {
  for (int i = 1; i <= Count(); ++i) {
    if (Entry(i).IdPit == idPit && Entry(i).PM == pm) return i;
  }
  return -1;
}

int Settlement::CountByTypeAndParent(int idPit, int idParent, int pm) const {
  int n = 0;
  for (int i = 1; i <= Count(); ++i) {
    const FormEntry& e = Entry(i);
    if (e.IdPit == idPit && e.IdParent == idParent && (pm == -1 || e.PM == pm)) ++n;
  }
  return n;
}

int Settlement::CountInReturn(int idPit, const std::string& guid) const {
  int n = 0;
  for (int i = 1; i <= Count(); ++i) {
    if (Entry(i).IdPit == idPit && Entry(i).ReturnGuid == guid) ++n;
  }
  return n;
}

int Settlement::FirstAttachment() const {
  for (int i = 1; i <= Count(); ++i) {
    if (Entry(i).IdParent > 0) return i;
  }
  return Count() > 0 ? 1 : 0;
}

void FillSlotsFromDefinition(FormEntry& e, const std::vector<FieldObject>& records) {
  const std::size_t n = std::min<std::size_t>(records.size(), kSlotCount);
  if (n == 0) return;
  e.SlotsLoaded = true;
  for (std::size_t k = 0; k < n; ++k) {
    const FieldObject& r = records[k];
    ValueSlot& s = e.Slots[k];
    s.Option = r.Option;
    s.Typ = r.Typ;
    s.Name = FitWidth(r.Name, slotw::Name);
    s.Page = r.Page;
    s.ID = r.ID;
    s.XMLNode = FitWidth(r.XMLNode, slotw::XMLNode);
    s.FormNo = e.IdPit;
    s.SetValue(r.DefValue);
    s.CheckValue = FitWidth(r.CheckValue(), slotw::CheckValue);
    s.CheckState = r.Option != 0;
    if (e.IsAttachment()) s.Spare = "0";
  }
}

std::string Settlement::NodeText(int number) const {
  const FormEntry& e = Entry(number);
  std::string t = catalogue_[e.IdPit].Code;
  if (e.IdParent != 0) {
    if (e.PM == kPmTaxpayer) t += " (P)";
    if (e.PM == kPmSpouse) t += " (M)";
  }
  return t;
}

namespace {

bool NodeLess(const TreeNode& a, const TreeNode& b) {
  // The tree view sorts case-insensitively.
  return UpperPl(a.Text) < UpperPl(b.Text);
}

void SortLevel(std::vector<TreeNode>& level) {
  std::stable_sort(level.begin(), level.end(), NodeLess);
  for (TreeNode& n : level) SortLevel(n.Children);
}

TreeNode* FindNode(std::vector<TreeNode>& level, int entry) {
  for (TreeNode& n : level) {
    if (n.Entry == entry) return &n;
    if (TreeNode* c = FindNode(n.Children, entry)) return c;
  }
  return nullptr;
}

void Walk(const std::vector<TreeNode>& level, std::vector<int>& out) {
  for (const TreeNode& n : level) {
    out.push_back(n.Entry);
    Walk(n.Children, out);
  }
}

}  // namespace

void Settlement::RebuildTree(DefinitionLibrary& defs) {
  tree_.clear();
  std::vector<bool> isParent(static_cast<std::size_t>(Count()) + 1, false);
  for (int i = 1; i <= Count(); ++i) {
    FormEntry& e = Entry(i);
    e.Id = i;
    if (e.IdPit <= 0 || e.IdPit > kFormTypeCount) continue;
    TreeNode node;
    node.Entry = i;
    node.Text = NodeText(i);
    node.Bold = e.IdParent == 0;
    node.Image = e.PM;
    node.SelectedImage = e.PM + 3;
    if (e.IdParent == 0) {
      tree_.push_back(std::move(node));
    } else {
      TreeNode* parent = FindNode(tree_, e.IdParent);
      if (parent) {
        parent->Children.push_back(std::move(node));
        if (e.IdParent <= Count()) isParent[static_cast<std::size_t>(e.IdParent)] = true;
      } else {
        // An attachment whose main form has no node still gets shown, at the top.
        tree_.push_back(std::move(node));
      }
    }
    if (!e.SlotsLoaded) {
      if (const std::vector<FieldObject>* recs = defs.Fields(e.IdPit)) FillSlotsFromDefinition(e, *recs);
    }
  }
  SortLevel(tree_);
  std::vector<int> order;
  Walk(tree_, order);
  for (int n : order) {
    if (TreeNode* node = FindNode(tree_, n)) node->Expanded = isParent[static_cast<std::size_t>(n)];
  }
}

std::vector<int> Settlement::TreeOrder() const {
  std::vector<int> out;
  Walk(tree_, out);
  return out;
}

int Settlement::AddCopy(int number, DefinitionLibrary& defs) {
  if (!Has(number) || Entry(number).Id <= 0) return -1;
  const FormEntry& src = Entry(number);
  auto e = std::make_unique<FormEntry>();
  e->Id = Count() + 1;
  e->IdPit = src.IdPit;
  e->IdParent = src.IdParent;
  e->PM = src.PM;
  e->Kind = src.Kind;
  e->ReturnGuid = src.ReturnGuid;
  entries_.push_back(std::move(e));
  RebuildTree(defs);
  DocumentModified = true;
  return Count();
}

void Settlement::StampEntries() {
  for (int i = 1; i <= Count(); ++i) {
    FormEntry& e = Entry(i);
    e.TaxYear = 2014;
    e.Kind = Kind;
    e.TaxpayerIdKind = TaxpayerIdKind;
    e.SpouseIdKind = SpouseIdKind;
    e.SpouseDataFlag = SpouseData.Get(e.IdPit) ? 1 : 0;
  }
}

void Settlement::TakeStateFrom(const FormEntry& e) {
  Kind = e.Kind;
  TaxpayerIdKind = e.TaxpayerIdKind;
  SpouseIdKind = e.SpouseIdKind;
  if (bool* f = SpouseData.For(e.IdPit)) *f = (e.SpouseDataFlag & 0xFF) != 0;
}

}  // namespace pit
