#pragma once
// The tree of forms the user ticks when choosing a settlement by hand.
//
// Every node is a full FormEntry record, so that the field values of a form
// already in the settlement travel into the tree and back out on confirm.
// The records live in a Settlement used as a plain numbered list (node n is
// Entry(n), IdParent is a node number), which lets the calculations' helpers
// that work on entries work on the tree's copies unchanged.
#include <string>
#include <vector>

#include "app/catalogue.h"
#include "app/settlement.h"

namespace pit {

using SelectionNode = FormEntry;

class SelectionTree {
 public:
  // Nodes of the kind's own tree, before any extra copies.
  static int BaseCapacity(int kind);

  // Builds the kind's tree and labels its nodes. When `open` is a settlement
  // that is open, every multi-copy node gets as many places as the settlement
  // has copies of it (the further copies appended after the built nodes,
  // numbered 2, 3, ...). All nodes start unticked.
  void Build(int kind, const FormCatalogue& catalogue, const Settlement* open);
  void Clear();

  int Kind() const { return kind_; }
  int Count() const { return nodes_.Count(); }
  // Nodes made from the kind's table; the copies follow them.
  int BuiltCount() const { return built_; }
  int Capacity() const { return capacity_; }
  bool Has(int id) const { return nodes_.Has(id); }
  SelectionNode& Node(int id) { return nodes_.Entry(id); }
  const SelectionNode& Node(int id) const { return nodes_.Entry(id); }
  const std::string& Label(int id) const { return labels_[static_cast<std::size_t>(id)]; }
  // Node numbers under `id` (0: the top level) in the order shown: the top
  // level as built, attachments sorted by their labels.
  std::vector<int> Children(int id) const;
  // The top-level node above `id` (itself for a top-level node); -1 if none.
  int TopLevelOf(int id) const;
  // IdPit of the node's parent, 0 for a top-level node.
  int ParentType(int id) const;

  // The nodes as a numbered list of entries, for code written for entries.
  Settlement& WorkingCopy() { return nodes_; }
  const Settlement& WorkingCopy() const { return nodes_; }

  // --- lookups: first match from node 1, or -1 ----------------------------
  int Find(int idPit, int parent, int pm) const;
  int FindTicked(int idPit, int pm) const;
  int FindTickedUnder(int idPit, int parent, int pm) const;
  int FindTickedOfType(int idPit) const;
  int FindUnticked(int idPit, int parent, int pm) const;
  // Copy `copyNo` (1, 2, ...) of a multi-copy form.
  int FindCopy(int idPit, int parent, int pm, int copyNo) const;
  int CountTicked() const;
  // Every node of a person, in storage order.
  std::vector<int> NodesOf(int pm) const;

  // --- operations; ids outside the tree are ignored -------------------------
  void Tick(int id);
  void Untick(int id);
  void UntickWithDescendants(int id);
  void UntickAll(int idPit, int pm);

 private:
  int AppendNode(int idPit, int parent, int pm, int copyNo);
  std::string MakeLabel(int id, const FormCatalogue& catalogue) const;

  Settlement nodes_;
  std::vector<std::string> labels_{std::string()};  // index 0 unused
  int kind_ = -1;
  int built_ = 0;
  int capacity_ = 0;
};

// How many copies of the tree node's form the settlement holds: entries of
// its type and person whose main form has the type of the node's parent.
int CopiesInSettlement(const Settlement& s, const SelectionTree& tree, int node);

}  // namespace pit
