// The work after every keystroke commit, and the opening pass of a document.
#include <benchmark/benchmark.h>

#include <string>

#include "app/settlement.h"
#include "bench_workspace.h"
#include "calc/calculation.h"

namespace {

using namespace pit;

using bench::Workspace;

void FillPit37Return(Workspace& w, int p37, int o, int d) {
  w.Set(p37, 10, "Kowalski");
  w.Set(p37, 36, "60000,00");
  w.Set(p37, 37, "1335,00");
  w.Set(p37, 40, "7000,00");
  w.Set(p37, 63, "30000,00");
  w.Set(p37, 131, "0000012345");
  w.Set(o, 34, "2");
  w.Set(o, 35, "2224,08");
  w.Set(o, 12, "500,00");
  w.Set(d, 29, "1000,00");
}

// One commit in a joint PIT-37 return with PIT/O and PIT/D: the committed
// field of the form shown alternates between two values, then that form's
// calculation runs, as after every Enter in the form window.
void CommitCycle(benchmark::State& state, int shownType, int page, int field, const char* a, const char* b) {
  Workspace w;
  w.s.Open();
  w.s.Kind = kJoint;
  w.s.SpouseIdKind = kIdNip;
  const int p37 = w.Add(kPit37, 0, 0);
  const int o = w.Add(kPitO, p37, 0);
  const int d = w.Add(kPitD, p37, 0);
  FillPit37Return(w, p37, o, d);
  const int shown = shownType == kPit37 ? p37 : o;
  w.Show(shown, shownType, page);
  int i = 0;
  for (auto _ : state) {
    w.Set(shown, field, (i++ & 1) ? a : b);
    if (RunCalculation(w.ctx, shownType, shown) != CalcStatus::Done) state.SkipWithError("calculation failed");
  }
}

// In the PIT-37 shown: its calculation with the exchange.
void BM_CommitCyclePit37(benchmark::State& state) { CommitCycle(state, kPit37, 2, 36, "60000,00", "61000,00"); }
BENCHMARK(BM_CommitCyclePit37);

// In the PIT/O shown: its calculation runs the PIT-37 as well.
void BM_CommitCyclePitO(benchmark::State& state) { CommitCycle(state, kPitO, 1, 12, "500,00", "600,00"); }
BENCHMARK(BM_CommitCyclePitO);

// Opening a 40-entry settlement: ten PIT-37 returns, each with a PIT/O, a
// PIT/D and a PIT/2K, recalculated attachments first.
void BM_OpeningPass40Entries(benchmark::State& state) {
  Workspace w;
  w.s.Open();
  w.s.Kind = kIndividual;
  for (int r = 0; r < 10; ++r) {
    const int p37 = w.Add(kPit37, 0, 0);
    const int o = w.Add(kPitO, p37, 0);
    const int d = w.Add(kPitD, p37, 0);
    w.Add(kPit2K, p37, 0);
    FillPit37Return(w, p37, o, d);
  }
  for (auto _ : state) {
    if (RunOpeningPass(w.ctx) != CalcStatus::Done) state.SkipWithError("calculation failed");
  }
}
BENCHMARK(BM_OpeningPass40Entries)->Unit(benchmark::kMillisecond);

}  // namespace
