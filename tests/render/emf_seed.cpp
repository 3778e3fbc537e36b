// Writes a few well-formed pages into a folder, as the starting corpus of the
// EMF fuzz target: mutating valid pages reaches the record checks far sooner
// than random bytes do.
#include <cstdio>
#include <string>
#include <vector>

#include "emf/emf_writer.h"

namespace {

struct Fixed : pit::emf::TextMeasurer {
  std::vector<double> Advances(const pit::emf::Font& f, const std::u16string& s) override {
    return std::vector<double>(s.size(), f.emPx * 0.55);
  }
};

bool Save(const std::string& path, const std::vector<std::uint8_t>& b) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: emf_seed <folder>\n");
    return 2;
  }
  const std::string dir = argv[1];
  Fixed m;
  bool ok = true;
  {
    pit::emf::PageWriter w(m);
    ok &= Save(dir + "/empty.emf", w.Finish());
  }
  {
    pit::emf::PageWriter w(m);
    pit::emf::Font f;
    w.FillRect(10, 10, 90, 40, {244, 255, 223});
    w.FrameRect(10, 10, 90, 40, {153, 194, 153}, 1);
    w.Line(0, 50, 100, 50, {0, 0, 0}, 2);
    w.Polyline({{0, 0}, {5, 9}, {9, 0}}, {255, 0, 0}, 1);
    w.Text(50, 30, "Zażółć gęślą jaźń", f, {0, 0, 0}, pit::emf::HAlign::Center);
    f.bold = true;
    w.Text(90, 60, "PIT-37 \U0001F600", f, {0, 0, 128}, pit::emf::HAlign::Right);
    w.Picture(0, 100, 20, 120, 3, 2, std::vector<std::uint8_t>(18, 128));
    ok &= Save(dir + "/page.emf", w.Finish());
  }
  return ok ? 0 : 1;
}
