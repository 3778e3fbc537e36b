// The required-field check of a 40-entry settlement, and the export of a
// PIT-37 return with PIT/O, PIT/D and PIT/2K with its HTML copy (ten page
// bitmaps), on the definitions the build generates into bin/dc.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <filesystem>

#include "app/session.h"
#include "app/settlement.h"
#include "forms/definition_library.h"
#include "html_copy_pages.h"
#include "output/export_folder.h"
#include "output/validation.h"
#include "print_options.h"
#include "text/guid.h"

namespace fs = std::filesystem;

namespace {

const std::string kDc = PIT_BIN_DIR "/dc";

pit::Settlement Returns(pit::DefinitionLibrary& defs, int returns) {
  pit::Settlement s;
  s.Open();
  for (int r = 0; r < returns; ++r) {
    const int m = s.AddEntry(pit::kPit37, 0, pit::kPmNone, pit::kIndividual);
    s.AddEntry(pit::kPitO, m, pit::kPmTaxpayer, pit::kIndividual);
    s.AddEntry(pit::kPitD, m, pit::kPmTaxpayer, pit::kIndividual);
    s.AddEntry(pit::kPit2K, m, pit::kPmTaxpayer, pit::kIndividual);
  }
  s.RebuildTree(defs);
  for (int i = 1; i <= s.Count(); ++i)
    for (int k = 36; k < 60; ++k) s.Write(i, k, "1234,50");
  return s;
}

void BM_ValidateFortyEntries(benchmark::State& state) {
  pit::DefinitionLibrary defs(kDc);
  pit::Settlement s = Returns(defs, 10);
  int problems = 0;
  for (auto _ : state) {
    problems = pit::ValidateSettlement(s, defs).count;
    benchmark::DoNotOptimize(problems);
  }
  state.counters["problems"] = problems;
}
BENCHMARK(BM_ValidateFortyEntries)->Unit(benchmark::kMillisecond);

void BM_ExportWithHtmlCopy(benchmark::State& state) {
  pit::DefinitionLibrary defs(kDc);
  pit::Settlement s = Returns(defs, 1);
  const fs::path dir = fs::temp_directory_path() / ("pit-bench-export-" + pit::NewGuidText());
  std::vector<std::string> messages;
  // Each entry drawn as the form window would show it, as the program does.
  pit::IdentificationRecords ids;
  pit::SettlementSession session(s, ids);
  session.SetDefinitions(&defs);
  const pit::DrawPageHook draw = pit::render::HtmlCopyDrawer(
      s, defs, [&session](int n) { return session.FieldsAsShown(n); }, pit::render::PrintOptions{}, messages);
  for (auto _ : state) {
    pit::ExportRequest r{dir.string(), pit::NewGuidText(), s.Entry(1).ReturnGuid, PIT_BIN_DIR "/icon", true};
    const pit::ExportOutcome out = pit::ExportReturn(s, defs, r, {}, draw);
    benchmark::DoNotOptimize(out.filesWritten);
  }
  fs::remove_all(dir);
}
BENCHMARK(BM_ExportWithHtmlCopy)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
