// A damaged settlement meets damaged definitions: after loading, the
// opening pass calculates every entry and every page of every form is drawn,
// as opening a file in the desktop program does. Nothing may crash, hang or
// read outside its buffers, whatever the two files hold.
#include <QGuiApplication>
#include <QImage>
#include <unistd.h>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/document.h"
#include "app/file_io.h"
#include "calc/calculation.h"
#include "calc/context.h"
#include "calc/identification.h"
#include "forms/definition_files.h"
#include "forms/definition_library.h"
#include "page_painter.h"

namespace {

// Never destroyed: at exit Qt's own globals go first, and an application
// object torn down after them crashes the finished run.
QGuiApplication* app = nullptr;
std::string dcDir;

// A field that every form could have: the fuzzer's bytes overwrite its
// leading numbers (rectangle, page, type, alignment, cells) and its texts.
std::vector<std::uint8_t> Template() {
  pit::FieldObject f;
  f.Left = 100;
  f.Top = 100;
  f.Right = 300;
  f.Bottom = 120;
  f.Typ = pit::kLiczba;
  f.MaxChar = 14;
  std::vector<std::uint8_t> rec(pit::kFieldRecordSize);
  pit::EncodeFieldObject(f, rec.data());
  return rec;
}

}  // namespace

// The system's font configuration keeps caches it fills on the first use of
// a font; they are not our leaks.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  app = new QGuiApplication(*argc, *argv);
  dcDir = (std::filesystem::temp_directory_path() / ("pit-fuzz-dc-" + std::to_string(::getpid()))).string();
  std::filesystem::create_directories(dcDir);
  // Font caches are filled once here, not counted against the first input.
  pit::FormEntry entry;
  pit::FieldObject f;
  f.Right = 100;
  f.Bottom = 20;
  entry.Unlisted()[0].Value = "1,00";
  (void)pit::render::RenderPage(nullptr, pit::kPit37, {f}, entry, 1, {}, 0, 100);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  // First half: the settlement's records; second half: the field records.
  const std::size_t half = size / 2;
  const std::size_t records = 1 + data[0] % 3;
  std::vector<std::uint8_t> doc(pit::kEntryRecordSize * records, 0);
  const std::size_t head = std::min<std::size_t>(half, 6000);
  for (std::size_t r = 0; r < records; ++r) {
    std::copy(data, data + head, doc.data() + r * pit::kEntryRecordSize);
  }
  static const std::vector<std::uint8_t> tmpl = Template();
  const std::size_t fieldCount = 1 + data[1] % 4;
  const std::size_t perField = std::max<std::size_t>(1, (size - half) / fieldCount);
  std::vector<std::uint8_t> dcs;
  for (std::size_t k = 0; k < fieldCount; ++k) {
    std::vector<std::uint8_t> rec = tmpl;
    const std::size_t from = std::min(size, half + k * perField);
    const std::size_t n = std::min({perField, size - from, rec.size()});
    std::copy(data + from, data + from + n, rec.begin());
    dcs.insert(dcs.end(), rec.begin(), rec.end());
  }

  pit::Settlement s;
  pit::DecodeSettlement(doc, s);
  for (int i = 1; i <= s.Count(); ++i) {
    const int idPit = s.Entry(i).IdPit;
    if (pit::FormCatalogue::IsValid(idPit)) pit::WriteFileAtomically(pit::DcsPath(dcDir, idPit), dcs);
  }
  pit::DefinitionLibrary defs(dcDir);
  s.RebuildTree(defs);
  pit::RefreshFromDefinitions(s, defs);

  pit::IdentificationRecords ids;
  pit::CalcContext ctx(s, ids);
  ctx.countryCodeOf = [](const std::string& name) { return name.empty() ? std::string() : std::string("PL"); };
  pit::RunOpeningPass(ctx);

  for (int i = 1; i <= s.Count(); ++i) {
    const std::vector<pit::FieldObject>* fields = defs.Fields(s.Entry(i).IdPit);
    if (fields == nullptr) continue;
    int pages = 1;
    for (const pit::FieldObject& f : *fields) pages = std::max(pages, std::min(f.Page, 6));
    for (int page = 1; page <= pages; ++page) {
      (void)pit::render::RenderPage(nullptr, s.Entry(i).IdPit, *fields, s.Entry(i), page, {}, 0, 1131);
    }
  }
  (void)defs.TakeProblems();
  for (int i = 1; i <= 32; ++i) std::filesystem::remove(pit::DcsPath(dcDir, i));
  return 0;
}
