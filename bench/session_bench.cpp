// A commit as both programs make it: the typed amount through the session
// (the field's commit rules, then the calculation of the return with its
// PIT/O and PIT/D), on the definitions the build generates.
#include <benchmark/benchmark.h>

#include <tuple>
#include <utility>

#include "app/session.h"
#include "forms/definition_library.h"

namespace {

using namespace pit;

void BM_SessionCommitPit37(benchmark::State& state) {
  DefinitionLibrary defs(PIT_BIN_DIR "/dc");
  Settlement s;
  IdentificationRecords ids;
  SettlementSession session(s, ids);
  session.SetDefinitions(&defs);
  session.New(kJoint);
  s.SpouseIdKind = kIdNip;
  const int p = s.AddEntry(kPit37, 0, 0, kJoint);
  s.AddEntry(kPitO, p, 0, kJoint);
  s.AddEntry(kPitD, p, 0, kJoint);
  s.RebuildTree(defs);
  if (session.RecalculateAll({}, false) != CalcStatus::Done) state.SkipWithError("opening pass failed");
  for (const auto& [k, v] : {std::pair{36, "60000"}, {37, "1335"}, {40, "7000"}, {63, "30000"}})
    if (!session.CommitTyped(1, k, v).ok()) state.SkipWithError("commit refused");
  int i = 0;
  for (auto _ : state) {
    if (!session.Commit(1, 36, FieldInput::Typed((i++ & 1) ? "60000" : "61000")).ok())
      state.SkipWithError("commit failed");
  }
}
BENCHMARK(BM_SessionCommitPit37);

// A settlement of 40 entries, undo history on, its first return (entry 1)
// edited. `first` lays out the entries edited; the rest are PIT-37 returns
// with a PIT/O, a PIT/D and a PIT/2K each, so the history and the commit
// see a settlement of the size a family brings.
struct FortyEntries {
  DefinitionLibrary defs{PIT_BIN_DIR "/dc"};
  Settlement s;
  IdentificationRecords ids;
  SettlementSession session{s, ids};

  template <class First>
  bool Open(First first) {
    session.SetDefinitions(&defs);
    session.New(kIndividual);
    first(s);
    while (s.Count() + 4 <= 40) {
      const int p = s.AddEntry(kPit37, 0, 0, kIndividual);
      s.AddEntry(kPitO, p, 0, kIndividual);
      s.AddEntry(kPitD, p, 0, kIndividual);
      s.AddEntry(kPit2K, p, 0, kIndividual);
    }
    while (s.Count() < 40) s.AddEntry(kPit38, 0, 0, kIndividual);
    s.RebuildTree(defs);
    return session.RecalculateAll({}, false) == CalcStatus::Done;
  }
};

// A PIT-37 edit through the session.
void BM_SessionCommit40Pit37(benchmark::State& state) {
  FortyEntries w;
  if (!w.Open([](Settlement& s) {
        const int p = s.AddEntry(kPit37, 0, 0, kIndividual);
        s.AddEntry(kPitO, p, 0, kIndividual);
        s.AddEntry(kPitD, p, 0, kIndividual);
        s.AddEntry(kPit2K, p, 0, kIndividual);
      }))
    state.SkipWithError("opening pass failed");
  for (const auto& [k, v] : {std::pair{36, "60000"}, {37, "1335"}, {40, "7000"}})
    if (!w.session.CommitTyped(1, k, v).ok()) state.SkipWithError("commit refused");
  int i = 0;
  for (auto _ : state) {
    if (!w.session.Commit(1, 36, FieldInput::Typed((i++ & 1) ? "60000" : "61000")).ok())
      state.SkipWithError("commit failed");
  }
  state.counters["entries"] = w.s.Count();
}
BENCHMARK(BM_SessionCommit40Pit37);

// A PIT/B edit that runs the PIT-36 with its two PIT/B, PIT/O and PIT/D.
void BM_SessionCommit40Pit36Chain(benchmark::State& state) {
  FortyEntries w;
  int secondB = 0;
  if (!w.Open([&](Settlement& s) {
        const int p = s.AddEntry(kPit36, 0, 0, kIndividual);
        s.AddEntry(kPitB, p, 0, kIndividual);
        secondB = s.AddEntry(kPitB, p, 0, kIndividual);
        s.AddEntry(kPitO, p, 0, kIndividual);
        s.AddEntry(kPitD, p, 0, kIndividual);
      }))
    state.SkipWithError("opening pass failed");
  for (const auto& [e, k, v] : {std::tuple{1, 45, "60000"}, {2, 10, "100000"}, {2, 11, "40000"}, {secondB, 26, "20000"}})
    if (!w.session.CommitTyped(e, k, v).ok()) state.SkipWithError("commit refused");
  int i = 0;
  for (auto _ : state) {
    if (!w.session.Commit(secondB, 26, FieldInput::Typed((i++ & 1) ? "20000" : "21000")).ok())
      state.SkipWithError("commit failed");
  }
  state.counters["entries"] = w.s.Count();
}
BENCHMARK(BM_SessionCommit40Pit36Chain);

}  // namespace
