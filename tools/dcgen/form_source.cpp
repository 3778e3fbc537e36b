#include "form_source.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <tuple>

#include "field_ids.h"
#include "templates.h"
#include "text/cp1250.h"

namespace dcgen {
namespace {

// Page frame of the printed form.
constexpr double kLeft = 24, kRight = 776;
constexpr double kTop = 22;
constexpr double kFooterTop = kPageHeight - 26;

// Type sizes in page pixels (em heights).
constexpr double kLabelEm = 7.4, kLabelLine = 8.6;
constexpr double kBarEm = 9.2, kBarLine = 11;
constexpr double kCaptionEm = 7.6;
constexpr double kBox = 12;

constexpr Rgb8 kBlack{0, 0, 0};
constexpr Rgb8 kWhite{255, 255, 255};
constexpr Rgb8 kRule{70, 70, 70};

Rgb8 ParseHex(const std::string& s, Rgb8 fallback) {
  if (s.size() != 6) return fallback;
  try {
    unsigned v = std::stoul(s, nullptr, 16);
    return Rgb8{static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 8),
                static_cast<unsigned char>(v)};
  } catch (...) {
    return fallback;
  }
}

// Cuts a UTF-8 text to at most `chars` characters (one Windows-1250 byte each).
std::string CutChars(const std::string& s, std::size_t chars) {
  std::size_t count = 0, i = 0;
  while (i < s.size() && count < chars) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    i += c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
    ++count;
  }
  return s.substr(0, std::min(i, s.size()));
}

// What a field type means for its record, before the source's own settings.
struct TypeDefaults {
  int typ;
  int option;
  const char* defValue;
  int align;
  int maxChar;
  const char* fontSize;
  double height;  // of the field's box on the page
};

const std::map<std::string, TypeDefaults>& Types() {
  static const std::map<std::string, TypeDefaults> t = {
      {"text", {pit::kTekst, 0, "", pit::kAlignLeft, 0, "9", 16}},
      {"amount", {pit::kLiczba, 1, "0,00", pit::kAlignRight, 0, "10", 16}},
      {"count", {pit::kLiczba, 2, "0", pit::kAlignRight, 0, "10", 16}},
      {"nip", {pit::kNip, 1, "", pit::kAlignLeft, 13, "10", 17}},
      // A person's NIP or PESEL: plain digits, one per cell. Ten characters
      // hold a NIP; the calculation widens it to eleven for a PESEL.
      {"id", {pit::kTekst, 0, "", pit::kAlignCells, 10, "10", 17}},
      {"date", {pit::kData, 0, "", pit::kAlignCells, 10, "10", 17}},
      {"krs", {pit::kSelect, 0, "", pit::kAlignCells, 10, "10", 17}},
      {"box", {pit::kCheckbox, 0, "", pit::kAlignLeft, 0, "0", kBox}},
      {"line", {pit::kKreska, 0, "", pit::kAlignLeft, 0, "0", 8}},
      {"office", {pit::kUrzadSkarbowy, 0, "", pit::kAlignLeft, 0, "9", 16}},
      {"country", {pit::kKraj, 0, "", pit::kAlignLeft, 0, "9", 16}},
      {"percent", {pit::kJedenProcent, 1, "0,00", pit::kAlignRight, 0, "10", 16}},
  };
  return t;
}

struct Word {
  std::string text;
  std::string mark;  // "NIP" / "PESEL" for the printed identifier words
};

struct LaidLine {
  std::vector<Word> words;
};

// The values of the shared templates file by their place in it: a value
// read while compiling is the shared file's when it is one of these nodes
// (the expanded source holds the shared file's nodes themselves).
class SharedValues {
 public:
  explicit SharedValues(const SharedTemplates* shared) {
    if (shared) Collect(shared->templates);
  }
  bool Holds(const YAML::Node& v) const {
    const YAML::Mark m = v.Mark();
    const auto [from, to] = values_.equal_range({m.line, m.column});
    for (auto it = from; it != to; ++it)
      if (it->second.is(v)) return true;
    return false;
  }

 private:
  void Collect(const YAML::Node& n) {
    if (n.IsMap()) {
      for (const auto& kv : n) Collect(kv.second);
    } else if (n.IsSequence()) {
      for (const auto& item : n) Collect(item);
    }
    if (n.Mark().line >= 0) values_.emplace(std::make_pair(n.Mark().line, n.Mark().column), n);
  }
  std::multimap<std::pair<int, int>, YAML::Node> values_;
};

class Compiler {
 public:
  Compiler(const YAML::Node& src, Measurer& m, const SharedTemplates* shared)
      : src_(src), m_(m), shared_(shared), sharedValues_(shared) {}

  // Keys of the source (by the place of their value) whose every read gave
  // the value the generator takes when the key is left out.
  std::vector<RepeatedKey> Repeated() const {
    std::vector<RepeatedKey> out;
    for (const auto& [at, read] : reads_)
      if (!read.needed)
        out.push_back({std::get<1>(at) + 1, std::get<2>(at) + 1, read.key,
                       std::get<0>(at) ? shared_->file : std::string()});
    return out;
  }

  CompiledForm Run() {
    out_.idPit = src_["form"].as<int>();
    out_.code = Str(src_, "code");
    out_.variant = Int(src_, "variant", 0);
    bg_ = ParseHex(Str(src_, "background", "EEF2E6"), Rgb8{238, 242, 230});
    bar_ = ParseHex(Str(src_, "bar", "C9D6B4"), Rgb8{201, 214, 180});
    sub_ = ParseHex(Str(src_, "subbar", "DDE6CF"), Rgb8{221, 230, 207});
    const YAML::Node pages = src_["pages"];
    if (!pages || !pages.IsSequence() || pages.size() == 0) Fail("brak stron");
    pageCount_ = static_cast<int>(pages.size());
    for (std::size_t p = 0; p < pages.size(); ++p) {
      page_ = static_cast<int>(p) + 1;
      out_.pages.emplace_back();
      prims_ = &out_.pages.back().prims;
      Add(Prim{Prim::kFill, 0, 0, kPageWidth, kPageHeight, bg_, 0, "", 0, false, 0, true});
      y_ = kTop;
      for (const auto& block : pages[p]["blocks"]) Block(block);
      Footer();
    }
    Finish();
    return std::move(out_);
  }

 private:
  // --- reading the source ----------------------------------------------------
  // Every read of a key that may be left out goes through Get, which notes
  // whether the value given differs from the one taken without it.
  template <typename T>
  T Get(const YAML::Node& n, const char* key, const T& def) {
    const YAML::Node v = n[key];
    if (!v) return def;
    const T value = v.as<T>();
    Note(v, key, !(value == def));
    return value;
  }
  std::string Str(const YAML::Node& n, const char* key, const std::string& def = "") {
    return Get<std::string>(n, key, def);
  }
  int Int(const YAML::Node& n, const char* key, int def) { return Get<int>(n, key, def); }
  double Dbl(const YAML::Node& n, const char* key, double def) { return Get<double>(n, key, def); }
  bool Bool(const YAML::Node& n, const char* key, bool def) { return Get<bool>(n, key, def); }
  // A key that counts by being there (or by a value not read through Get).
  void Note(const YAML::Node& v, const char* key, bool needed) {
    const YAML::Mark m = v.Mark();
    if (m.line < 0) return;  // made by a template's parameter
    Read& r = reads_[{sharedValues_.Holds(v), m.line, m.column}];
    r.key = key;
    r.needed = r.needed || needed;
  }

  [[noreturn]] void Fail(const std::string& what) const {
    throw SourceError(out_.code + " (" + std::to_string(out_.idPit) + "), strona " +
                      std::to_string(page_) + ": " + what);
  }

  void Add(const Prim& p) { prims_->push_back(p); }
  void Fill(double x0, double y0, double x1, double y1, Rgb8 c, bool background) {
    Prim p;
    p.kind = Prim::kFill;
    p.x0 = x0, p.y0 = y0, p.x1 = x1, p.y1 = y1, p.color = c, p.background = background;
    Add(p);
  }
  void Frame(double x0, double y0, double x1, double y1, double pen = 0.7) {
    Prim p;
    p.kind = Prim::kFrame;
    p.x0 = x0, p.y0 = y0, p.x1 = x1, p.y1 = y1, p.color = kRule, p.pen = pen;
    Add(p);
  }
  void Line(double x0, double y0, double x1, double y1, double pen = 0.7) {
    Prim p;
    p.kind = Prim::kLine;
    p.x0 = x0, p.y0 = y0, p.x1 = x1, p.y1 = y1, p.color = kRule, p.pen = pen;
    Add(p);
  }
  void Text(double x, double baseline, const std::string& s, double em, bool bold, int align = 0) {
    if (s.empty()) return;
    Prim p;
    p.kind = Prim::kText;
    p.x0 = x, p.y0 = baseline, p.text = s, p.em = em, p.bold = bold, p.align = align,
    p.color = kBlack;
    Add(p);
  }

  // Greedy word wrap; "{NIP}" and "{PESEL}" become marked words.
  std::vector<LaidLine> Wrap(const std::string& text, double em, bool bold, double width) {
    std::vector<LaidLine> lines;
    std::istringstream in(text);
    std::string token;
    LaidLine cur;
    std::string curText;
    while (in >> token) {
      Word w{token, ""};
      for (const char* mark : {"NIP", "PESEL"}) {
        std::string tag = std::string("{") + mark + "}";
        auto at = token.find(tag);
        if (at != std::string::npos) {
          w.text = token.substr(0, at) + mark + token.substr(at + tag.size());
          w.mark = mark;
        }
      }
      std::string trial = curText.empty() ? w.text : curText + " " + w.text;
      if (!curText.empty() && m_.Width(trial, em, bold) > width) {
        lines.push_back(cur);
        cur = LaidLine{};
        trial = w.text;
      }
      cur.words.push_back(w);
      curText = trial;
    }
    if (!cur.words.empty()) lines.push_back(cur);
    return lines;
  }

  static std::string Join(const LaidLine& l, std::size_t upto) {
    std::string s;
    for (std::size_t i = 0; i < upto && i < l.words.size(); ++i) {
      if (i) s += ' ';
      s += l.words[i].text;
    }
    return s;
  }

  // Draws wrapped lines from `top`; returns the marked words' boxes.
  std::map<std::string, std::array<double, 4>> DrawLines(const std::vector<LaidLine>& lines,
                                                         double x, double top, double em,
                                                         double lineH, bool bold, int align = 0,
                                                         double width = 0) {
    std::map<std::string, std::array<double, 4>> marks;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      double base = top + lineH * (i + 1) - (lineH - em) * 0.5 - 1;
      std::string s = Join(lines[i], lines[i].words.size());
      double ax = align == 1 ? x + width / 2 : x;
      Text(ax, base, s, em, bold, align);
      for (std::size_t w = 0; w < lines[i].words.size(); ++w) {
        const Word& word = lines[i].words[w];
        if (word.mark.empty()) continue;
        std::string before = Join(lines[i], w);
        double wx = x + (w ? m_.Width(before + " ", em, bold) : 0);
        std::size_t at = word.text.find(word.mark);
        wx += m_.Width(word.text.substr(0, at), em, bold);
        double ww = m_.Width(word.mark, em, bold);
        double mid = base - em * 0.36;
        marks[word.mark] = {wx - 1, mid - 4, wx + ww + 1, mid + 4};
      }
    }
    return marks;
  }

  void Footer() {
    if (y_ > kFooterTop - 2) Fail("treść nie mieści się na stronie (y = " + std::to_string(y_) + ")");
    Line(kLeft, kFooterTop, kRight, kFooterTop, 1.0);
    std::string codeText = out_.code + " (" + std::to_string(out_.variant) + ")";
    Text(kLeft, kFooterTop + 13, codeText, 9.5, true);
    Text(kRight, kFooterTop + 13,
         "strona " + std::to_string(page_) + "/" + std::to_string(pageCount_), 8.5, false, 2);
  }

  void Block(const YAML::Node& b) {
    if (b["section"]) return SectionBar(b, false);
    if (b["subsection"]) return SectionBar(b, true);
    if (b["title"]) return TitleBlock(b);
    if (b["text"]) return Paragraph(b);
    if (b["gap"]) {
      y_ += b["gap"].as<double>();
      return;
    }
    if (b["cells"]) return Row(b);
    Fail("nieznany blok");
  }

  void TitleBlock(const YAML::Node& b) {
    const double codeW = 150;
    double top = y_;
    std::vector<LaidLine> title = Wrap(Str(b, "title"), 12.5, true, kRight - kLeft - codeW - 12);
    std::vector<LaidLine> sub = Wrap(Str(b, "sub"), kLabelEm, false, kRight - kLeft - codeW - 12);
    double h = std::max(50.0, 8 + title.size() * 15.0 + sub.size() * kLabelLine + 8);
    Fill(kLeft, top, kRight, top + h, bar_, true);
    Frame(kLeft, top, kRight, top + h);
    Line(kLeft + codeW, top, kLeft + codeW, top + h);
    // A long code (UPKD ORD-ZU) is set smaller so that it stays in its box.
    double codeEm = 26;
    double codeWidth = m_.Width(out_.code, codeEm, true);
    if (codeWidth > codeW - 12) codeEm *= (codeW - 12) / codeWidth;
    Text(kLeft + codeW / 2, top + h / 2 + codeEm * 0.23, out_.code, codeEm, true, 1);
    Text(kLeft + codeW / 2, top + h - 5, "(" + std::to_string(out_.variant) + ")", 8, false, 1);
    DrawLines(title, kLeft + codeW + 8, top + 5, 12.5, 15, true);
    DrawLines(sub, kLeft + codeW + 8, top + 8 + title.size() * 15.0, kLabelEm, kLabelLine, false);
    y_ = top + h;
  }

  void SectionBar(const YAML::Node& b, bool sub) {
    std::string letter = Str(b, sub ? "subsection" : "section");
    std::string title = Str(b, "title");
    double em = sub ? kBarEm - 1 : kBarEm;
    double lead = m_.Width(letter + ". ", em, true);
    std::vector<LaidLine> lines = Wrap(title, em, true, kRight - kLeft - 8 - lead);
    std::vector<LaidLine> note = Wrap(Str(b, "note"), kLabelEm, false, kRight - kLeft - 8 - lead);
    double h = 4 + lines.size() * kBarLine + note.size() * kLabelLine + 2;
    Fill(kLeft, y_, kRight, y_ + h, sub ? sub_ : bar_, true);
    Frame(kLeft, y_, kRight, y_ + h);
    DrawLines({LaidLine{{Word{letter + ".", ""}}}}, kLeft + 4, y_ + 2, em, kBarLine, true);
    DrawLines(lines, kLeft + 4 + lead, y_ + 2, em, kBarLine, true);
    DrawLines(note, kLeft + 4 + lead, y_ + 2 + lines.size() * kBarLine, kLabelEm, kLabelLine,
              false);
    y_ += h;
  }

  void Paragraph(const YAML::Node& b) {
    double em = Dbl(b, "size", kLabelEm);
    bool bold = Bool(b, "bold", false);
    double lineH = em * 1.18;
    std::vector<LaidLine> lines = Wrap(Str(b, "text"), em, bold, kRight - kLeft - 8);
    double h = 3 + lines.size() * lineH + 3;
    Frame(kLeft, y_, kRight, y_ + h);
    DrawLines(lines, kLeft + 4, y_ + 3, em, lineH, bold);
    y_ += h;
  }

  // --- rows of cells -------------------------------------------------------
  struct CellGeom {
    double x0, x1;
  };

  enum class CellKind { kField, kTicks, kLabel };
  static CellKind KindOf(const YAML::Node& c) {
    if (c["boxes"]) return CellKind::kTicks;
    if (c["f"]) return CellKind::kField;
    return CellKind::kLabel;
  }

  std::string NumberPrefix(const YAML::Node& c) const {
    return c["poz"] ? c["poz"].as<std::string>() + "." : std::string();
  }

  double LabelIndent(const YAML::Node& c) {
    std::string n = NumberPrefix(c);
    return n.empty() ? 0 : m_.Width(n, kLabelEm, true) + 3;
  }

  std::vector<LaidLine> LabelLines(const YAML::Node& c, double width) {
    return Wrap(Str(c, "label"), kLabelEm, false, width - 6 - LabelIndent(c));
  }

  // Tick boxes flow left to right (or one per line with `stack`).
  struct BoxPlace {
    double x, y;  // top-left of the box, relative to the flow's top
    std::vector<LaidLine> caption;
  };
  std::vector<BoxPlace> FlowBoxes(const YAML::Node& c, double width, double* height) {
    std::vector<BoxPlace> out;
    const double x0 = 6;
    double x = x0, y = 0, lineH = 0;
    bool stack = Bool(c, "stack", false);
    for (const auto& b : c["boxes"]) {
      // A box of its own printed position shows that number; otherwise the
      // code the box stands for.
      std::string caption =
          Str(b, "caption", (b["poz"] ? Str(b, "poz") : Str(b, "code")) + ". " + Str(b, "text"));
      double avail = width - x0 - kBox - 10;
      double full = m_.Width(caption, kCaptionEm, false);
      double need = kBox + 4 + std::min(full, avail) + 14;
      if (x > x0 && (stack || x + need > width)) {
        x = x0;
        y += lineH + 3;
        lineH = 0;
      }
      double capW = std::min(full, width - x - kBox - 10);
      BoxPlace place{x, y, Wrap(caption, kCaptionEm, false, std::max(capW, 40.0) + 1)};
      double h = std::max(kBox, place.caption.size() * kLabelLine + 2);
      lineH = std::max(lineH, h);
      out.push_back(place);
      x += kBox + 4 + capW + 14;
    }
    *height = y + lineH;
    return out;
  }

  double FieldHeight(const YAML::Node& c) {
    auto it = Types().find(Str(c, "t", "amount"));
    if (it == Types().end()) Fail("nieznany typ pola '" + Str(c, "t") + "'");
    return Dbl(c, "fh", Bool(c, "multi", false) ? 34 : it->second.height);
  }

  double CellNeed(const YAML::Node& c, const CellGeom& g) {
    double w = g.x1 - g.x0;
    switch (KindOf(c)) {
      case CellKind::kLabel: {
        double em = Dbl(c, "size", kLabelEm);
        return 4 + Wrap(Str(c, "label"), em, Bool(c, "bold", false), w - 6).size() * em * 1.18 + 3;
      }
      case CellKind::kTicks: {
        double flowH = 0;
        FlowBoxes(c, w, &flowH);
        size_t n = LabelLines(c, w).size();
        if (n == 0 && c["poz"]) n = 1;
        return 2 + n * kLabelLine + 3 + flowH + 4;
      }
      case CellKind::kField: {
        size_t n = LabelLines(c, w).size();
        if (n == 0 && c["poz"]) n = 1;
        return 2 + n * kLabelLine + 2 + FieldHeight(c) + 3;
      }
    }
    return 0;
  }

  void Row(const YAML::Node& b) {
    const YAML::Node cells = b["cells"];
    double total = 0;
    for (const auto& c : cells)
      if (!c["over"]) total += Dbl(c, "w", 1);
    const double indent = Dbl(b, "indent", 0);
    double x0 = kLeft + indent;
    std::vector<CellGeom> geom;
    double x = x0;
    for (const auto& c : cells) {
      double w = c["over"] ? 0 : (kRight - x0) * Dbl(c, "w", 1) / total;
      geom.push_back({x, x + w});
      x += w;
    }
    double h = Dbl(b, "h", 0);
    for (std::size_t i = 0; i < cells.size(); ++i)
      if (!cells[i]["over"]) h = std::max(h, CellNeed(cells[i], geom[i]));
    if (indent > 0) Frame(kLeft, y_, x0, y_ + h);
    for (std::size_t i = 0; i < cells.size(); ++i) {
      if (cells[i]["over"]) {
        Over(cells[i]);
      } else {
        Cell(cells[i], geom[i], y_, y_ + h);
      }
    }
    y_ += h;
  }

  // A field over an earlier one of the page takes its rectangle; made in its
  // place in the row, it follows the field it covers in the tab order.
  void Over(const YAML::Node& c) {
    const int under = c["over"].as<int>();
    const int idx = c["f"].as<int>();
    if (!defined_.count(under) || out_.fields[static_cast<std::size_t>(under)].Page != page_)
      Fail("pole " + std::to_string(idx) + ": 'over' wskazuje pole " + std::to_string(under) +
           ", którego nie ma wcześniej na tej stronie");
    const pit::FieldObject& u = out_.fields[static_cast<std::size_t>(under)];
    MakeField(c, {u.Left, u.Top, u.Right, u.Bottom}, c["poz"] ? c["poz"].as<int>() : 0);
  }

  void Cell(const YAML::Node& c, const CellGeom& g, double top, double bottom) {
    CellKind kind = KindOf(c);
    bool white = kind != CellKind::kLabel || Bool(c, "white", false);
    if (white) Fill(g.x0, top, g.x1, bottom, kWhite, true);
    Frame(g.x0, top, g.x1, bottom);
    if (kind == CellKind::kLabel) {
      double em = Dbl(c, "size", kLabelEm);
      bool bold = Bool(c, "bold", false);
      auto lines = Wrap(Str(c, "label"), em, bold, g.x1 - g.x0 - 6);
      int align = Str(c, "align") == "center" ? 1 : 0;
      double textH = lines.size() * em * 1.18;
      double ty = Bool(c, "top", false) ? top + 3 : top + std::max(3.0, (bottom - top - textH) / 2);
      DrawLines(lines, g.x0 + 3, ty, em, em * 1.18, bold, align, g.x1 - g.x0 - 6);
      return;
    }
    // Position number and label at the top left.
    std::string number = NumberPrefix(c);
    if (!number.empty()) Text(g.x0 + 3, top + 2 + kLabelLine - 2.2, number, kLabelEm, true);
    auto lines = LabelLines(c, g.x1 - g.x0);
    auto marks = DrawLines(lines, g.x0 + 3 + LabelIndent(c), top + 2, kLabelEm, kLabelLine, false);
    double labelBottom = top + 2 + std::max<std::size_t>(lines.size(), number.empty() ? 0 : 1) * kLabelLine;
    if (kind == CellKind::kTicks) return TickGroup(c, g, labelBottom + 3);
    double fh = FieldHeight(c);
    std::array<int, 4> rect = {static_cast<int>(std::lround(g.x0 + 3)),
                               static_cast<int>(std::lround(bottom - 3 - fh)),
                               static_cast<int>(std::lround(g.x1 - 3)),
                               static_cast<int>(std::lround(bottom - 3))};
    if (Str(c, "t", "amount") == "box") {
      rect = {static_cast<int>(std::lround(g.x0 + 6)), rect[3] - static_cast<int>(kBox),
              static_cast<int>(std::lround(g.x0 + 6 + kBox)), rect[3]};
      DrawBox(rect);
    }
    if (c["rect"]) {
      for (int i = 0; i < 4; ++i) rect[i] = c["rect"][i].as<int>();
    }
    MakeField(c, rect, c["poz"] ? c["poz"].as<int>() : 0);
    if (c["strike"]) {
      for (const char* word : {"NIP", "PESEL"}) {
        const YAML::Node idx = c["strike"][word];
        if (!idx) continue;
        auto m = marks.find(word);
        if (m == marks.end()) Fail(std::string("etykieta bez słowa {") + word + "}");
        YAML::Node line;
        line["f"] = idx.as<int>();
        line["t"] = "line";
        const auto& r = m->second;
        MakeField(line,
                  {static_cast<int>(std::floor(r[0])), static_cast<int>(std::lround(r[1])),
                   static_cast<int>(std::ceil(r[2])), static_cast<int>(std::lround(r[3]))},
                  0);
      }
    }
  }

  void DrawBox(const std::array<int, 4>& r) {
    Fill(r[0], r[1], r[2], r[3], kWhite, true);
    Prim p;
    p.kind = Prim::kFrame;
    p.x0 = r[0], p.y0 = r[1], p.x1 = r[2], p.y1 = r[3], p.color = kBlack, p.pen = 0.8;
    Add(p);
  }

  void TickGroup(const YAML::Node& c, const CellGeom& g, double top) {
    double flowH = 0;
    auto places = FlowBoxes(c, g.x1 - g.x0, &flowH);
    std::size_t i = 0;
    for (const auto& b : c["boxes"]) {
      const BoxPlace& p = places[i++];
      double bx = g.x0 + p.x, by = top + p.y;
      std::array<int, 4> r = {static_cast<int>(std::lround(bx)), static_cast<int>(std::lround(by)),
                              static_cast<int>(std::lround(bx + kBox)),
                              static_cast<int>(std::lround(by + kBox))};
      DrawBox(r);
      DrawLines(p.caption, bx + kBox + 4, by + (p.caption.size() > 1 ? -1 : 1.5), kCaptionEm,
                kLabelLine, false);
      // The box's record: its own keys (the source's nodes, so that their
      // reads are noted), then what it takes from its group.
      YAML::Node f(YAML::NodeType::Map);
      for (const auto& kv : b)
        if (kv.first.Scalar() != "t" && kv.first.Scalar() != "hint") f[kv.first] = kv.second;
      f["t"] = "box";
      for (const char* key : {"name", "xml", "must", "ro", "label"}) {
        // A box with its own position has its own name and XML element.
        if (b["poz"] && (std::string(key) == "name" || std::string(key) == "xml")) continue;
        if (!f[key] && c[key]) f[key] = c[key];
      }
      if (b["poz"] && !f["name"]) f["name"] = "P" + Str(b, "poz");
      f["hint"] = Str(b, "hint", Str(c, "hint", Str(c, "label") + ": " + Str(b, "text")));
      MakeField(f, r, b["poz"] ? b["poz"].as<int>() : c["poz"] ? c["poz"].as<int>() : 0);
    }
  }

  // --- field records -----------------------------------------------------------
  void MakeField(const YAML::Node& c, const std::array<int, 4>& rect, int poz) {
    int idx = c["f"].as<int>();
    if (idx < 0 || idx >= 350) Fail("indeks pola " + std::to_string(idx) + " poza zakresem 0..349");
    if (defined_.count(idx)) Fail("pole " + std::to_string(idx) + " zdefiniowane dwa razy");
    defined_.insert(idx);
    const std::string type = Str(c, "t", "amount");
    auto it = Types().find(type);
    if (it == Types().end()) Fail("pole " + std::to_string(idx) + ": nieznany typ '" + type + "'");
    const TypeDefaults& d = it->second;
    pit::FieldObject f;
    f.Left = rect[0], f.Top = rect[1], f.Right = rect[2], f.Bottom = rect[3];
    f.ID = Int(c, "objid", idx);
    f.Group = Int(c, "group", 0);
    f.Page = page_;
    f.Typ = d.typ;
    f.Option = Int(c, "opt", d.option);
    f.TextAlign = d.align;
    if (c["align"]) {
      static const std::map<std::string, int> aligns = {
          {"left", 0}, {"right", 1}, {"center", 2}, {"cells", 3}};
      auto a = aligns.find(c["align"].as<std::string>());
      if (a == aligns.end()) Fail("pole " + std::to_string(idx) + ": nieznane wyrównanie");
      Note(c["align"], "align", a->second != f.TextAlign);
      f.TextAlign = a->second;
    }
    f.MaxChar = Int(c, "max", d.maxChar);
    f.Poz = poz;
    f.XMLNode = Str(c, "xml", poz > 0 && d.typ != pit::kKreska ? "P_" + std::to_string(poz) : "");
    f.Name = Str(c, "name", poz > 0 ? "P" + std::to_string(poz) : "F" + std::to_string(idx));
    f.DefValue = Str(c, "def", d.defValue);
    f.Value = Str(c, "value", "");
    std::string hint = Str(c, "hint", Str(c, "label"));
    for (const char* mark : {"{NIP}", "{PESEL}"}) {
      for (auto at = hint.find(mark); at != std::string::npos; at = hint.find(mark))
        hint.erase(at, 1), hint.erase(hint.find('}', at), 1);
    }
    f.Hint = CutChars(hint, pit::fow::Hint - 1);
    f.FontSize = Str(c, "font", d.fontSize);
    f.BorderColor = Str(c, "border", "000000");
    f.FillColor = Str(c, "fill", "FFFFFF");
    f.TextColor = Str(c, "color", "000000");
    f.Visible = !Bool(c, "hidden", false);
    f.ReadOnly = Bool(c, "ro", false);
    f.MustBe = Bool(c, "must", false);
    f.Multiline = Bool(c, "multi", false);
    f.PlusValue = Bool(c, "plus", d.typ == pit::kLiczba || d.typ == pit::kJedenProcent);
    f.Block = Bool(c, "block", false);
    if (const YAML::Node items = c["items"]) {
      if (!items.IsSequence() || items.size() > f.SelectItems.size())
        Fail("pole " + std::to_string(idx) + ": items to najwyżej 10 par [tekst, wartość]");
      for (std::size_t i = 0; i < items.size(); ++i) {
        const YAML::Node e = items[i];
        if (!e.IsSequence() || e.size() != 2)
          Fail("pole " + std::to_string(idx) + ": pozycja listy " + std::to_string(i) + " to para [tekst, wartość]");
        f.SelectItems[i].Text = e[0].as<std::string>();
        f.SelectItems[i].Value = e[1].as<std::string>();
      }
      Note(items, "items", true);
    }
    if (d.typ == pit::kCheckbox) {
      if (!c["code"]) Fail("kwadrat " + std::to_string(idx) + " bez kodu");
      f.Choices[0].Value = c["code"].as<std::string>();
      Note(c["code"], "code", true);
      if (!c["name"]) Fail("kwadrat " + std::to_string(idx) + " bez nazwy grupy");
      Note(c["name"], "name", true);
      f.Choices[0].Flag = Bool(c, "tick", false);
    }
    // A line takes no tab stop unless it is given one.
    f.Tab = d.typ == pit::kKreska ? Int(c, "tab", 0) : Int(c, "tab", ++tab_);
    if (pit::Cp1250Length(f.Name) >= pit::fow::Name)
      Fail("pole " + std::to_string(idx) + ": nazwa '" + f.Name + "' za długa");
    if (pit::Cp1250Length(f.XMLNode) >= pit::fow::XMLNode)
      Fail("pole " + std::to_string(idx) + ": nazwa XML za długa");
    if (f.XMLNode.rfind("P_", 0) == 0 && f.XMLNode != "P_" + std::to_string(f.Poz))
      Fail("pole " + std::to_string(idx) + ": nazwa XML " + f.XMLNode + " a pozycja " +
           std::to_string(f.Poz));
    if (static_cast<int>(out_.fields.size()) <= idx) out_.fields.resize(idx + 1);
    out_.fields[idx] = f;
  }

  void Finish() {
    page_ = 0;
    for (std::size_t i = 0; i < out_.fields.size(); ++i) {
      if (!defined_.count(static_cast<int>(i)))
        Fail("brak pola o indeksie " + std::to_string(i) + " (indeksy muszą być ciągłe)");
    }
    // A printed position belongs to one field, or to one group of tick boxes.
    std::map<int, std::string> owner;
    for (const auto& f : out_.fields) {
      if (f.Poz <= 0) continue;
      std::string key = f.Typ == pit::kCheckbox ? "grupa " + f.Name : "pole " + std::to_string(f.ID);
      auto [it, fresh] = owner.emplace(f.Poz, key);
      if (!fresh && it->second != key)
        Fail("pozycja " + std::to_string(f.Poz) + " użyta przez " + it->second + " i " + key);
    }
    out_.description.Path = "dc/" + std::to_string(out_.idPit) + ".dcd";
    out_.description.PageCount = pageCount_;
    out_.description.ScreenWidth = 1280;
    out_.description.ScreenHeight = 1024;
    out_.description.PageHeight = static_cast<int>(kPageHeight);
    out_.description.PageWidth = static_cast<int>(kPageWidth);
  }

  const YAML::Node& src_;
  Measurer& m_;
  const SharedTemplates* shared_;
  SharedValues sharedValues_;
  CompiledForm out_;
  Rgb8 bg_, bar_, sub_;
  int page_ = 0, pageCount_ = 0, tab_ = 0;
  double y_ = 0;
  std::vector<Prim>* prims_ = nullptr;
  std::set<int> defined_;
  struct Read {
    std::string key;
    bool needed = false;
  };
  // By the file (the shared one or not), line and column of the value.
  std::map<std::tuple<bool, int, int>, Read> reads_;
};

}  // namespace

CompiledForm CompileForm(const YAML::Node& source, Measurer& m, std::vector<RepeatedKey>* repeated,
                         const SharedTemplates* shared) {
  try {
    const YAML::Node expanded = ExpandTemplates(source, shared);
    // A wrong name is told before anything the layout finds.
    std::map<std::string, int> ids = FieldIdMap(CollectFieldIds(expanded));
    Compiler c(expanded, m, shared);
    CompiledForm form = c.Run();
    form.ids = std::move(ids);
    if (expanded["exempt"]) form.exempt = expanded["exempt"].as<std::string>();
    if (repeated) *repeated = c.Repeated();
    return form;
  } catch (const YAML::Exception& e) {
    throw SourceError(std::string("błąd źródła: ") + e.what());
  }
}

}  // namespace dcgen
