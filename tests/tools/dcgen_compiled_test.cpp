// The records the generator makes from each shipped source, kept as text in
// tests/tools/compiled/: one line per field record, one for the form
// description, one digest per page picture. Rewriting a source (templates,
// keys left to their defaults) or changing the generator must not change
// any of them unless the change is meant; the test then names the form, the
// record and the attribute that differ.
//
// After a change that is meant to alter the output, write the files anew
// and review their diff:
//   PIT_WRITE_COMPILED=1 build/tests/dcgen_test --gtest_filter='DcgenCompiled*'
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "fixed_measurer.h"
#include "form_source.h"
#include "forms/definition_files.h"

namespace fs = std::filesystem;

namespace {

using dcgen::testsupport::FixedMeasurer;

std::uint64_t Fnv(const void* data, std::size_t n, std::uint64_t h = 14695981039346656037ull) {
  const auto* p = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

std::string Hex(std::uint64_t v) {
  char buf[20];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
  return buf;
}

// One line of attribute=value pairs, tab-separated (no text of a form has a tab).
using Line = std::vector<std::pair<std::string, std::string>>;

std::string Join(const std::string& head, const Line& line) {
  std::string s = head;
  for (const auto& [k, v] : line) s += "\t" + k + "=" + v;
  return s;
}

// Every attribute of a record, in the order of the record.
Line Attributes(const pit::FieldObject& f) {
  auto n = [](int v) { return std::to_string(v); };
  auto b = [](bool v) { return std::string(v ? "1" : "0"); };
  Line l = {{"Left", n(f.Left)},           {"Top", n(f.Top)},
            {"Right", n(f.Right)},         {"Bottom", n(f.Bottom)},
            {"ID", n(f.ID)},               {"Page", n(f.Page)},
            {"Group", n(f.Group)},         {"Option", n(f.Option)},
            {"Typ", n(f.Typ)},             {"TextAlign", n(f.TextAlign)},
            {"MaxChar", n(f.MaxChar)},     {"Name", f.Name},
            {"Value", f.Value},            {"DefValue", f.DefValue},
            {"Hint", f.Hint},              {"XMLNode", f.XMLNode},
            {"FontSize", f.FontSize},      {"BorderColor", f.BorderColor},
            {"FillColor", f.FillColor},    {"TextColor", f.TextColor},
            {"Visible", b(f.Visible)},     {"ReadOnly", b(f.ReadOnly)},
            {"MustBe", b(f.MustBe)},       {"Block", b(f.Block)},
            {"Multiline", b(f.Multiline)}, {"PlusValue", b(f.PlusValue)},
            {"Tab", n(f.Tab)},             {"Poz", n(f.Poz)},
            {"Code", f.CheckValue()}};
  return l;
}

// What a record made with no settings has.
const Line& Plain() {
  static const Line plain = Attributes(pit::FieldObject{});
  return plain;
}

// The attributes that differ from a plain record, and a digest of its bytes.
Line RecordLine(const pit::FieldObject& f) {
  const Line l = Attributes(f);
  const Line& plain = Plain();
  Line kept;
  for (std::size_t i = 0; i < l.size(); ++i)
    if (l[i] != plain[i]) kept.push_back(l[i]);
  // Whatever the attributes above leave out is still in the record's bytes.
  std::vector<std::uint8_t> bytes(pit::kFieldRecordSize);
  pit::EncodeFieldObject(f, bytes.data());
  kept.push_back({"bytes", Hex(Fnv(bytes.data(), bytes.size()))});
  return kept;
}

std::string PrimText(const dcgen::Prim& p) {
  char buf[200];
  std::snprintf(buf, sizeof buf, "%d %.3f %.3f %.3f %.3f %d %d %d %.3f %.3f %d %d %d|", p.kind, p.x0,
                p.y0, p.x1, p.y1, p.color.r, p.color.g, p.color.b, p.pen, p.em, p.bold, p.align,
                p.background);
  return buf + p.text;
}

// The whole compiled form as the lines of its file in tests/tools/compiled/.
std::vector<std::string> Describe(const dcgen::CompiledForm& form) {
  std::vector<std::string> out;
  const auto& d = form.description;
  out.push_back(Join("opis", {{"Path", d.Path},
                              {"PageCount", std::to_string(d.PageCount)},
                              {"ScreenWidth", std::to_string(d.ScreenWidth)},
                              {"ScreenHeight", std::to_string(d.ScreenHeight)},
                              {"PageHeight", std::to_string(d.PageHeight)},
                              {"PageWidth", std::to_string(d.PageWidth)}}));
  for (std::size_t p = 0; p < form.pages.size(); ++p) {
    std::uint64_t h = Fnv(nullptr, 0);
    for (const auto& prim : form.pages[p].prims) {
      const std::string t = PrimText(prim);
      h = Fnv(t.data(), t.size(), h);
    }
    out.push_back(Join("strona " + std::to_string(p + 1),
                       {{"elementy", std::to_string(form.pages[p].prims.size())}, {"skrót", Hex(h)}}));
  }
  for (std::size_t k = 0; k < form.fields.size(); ++k)
    out.push_back(Join("pole " + std::to_string(k), RecordLine(form.fields[k])));
  return out;
}

// "pole 36\tLeft=27\t..." -> ("pole 36", {Left: 27, ...}), keeping the order.
std::pair<std::string, Line> Split(const std::string& text) {
  std::pair<std::string, Line> out;
  std::istringstream in(text);
  std::string part;
  std::getline(in, out.first, '\t');
  while (std::getline(in, part, '\t')) {
    const auto eq = part.find('=');
    out.second.push_back({part.substr(0, eq), eq == std::string::npos ? "" : part.substr(eq + 1)});
  }
  return out;
}

fs::path CompiledDir() { return fs::path(PIT_SOURCE_DIR) / "tests/tools/compiled"; }

TEST(DcgenCompiled, EachShippedSourceGivesTheRecordsKeptForIt) {
  const bool write = std::getenv("PIT_WRITE_COMPILED") != nullptr;
  SCOPED_TRACE("zmiana zamierzona? PIT_WRITE_COMPILED=1 build/tests/dcgen_test "
               "--gtest_filter='DcgenCompiled*' zapisuje pliki w tests/tools/compiled od nowa");
  FixedMeasurer m;
  const fs::path forms = fs::path(PIT_SOURCE_DIR) / "data/forms";
  const auto shared = dcgen::LoadSharedTemplates(forms);
  const std::vector<fs::path> sources = dcgen::FormSources(forms);
  ASSERT_FALSE(sources.empty());
  for (const fs::path& src : sources) {
    SCOPED_TRACE(src.filename().string());
    const std::vector<std::string> now =
        Describe(dcgen::CompileForm(YAML::LoadFile(src.string()), m, nullptr, shared ? &*shared : nullptr));
    const fs::path kept = CompiledDir() / (src.stem().string() + ".txt");
    if (write) {
      std::ofstream out(kept, std::ios::binary | std::ios::trunc);
      for (const auto& l : now) out << l << "\n";
      ASSERT_TRUE(out.good()) << kept;
      continue;
    }
    std::ifstream in(kept, std::ios::binary);
    ASSERT_TRUE(in.good()) << "brak " << kept << " (PIT_WRITE_COMPILED=1 zapisuje go)";
    std::vector<std::string> before;
    for (std::string l; std::getline(in, l);) before.push_back(l);
    EXPECT_EQ(before.size(), now.size()) << "liczba wierszy (opis, strony, rekordy pól)";
    for (std::size_t i = 0; i < std::min(before.size(), now.size()); ++i) {
      if (before[i] == now[i]) continue;
      const auto [whatBefore, was] = Split(before[i]);
      const auto [whatNow, is] = Split(now[i]);
      if (whatBefore != whatNow) {
        ADD_FAILURE() << "wiersz " << i + 1 << ": było \"" << before[i] << "\", jest \"" << now[i] << "\"";
        continue;
      }
      // An attribute missing from a line has the value of a record made with no settings.
      std::map<std::string, std::pair<std::string, std::string>> both;
      if (whatNow.rfind("pole ", 0) == 0)
        for (const auto& [k, v] : Plain()) both[k] = {v, v};
      for (const auto& [k, v] : was) both[k].first = v;
      for (const auto& [k, v] : is) both[k].second = v;
      for (const auto& [k, v] : both)
        EXPECT_EQ(v.first, v.second) << whatNow << ", " << k;
    }
  }
  if (write) GTEST_SKIP() << "zapisano pliki w " << CompiledDir();
}

// A key that gives what leaving it out gives only makes a source longer
// and hides the keys that matter.
TEST(DcgenCompiled, ShippedSourcesRepeatNoDefault) {
  FixedMeasurer m;
  const fs::path forms = fs::path(PIT_SOURCE_DIR) / "data/forms";
  const auto shared = dcgen::LoadSharedTemplates(forms);
  for (const fs::path& src : dcgen::FormSources(forms)) {
    std::vector<dcgen::RepeatedKey> repeated;
    dcgen::CompileForm(YAML::LoadFile(src.string()), m, &repeated, shared ? &*shared : nullptr);
    for (const auto& r : repeated)
      ADD_FAILURE() << (r.file.empty() ? src.filename().string() : r.file + " (" + src.filename().string() + ")")
                    << ":" << r.line << ":" << r.column << ": " << r.key;
  }
}

}  // namespace
