#pragma once
// A settlement with its calculation context, filled the way the definitions
// start a form, for the engine's benchmarks.
#include <cstddef>
#include <string>

#include "app/settlement.h"
#include "calc/calculation.h"

namespace pit::bench {

struct Workspace {
  Settlement s;
  IdentificationRecords ids;
  HeadlessDisplay display;
  CalcContext ctx{s, ids, display};

  void Set(int e, int k, const std::string& v) { s.Entry(e).Slots[static_cast<std::size_t>(k)].Value = v; }
  void Tick(int e, int k) {
    s.Entry(e).Slots[static_cast<std::size_t>(k)].CheckState = true;
    Set(e, k, "1");
  }
  // Amount fields start as "0,00", as the definitions give them.
  int Add(int idPit, int parent, int pm) {
    const int e = s.AddEntry(idPit, parent, pm, s.Kind);
    for (auto& slot : s.Entry(e).Slots) slot.Value = "0,00";
    return e;
  }
};

}  // namespace pit::bench
