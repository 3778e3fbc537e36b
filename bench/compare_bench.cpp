// Comparing the methods of taxation: every option worked out on copies of
// a 40-entry settlement (target under 20 ms).
#include <benchmark/benchmark.h>

#include "bench_workspace.h"
#include "compare/methods.h"

namespace {

using namespace pit;

using bench::Workspace;

// Ten PIT-37 returns with a PIT/O, a PIT/D and a PIT/2K each, both persons'
// incomes and reliefs filled in.
void FortyEntries(Workspace& w, int kind) {
  w.s.Open();
  w.s.Kind = kind;
  w.s.SpouseIdKind = kind == kJoint ? kIdNip : kIdNone;
  for (int r = 0; r < 10; ++r) {
    const int p37 = w.Add(kPit37, 0, 0);
    const int o = w.Add(kPitO, p37, 0);
    const int d = w.Add(kPitD, p37, 0);
    w.Add(kPit2K, p37, 0);
    w.Set(p37, 36, "60000,00");
    w.Set(p37, 37, "1335,00");
    w.Set(p37, 40, "7000,00");
    w.Set(p37, 63, "30000,00");
    w.Set(p37, 64, "1335,00");
    w.Set(o, 34, "2");
    w.Set(o, 35, "1112,04");
    w.Set(o, 36, "1112,04");
    w.Set(o, 12, "500,00");
    w.Set(o, 13, "300,00");
    w.Set(d, 29, "1000,00");
  }
}

// Individually against as a single parent, and a joint settlement: the
// joint returns against each spouse's own.
void BM_CompareMethodsFortyEntries(benchmark::State& state, int kind) {
  Workspace w;
  FortyEntries(w, kind);
  for (auto _ : state) {
    const MethodComparison c = CompareMethods(w.s, w.ids);
    if (!c.best) state.SkipWithError("no option available");
    benchmark::DoNotOptimize(c);
  }
}
BENCHMARK_CAPTURE(BM_CompareMethodsFortyEntries, Individual, kIndividual)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CompareMethodsFortyEntries, Joint, kJoint)->Unit(benchmark::kMillisecond);

}  // namespace
