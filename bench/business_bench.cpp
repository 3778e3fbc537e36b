// A commit in a PIT/B: the chain PIT/B -> PIT-36 (and, with the business box
// ticked, PIT-36 -> PIT/B -> PIT-36) after every Enter in the PIT/B.
#include <benchmark/benchmark.h>

#include <string>

#include "app/settlement.h"
#include "bench_workspace.h"
#include "calc/calculation.h"

namespace {

using namespace pit;

using bench::Workspace;

// An individual PIT-36 with two PIT/B, a PIT/O and a PIT/D; the PIT/B
// revenue of the second copy alternates between two values.
void CommitCyclePitB(benchmark::State& state, bool businessBox) {
  Workspace w;
  w.s.Open();
  w.s.Kind = kIndividual;
  const int p36 = w.Add(kPit36, 0, 0);
  const int b1 = w.Add(kPitB, p36, 0);
  const int b2 = w.Add(kPitB, p36, 0);
  const int o = w.Add(kPitO, p36, 0);
  const int d = w.Add(kPitD, p36, 0);
  w.Set(p36, 9, "Kowalski");
  w.Set(p36, 45, "60000,00");
  w.Set(p36, 46, "1335,00");
  w.Set(p36, 49, "7000,00");
  if (businessBox) w.Tick(p36, 39);
  w.Set(b1, 10, "100000,00");
  w.Set(b1, 11, "40000,00");
  w.Set(b2, 21, "50,00");
  w.Set(b2, 26, "20000,00");
  w.Set(b2, 28, "5000,00");
  w.Set(o, 20, "760,00");
  w.Set(d, 47, "5000,00");
  w.Show(b2, kPitB, 1);
  int i = 0;
  for (auto _ : state) {
    w.Set(b2, 26, (i++ & 1) ? "20000,00" : "21000,00");
    if (RunCalculation(w.ctx, kPitB, b2) != CalcStatus::Done) state.SkipWithError("calculation failed");
  }
}

void BM_CommitCyclePitB(benchmark::State& state) { CommitCyclePitB(state, false); }
BENCHMARK(BM_CommitCyclePitB);

// A commit in the PIT-36 shown with box 39 ticked: its business pass runs
// the PIT/B, which writes both copies' totals and runs the PIT-36 again
// without the pass.
void BM_CommitCyclePitBThenPit36(benchmark::State& state) {
  Workspace w;
  w.s.Open();
  w.s.Kind = kIndividual;
  const int p36 = w.Add(kPit36, 0, 0);
  const int b1 = w.Add(kPitB, p36, 0);
  w.Add(kPitB, p36, 0);
  w.Add(kPitO, p36, 0);
  w.Add(kPitD, p36, 0);
  w.Tick(p36, 39);
  w.Set(b1, 10, "100000,00");
  w.Show(p36, kPit36, 2);
  int i = 0;
  for (auto _ : state) {
    w.Set(p36, 45, (i++ & 1) ? "60000,00" : "61000,00");
    if (RunCalculation(w.ctx, kPit36, p36) != CalcStatus::Done) state.SkipWithError("calculation failed");
  }
}
BENCHMARK(BM_CommitCyclePitBThenPit36);

// The PIT/B commit with box 39 ticked (the PIT-36 it runs has no pass).
void BM_CommitCyclePitBWithBox(benchmark::State& state) { CommitCyclePitB(state, true); }
BENCHMARK(BM_CommitCyclePitBWithBox);

}  // namespace
