#pragma once
// Naming selection-tree nodes in tests by form, main form and person.
#include <algorithm>
#include <vector>

#include "selection/selection_tree.h"

namespace pit {

// A node named by its form, the form it is under (0: top level) and person.
struct Pick {
  int IdPit;
  int Under;
  int PM;
};

// The first node matching the pick, or -1.
inline int NodeOf(const SelectionTree& t, const Pick& p) {
  for (int i = 1; i <= t.Count(); ++i) {
    const SelectionNode& n = t.Node(i);
    if (n.IdPit == p.IdPit && t.ParentType(i) == p.Under && n.PM == p.PM) return i;
  }
  return -1;
}

inline std::vector<int> Nodes(const SelectionTree& t, const std::vector<Pick>& picks) {
  std::vector<int> out;
  for (const Pick& p : picks) out.push_back(NodeOf(t, p));
  std::sort(out.begin(), out.end());
  return out;
}

inline std::vector<int> TickedNodes(const SelectionTree& t) {
  std::vector<int> out;
  for (int i = 1; i <= t.Count(); ++i) {
    if (t.Node(i).Checked) out.push_back(i);
  }
  return out;
}

// Ticks a node with the nodes above it, bypassing the rules: the state a
// settlement read from a file may bring.
inline void ForceTick(SelectionTree& t, const Pick& p) {
  for (int id = NodeOf(t, p); t.Has(id); id = t.Node(id).IdParent) t.Tick(id);
}

}  // namespace pit
