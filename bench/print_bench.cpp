// Printing a whole 40-entry settlement (ten PIT-37 returns, each with two
// PIT/O and a PIT/D) into one PDF file: every page picture read and drawn,
// every field written, as "Wszystkie dokumenty i załączniki bieżącego
// rozliczenia" into a PDF file and `pit2014cli print --all` do it.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "app/settlement.h"
#include "forms/definition_files.h"
#include "forms/definition_library.h"
#include "output/print_order.h"
#include "printed_page.h"

namespace {

const std::string kDc = PIT_BIN_DIR "/dc";

pit::Settlement FortyEntries(pit::DefinitionLibrary& defs) {
  pit::Settlement s;
  for (int r = 0; r < 10; ++r) {
    const int m = s.AddEntry(pit::kPit37, 0, 0, 0);
    s.AddEntry(pit::kPitO, m, 1, 0);
    s.AddEntry(pit::kPitO, m, 1, 0);
    s.AddEntry(pit::kPitD, m, 1, 0);
  }
  s.RebuildTree(defs);
  // Every amount field filled, the texts of the persons too.
  for (int i = 1; i <= s.Count(); ++i) {
    for (int k = 0; k < pit::kSlotCount; ++k) {
      const pit::ValueSlot& v = s.Entry(i).Slot(k);
      if (v.Typ == pit::kLiczba) s.Write(i, k, std::to_string(1000 + k * 37) + ",50");
      if (v.Typ == pit::kTekst && v.Value.empty()) s.Write(i, k, "KOWALSKA");
      if (v.Typ == pit::kCheckbox) s.WriteCheck(i, k, k % 3 == 0);
    }
  }
  return s;
}

void BM_PrintFortyEntriesToPdf(benchmark::State& state) {
  pit::DefinitionLibrary defs(kDc);
  pit::Settlement s = FortyEntries(defs);
  const std::vector<int> entries = pit::EntriesToPrint(s, pit::kPrintSettlement, 1);
  int pages = 0;
  for (auto _ : state) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(pit::render::kPrinterPixelsPerInch);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter painter(&pdf);
    pit::render::FormPrinter printer(pit::render::PrintOptions{}, kDc);
    for (int n : entries) {
      const pit::FormEntry& e = s.Entry(n);
      pit::render::FormToPrint form;
      form.entryNumber = n;
      form.idPit = e.IdPit;
      form.code = s.Catalogue()[e.IdPit].Code;
      form.entry = &e;
      form.fileDefs = pit::LoadFieldObjects(pit::DcsPath(kDc, e.IdPit)).value_or(std::vector<pit::FieldObject>{});
      const int count = defs.Description(e.IdPit) ? defs.Description(e.IdPit)->PageCount : 0;
      for (int p = 1; p <= count; ++p) form.pages.push_back(p);
      printer.Print(painter, pdf, form, printer.PagesPrinted() == 0);
    }
    painter.end();
    pages = printer.PagesPrinted();
    benchmark::DoNotOptimize(buffer.data().size());
  }
  state.counters["pages"] = pages;
}
BENCHMARK(BM_PrintFortyEntriesToPdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
