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

  void Set(int e, int k, const std::string& v) { s.Write(e, k, v); }
  void Tick(int e, int k) {
    s.WriteCheck(e, k, true);
    Set(e, k, "1");
  }
  // Amount fields start as "0,00", as the definitions give them.
  int Add(int idPit, int parent, int pm) {
    const int e = s.AddEntry(idPit, parent, pm, s.Kind);
    for (int k = 0; k < kSlotCount; ++k) s.Write(e, k, "0,00");
    return e;
  }
};

}  // namespace pit::bench
