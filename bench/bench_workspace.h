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
  CalcContext ctx{s, ids};

  // The entry shown at `page` as the calculations see it.
  void Show(int entry, int idPit, int page) {
    CalcInput in;
    in.entry = entry;
    in.idPit = idPit;
    in.page = page;
    ctx.Begin(in);
  }

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
