#include "selection/selection_tree.h"

#include <algorithm>
#include <memory>

#include "text/collation.h"

namespace pit {

namespace {

// One row of a kind's tree: a form, its person and the forms under it.
struct NodeRow {
  int IdPit;
  int PM;
  std::vector<NodeRow> Under;
};

constexpr int P = kPmTaxpayer;
constexpr int M = kPmSpouse;

const std::vector<NodeRow>& IndividualTree() {
  static const std::vector<NodeRow> t = {
      {kPit36, 0, {{kPitO, 0, {}}, {kPitD, 0, {}}, {kPit2K, 0, {}}, {kPitM, 0, {}}, {kPitB, 0, {}},
                   {kPitZ, 0, {}}, {kPitZG, 0, {}},
                   {kSseR, 0, {{kSseA, 0, {}}, {kSseRA, 0, {}}}},
                   {kUpkdOrdZu, 0, {}}, {kUpkd, 0, {}}, {kPitUZ, 0, {}}}},
      {kPit36L, 0, {{kPitB, 0, {}}, {kPitZ, 0, {}}, {kPitZG, 0, {}}, {kUpkdOrdZu, 0, {}}, {kUpkd, 0, {}}}},
      {kPit37, 0, {{kPitO, 0, {}}, {kPitD, 0, {}}, {kPit2K, 0, {}}, {kUpkdOrdZu, 0, {}}, {kUpkd, 0, {}},
                   {kPitUZ, 0, {}}}},
      {kPit38, 0, {{kPitZG, 0, {}}, {kUpkdOrdZu, 0, {}}, {kUpkd, 0, {}}}},
      {kPit28, 0, {{kPit28A, 0, {}}, {kPit28B, 0, {}}, {kPitO, 0, {}}, {kPitD, 0, {}}, {kPit2K, 0, {}},
                   {kUpkdOrdZu, 0, {}}, {kUpkd, 0, {}}}},
      {kPit39, 0, {{kPitZG, 0, {}}, {kUpkdOrdZu, 0, {}}, {kUpkd, 0, {}}}},
      {kPit16A, 0, {{kUpkdOrdZu, 0, {}}, {kUpkd, 0, {}}}},
  };
  return t;
}

std::vector<NodeRow> PersonReturn(int idPit, int pm, std::vector<int> under) {
  std::vector<NodeRow> children;
  for (int u : under) children.push_back({u, pm, {}});
  return {{idPit, pm, children}};
}

const std::vector<NodeRow>& JointTree() {
  static const std::vector<NodeRow> t = [] {
    std::vector<NodeRow> rows = {
        {kPit36, 0, {{kPitO, 0, {}}, {kPitD, 0, {}}, {kPit2K, 0, {}}, {kPitM, P, {}}, {kPitM, M, {}},
                     {kPitB, P, {}}, {kPitB, M, {}}, {kPitZ, P, {}}, {kPitZ, M, {}}, {kPitZG, P, {}},
                     {kPitZG, M, {}}, {kPitUZ, 0, {}},
                     {kSseR, P, {{kSseA, P, {}}, {kSseRA, P, {}}}},
                     {kSseR, M, {{kSseA, M, {}}, {kSseRA, M, {}}}},
                     {kUpkdOrdZu, 0, {}}, {kUpkd, 0, {}}}},
        {kPit37, 0, {{kPitO, 0, {}}, {kPitD, 0, {}}, {kPit2K, 0, {}}, {kUpkdOrdZu, 0, {}}, {kUpkd, 0, {}},
                     {kPitUZ, 0, {}}}},
    };
    for (int pm : {P, M}) {
      for (NodeRow& r : PersonReturn(kPit38, pm, {kPitZG, kUpkdOrdZu, kUpkd})) rows.push_back(r);
    }
    for (int pm : {P, M}) {
      for (NodeRow& r : PersonReturn(kPit28, pm, {kPit28A, kPitO, kPitD, kPit2K, kUpkdOrdZu, kUpkd}))
        rows.push_back(r);
    }
    for (int pm : {P, M}) {
      for (NodeRow& r : PersonReturn(kPit39, pm, {kPitZG, kUpkdOrdZu, kUpkd})) rows.push_back(r);
    }
    return rows;
  }();
  return t;
}

// The individual tree without the forms a single parent cannot file.
const std::vector<NodeRow>& SingleParentTree() {
  static const std::vector<NodeRow> t = [] {
    std::vector<NodeRow> rows;
    for (const NodeRow& r : IndividualTree()) {
      if (r.IdPit == kPit36L || r.IdPit == kPit16A) continue;
      NodeRow copy = r;
      copy.Under.erase(std::remove_if(copy.Under.begin(), copy.Under.end(),
                                      [](const NodeRow& n) { return n.IdPit == kPit28B; }),
                       copy.Under.end());
      rows.push_back(copy);
    }
    return rows;
  }();
  return t;
}

const std::vector<NodeRow>& PayerTree() {
  static const std::vector<NodeRow> t = {
      {kPit11, 0, {{kPitR, 0, {}}, {kUpkdPayer, 0, {}}, {kUpkdOrdZu, 0, {}}}},
      {kPit40, 0, {{kPitR, 0, {}}, {kUpkdPayer, 0, {}}, {kUpkdOrdZu, 0, {}}}},
  };
  return t;
}

const std::vector<NodeRow>& RegistrationTree() {
  static const std::vector<NodeRow> t = {{kNip7, 0, {}}, {kZap3, 0, {}}};
  return t;
}

const std::vector<NodeRow>* TreeOf(int kind) {
  switch (kind) {
    case kIndividual: return &IndividualTree();
    case kJoint: return &JointTree();
    case kSingleParent: return &SingleParentTree();
    case kPayerForms: return &PayerTree();
    case kRegistrationForms: return &RegistrationTree();
    default: return nullptr;
  }
}

}  // namespace

int SelectionTree::BaseCapacity(int kind) {
  switch (kind) {
    case kIndividual: return 46;
    case kJoint: return 58;
    case kSingleParent: return 36;
    case kPayerForms: return 8;
    case kRegistrationForms: return 4;
    default: return 0;
  }
}

void SelectionTree::Clear() {
  nodes_.Clear();
  labels_.assign(1, std::string());
  kind_ = -1;
  built_ = 0;
  capacity_ = 0;
}

int SelectionTree::AppendNode(int idPit, int parent, int pm, int copyNo) {
  auto n = std::make_unique<SelectionNode>();
  n->Id = Count() + 1;
  n->IdPit = idPit;
  n->IdParent = parent;
  n->PM = pm;
  n->Kind = kind_;
  n->CopyNo = copyNo;
  n->Checked = false;
  n->SlotsLoaded = false;
  nodes_.AppendLoaded(std::move(n));
  labels_.emplace_back();
  return Count();
}

std::string SelectionTree::MakeLabel(int id, const FormCatalogue& catalogue) const {
  const SelectionNode& n = Node(id);
  const FormTypeInfo& info = catalogue[n.IdPit];
  if (n.IdParent == 0) return info.Code;
  std::string label = info.Code;
  if (n.PM == kPmTaxpayer) label += " (Podatnik)";
  if (n.PM == kPmSpouse) label += " (Małżonek)";
  if (!info.Description.empty()) label += " - " + info.Description;
  if (info.MultiCopy) label += " (" + std::to_string(n.CopyNo) + ")";
  return label;
}

void SelectionTree::Build(int kind, const FormCatalogue& catalogue, const Settlement* open) {
  Clear();
  const std::vector<NodeRow>* rows = TreeOf(kind);
  if (!rows) return;
  kind_ = kind;
  nodes_.Open();

  struct Walker {
    SelectionTree& t;
    void Add(const NodeRow& row, int parent) {
      const int id = t.AppendNode(row.IdPit, parent, row.PM, 0);
      for (const NodeRow& u : row.Under) Add(u, id);
    }
  } walker{*this};
  for (const NodeRow& r : *rows) walker.Add(r, 0);
  built_ = Count();

  const bool settlementOpen = open != nullptr && open->IsOpen();
  std::vector<int> copies(static_cast<std::size_t>(built_) + 1, 0);
  int extra = 0;
  for (int id = 1; id <= built_; ++id) {
    if (!catalogue[Node(id).IdPit].MultiCopy || !settlementOpen) continue;
    copies[static_cast<std::size_t>(id)] = std::max(0, CopiesInSettlement(*open, *this, id) - 1);
    extra += copies[static_cast<std::size_t>(id)];
  }
  capacity_ = BaseCapacity(kind) + extra;

  // Labels in storage order; a built multi-copy node brings its further
  // copies right behind the built nodes, so they get labelled in turn.
  for (int id = 1; id <= Count(); ++id) {
    SelectionNode& n = Node(id);
    if (catalogue[n.IdPit].MultiCopy && n.IdParent != 0 && n.CopyNo == 0) n.CopyNo = 1;
    labels_[static_cast<std::size_t>(id)] = MakeLabel(id, catalogue);
    if (id <= built_) {
      const int idPit = n.IdPit, parent = n.IdParent, pm = n.PM;
      for (int c = 0; c < copies[static_cast<std::size_t>(id)]; ++c) AppendNode(idPit, parent, pm, c + 2);
    }
    Node(id).Checked = false;
  }
}

std::vector<int> SelectionTree::Children(int id) const {
  std::vector<int> out;
  for (int i = 1; i <= Count(); ++i) {
    if (Node(i).IdParent == id) out.push_back(i);
  }
  if (id != 0) {
    // The view orders labels in the Polish alphabet, without regard to case.
    std::stable_sort(out.begin(), out.end(), [this](int a, int b) { return PolishLess(Label(a), Label(b)); });
  }
  return out;
}

int SelectionTree::TopLevelOf(int id) const {
  // Parents always come before their children, which bounds the walk.
  int guard = Count();
  while (Has(id) && Node(id).IdParent != 0 && guard-- > 0) id = Node(id).IdParent;
  return Has(id) && Node(id).IdParent == 0 ? id : -1;
}

int SelectionTree::ParentType(int id) const {
  if (!Has(id)) return 0;
  const int parent = Node(id).IdParent;
  return Has(parent) ? Node(parent).IdPit : 0;
}

int SelectionTree::Find(int idPit, int parent, int pm) const {
  for (int i = 1; i <= Count(); ++i) {
    const SelectionNode& n = Node(i);
    if (n.IdPit == idPit && n.IdParent == parent && n.PM == pm) return i;
  }
  return -1;
}

int SelectionTree::FindTicked(int idPit, int pm) const {
  for (int i = 1; i <= Count(); ++i) {
    const SelectionNode& n = Node(i);
    if (n.Checked && n.IdPit == idPit && n.PM == pm) return i;
  }
  return -1;
}

int SelectionTree::FindTickedUnder(int idPit, int parent, int pm) const {
  for (int i = 1; i <= Count(); ++i) {
    const SelectionNode& n = Node(i);
    if (n.Checked && n.IdPit == idPit && n.IdParent == parent && n.PM == pm) return i;
  }
  return -1;
}

int SelectionTree::FindTickedOfType(int idPit) const {
  for (int i = 1; i <= Count(); ++i) {
    if (Node(i).Checked && Node(i).IdPit == idPit) return i;
  }
  return -1;
}

int SelectionTree::FindUnticked(int idPit, int parent, int pm) const {
  for (int i = 1; i <= Count(); ++i) {
    const SelectionNode& n = Node(i);
    if (!n.Checked && n.IdPit == idPit && n.IdParent == parent && n.PM == pm) return i;
  }
  return -1;
}

int SelectionTree::FindCopy(int idPit, int parent, int pm, int copyNo) const {
  for (int i = 1; i <= Count(); ++i) {
    const SelectionNode& n = Node(i);
    if (n.IdPit == idPit && n.IdParent == parent && n.PM == pm && n.CopyNo == copyNo) return i;
  }
  return -1;
}

int SelectionTree::CountTicked() const {
  int n = 0;
  for (int i = 1; i <= Count(); ++i) n += Node(i).Checked ? 1 : 0;
  return n;
}

std::vector<int> SelectionTree::NodesOf(int pm) const {
  std::vector<int> out;
  for (int i = 1; i <= Count(); ++i) {
    if (Node(i).PM == pm) out.push_back(i);
  }
  return out;
}

void SelectionTree::Tick(int id) {
  if (Has(id)) Node(id).Checked = true;
}

void SelectionTree::Untick(int id) {
  if (Has(id)) Node(id).Checked = false;
}

void SelectionTree::UntickWithDescendants(int id) {
  if (!Has(id)) return;
  Node(id).Checked = false;
  // Children always follow their parent in storage order.
  for (int i = id + 1; i <= Count(); ++i) {
    int p = Node(i).IdParent;
    int guard = Count();
    while (p != 0 && p != id && Has(p) && guard-- > 0) p = Node(p).IdParent;
    if (p == id) Node(i).Checked = false;
  }
}

void SelectionTree::UntickAll(int idPit, int pm) {
  for (int i = 1; i <= Count(); ++i) {
    if (Node(i).IdPit == idPit && Node(i).PM == pm) Node(i).Checked = false;
  }
}

int CopiesInSettlement(const Settlement& s, const SelectionTree& tree, int node) {
  if (!tree.Has(node) || !s.IsOpen()) return 0;
  const SelectionNode& n = tree.Node(node);
  const int parentType = tree.ParentType(node);
  int count = 0;
  for (int i = 1; i <= s.Count(); ++i) {
    const FormEntry& e = s.Entry(i);
    if (e.IdPit != n.IdPit || e.PM != n.PM) continue;
    const int mainType = (e.IdParent != 0 && s.Has(e.IdParent)) ? s.Entry(e.IdParent).IdPit : 0;
    if (mainType == parentType) ++count;
  }
  return count;
}

}  // namespace pit
