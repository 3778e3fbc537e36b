// A commit as both programs make it: the typed amount through the session
// (the field's commit rules, then the calculation of the return with its
// PIT/O and PIT/D), on the definitions the build generates.
#include <benchmark/benchmark.h>

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

}  // namespace
