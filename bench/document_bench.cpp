// Load and save of a 40-entry settlement, and filling the value slots of all
// 32 form types from their definition files.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/document.h"
#include "forms/definition_files.h"
#include "forms/definition_library.h"
#include "text/guid.h"

namespace fs = std::filesystem;

namespace {

struct Fixture {
  fs::path dir;
  Fixture() {
    dir = fs::temp_directory_path() / ("pit-bench-" + pit::NewGuidText());
    fs::create_directories(dir / "dc");
    // Every form type gets a full 350-field definition.
    std::vector<pit::FieldObject> fields(pit::kMaxFields);
    for (int k = 0; k < pit::kMaxFields; ++k) {
      fields[k].ID = k;
      fields[k].Typ = pit::kLiczba;
      fields[k].Option = 1;
      fields[k].DefValue = "0,00";
      fields[k].XMLNode = "P_" + std::to_string(k + 1);
      fields[k].Name = "Pole" + std::to_string(k);
    }
    for (int id = 1; id <= pit::kFormTypeCount; ++id) pit::SaveFieldObjects(pit::DcsPath((dir / "dc").string(), id), fields);
  }
  ~Fixture() { fs::remove_all(dir); }
  std::string Dc() const { return (dir / "dc").string(); }
};

Fixture& TheFixture() {
  static Fixture f;
  return f;
}

pit::Settlement FortyEntries(pit::DefinitionLibrary& defs) {
  pit::Settlement s;
  for (int r = 0; r < 10; ++r) {
    const int m = s.AddEntry(pit::kPit37, 0, 0, 0);
    s.AddEntry(pit::kPitO, m, 1, 0);
    s.AddEntry(pit::kPitO, m, 1, 0);
    s.AddEntry(pit::kPitD, m, 1, 0);
  }
  s.RebuildTree(defs);
  for (int i = 1; i <= s.Count(); ++i)
    for (int k = 0; k < 60; ++k) s.Write(i, k, std::to_string(1000 + k) + ",50");
  return s;
}

void BM_SaveFortyEntries(benchmark::State& state) {
  pit::DefinitionLibrary defs(TheFixture().Dc());
  pit::Settlement s = FortyEntries(defs);
  const std::string path = (TheFixture().dir / "bench.dc2014").string();
  for (auto _ : state) {
    const pit::FileResult r = pit::SaveSettlement(s, path);
    benchmark::DoNotOptimize(r.ok);
  }
}
BENCHMARK(BM_SaveFortyEntries)->Unit(benchmark::kMillisecond);

void BM_LoadFortyEntries(benchmark::State& state) {
  pit::DefinitionLibrary defs(TheFixture().Dc());
  pit::Settlement s = FortyEntries(defs);
  const std::string path = (TheFixture().dir / "bench-load.dc2014").string();
  pit::SaveSettlement(s, path);
  for (auto _ : state) {
    pit::Settlement r;
    pit::DefinitionLibrary fresh(TheFixture().Dc());  // a program start reads the definitions anew
    const pit::FileResult res = pit::LoadSettlement(path, r, fresh);
    benchmark::DoNotOptimize(res.ok);
  }
}
BENCHMARK(BM_LoadFortyEntries)->Unit(benchmark::kMillisecond);

void BM_FillSlotsOfAll32Forms(benchmark::State& state) {
  for (auto _ : state) {
    pit::DefinitionLibrary defs(TheFixture().Dc());
    pit::Settlement s;
    for (int id = 1; id <= pit::kFormTypeCount; ++id) s.AddEntry(id, 0, 0, 0);
    s.RebuildTree(defs);
    benchmark::DoNotOptimize(s.Entry(32).Slots()[349].Value.data());
  }
}
BENCHMARK(BM_FillSlotsOfAll32Forms)->Unit(benchmark::kMillisecond);

}  // namespace
