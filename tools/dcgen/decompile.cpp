#include "decompile.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <utility>

#include "app/catalogue.h"
#include "forms/definition_files.h"
#include "schema.h"
#include "templates.h"

namespace fs = std::filesystem;

namespace dcgen {
namespace {

// The frame of the printed page the compiler lays rows into, and the room a
// position number takes above a field. Should the compiler's layout change,
// the rebuilt source still holds: whatever a cell no longer puts in place is
// pinned with an explicit rectangle by the check at the end of Decompile.
constexpr int kFrameLeft = 24, kFrameRight = 776, kFirstTop = 22;
constexpr int kBoxSize = 12;
constexpr double kNumberLine = 8.6;
// The lowest a row may end: the page footer starts below it.
const int kLastRowBottom = static_cast<int>(kPageHeight) - 28;

const char* const kAlignNames[] = {"left", "right", "center", "cells"};

std::string TypeName(const pit::FieldObject& f) {
  switch (f.Typ) {
    case pit::kTekst: return f.TextAlign == pit::kAlignCells && f.MaxChar == 10 ? "id" : "text";
    case pit::kLiczba: return f.Option == 2 ? "count" : "amount";
    case pit::kNip: return "nip";
    case pit::kData: return "date";
    case pit::kSelect: return "krs";
    case pit::kCheckbox: return "box";
    case pit::kKreska: return "line";
    case pit::kUrzadSkarbowy: return "office";
    case pit::kKraj: return "country";
    case pit::kJedenProcent: return "percent";
  }
  return "text";  // an unknown type is reported by the final check
}

// One field's cell in a row of the rebuilt source.
struct Cell {
  int index = 0;
  int x0 = 0, x1 = 0;  // the cell, page pixels
  bool box = false;    // a tick box: the compiler sizes it itself
  bool pinned = false; // carries its rectangle explicitly
  int fieldHeight = 0;
  double need = 0;  // height the compiler asks of the row for this cell
};

struct Row {
  int bottom = 0;
  std::vector<Cell> cells;
  int Top() const {
    double need = 0;
    for (const Cell& c : cells) need = std::max(need, c.need);
    return static_cast<int>(std::floor(bottom - need));
  }
};

Cell PlaceCell(int index, const pit::FieldObject& f) {
  Cell c;
  c.index = index;
  c.box = f.Typ == pit::kCheckbox;
  // A field cell keeps its field 3 pixels inside; a tick box sits 6 pixels
  // from the cell's left edge and is always 12 by 12.
  if (c.box) {
    c.x0 = f.Left - 6;
    c.x1 = f.Left + kBoxSize + 3;
    c.pinned = f.Right - f.Left != kBoxSize || f.Bottom - f.Top != kBoxSize;
    c.fieldHeight = kBoxSize;
  } else {
    c.x0 = f.Left - 3;
    c.x1 = f.Right + 3;
    c.pinned = f.Right < f.Left || f.Bottom < f.Top;
    c.fieldHeight = std::max(0, f.Bottom - f.Top);
  }
  if (c.x0 < kFrameLeft || c.x1 > kFrameRight) c.pinned = true;
  if (c.pinned) {
    c.x0 = std::clamp(c.x0, kFrameLeft, kFrameRight - 1);
    c.x1 = std::clamp(c.x1, c.x0 + 1, kFrameRight);
  }
  // The compiler's own height of a field cell: label line (the position
  // number), the field and the margins.
  c.need = 2 + (f.Poz != 0 ? kNumberLine : 0) + 2 + c.fieldHeight + 3;
  return c;
}

YAML::Node FieldNode(const Cell& c, const pit::FieldObject& f, const std::string& id) {
  YAML::Node n;
  n["f"] = c.index;
  if (!id.empty()) n["id"] = id;
  n["t"] = TypeName(f);
  if (f.Poz != 0) n["poz"] = f.Poz;
  n["w"] = c.x1 - c.x0;
  // A multi-line field is 34 high unless told otherwise, a tick box too.
  if (!c.box || f.Multiline) n["fh"] = c.fieldHeight;
  if (c.box) {
    // A tick box must name its group and its value.
    n["name"] = f.Name;
    n["code"] = f.CheckValue();
  }
  if (c.pinned) {
    YAML::Node r;
    for (int v : {f.Left, f.Top, f.Right, f.Bottom}) r.push_back(v);
    n["rect"] = r;
  }
  return n;
}

// Lays the fields of one page into rows: fields ending at the same height
// share a row while their cells do not overlap.
YAML::Node PageBlocks(const std::vector<pit::FieldObject>& fields, const std::vector<int>& onPage,
                      const std::map<int, std::string>& names) {
  std::map<int, std::vector<Cell>> byBottom;
  for (int k : onPage) byBottom[fields[k].Bottom + 3].push_back(PlaceCell(k, fields[k]));
  std::vector<Row> rows;
  for (auto& [bottom, cells] : byBottom) {
    std::stable_sort(cells.begin(), cells.end(),
                     [](const Cell& a, const Cell& b) { return a.x0 < b.x0; });
    std::vector<Row> layers;
    for (const Cell& c : cells) {
      auto it = std::find_if(layers.begin(), layers.end(), [&](const Row& r) {
        return r.cells.back().x1 <= c.x0;
      });
      if (it == layers.end()) {
        layers.push_back(Row{bottom, {}});
        it = layers.end() - 1;
      }
      it->cells.push_back(c);
    }
    rows.insert(rows.end(), layers.begin(), layers.end());
  }
  YAML::Node blocks(YAML::NodeType::Sequence);
  int y = kFirstTop;
  for (const Row& row : rows) {
    const int top = row.Top();
    if (top != y) {
      YAML::Node gap;
      gap["gap"] = top - y;
      blocks.push_back(gap);
    }
    YAML::Node block;
    block["h"] = row.bottom - top;
    YAML::Node cells(YAML::NodeType::Sequence);
    int x = kFrameLeft;
    for (const Cell& c : row.cells) {
      if (c.x0 > x) {
        YAML::Node spacer;
        spacer["w"] = c.x0 - x;
        cells.push_back(spacer);
      }
      const auto name = names.find(c.index);
      cells.push_back(FieldNode(c, fields[c.index], name == names.end() ? std::string() : name->second));
      x = c.x1;
    }
    if (x < kFrameRight) {
      YAML::Node spacer;
      spacer["w"] = kFrameRight - x;
      cells.push_back(spacer);
    }
    block["cells"] = cells;
    blocks.push_back(block);
    y = row.bottom;
  }
  if (y > kLastRowBottom) {
    YAML::Node gap;
    gap["gap"] = kLastRowBottom - y;
    blocks.push_back(gap);
  }
  return blocks;
}

// The field cells of a source by object index. Taken from the tree itself
// (not kept from when the cells were made), so that keys added to them live
// as long as the tree does.
std::vector<YAML::Node> FieldNodes(YAML::Node root, std::size_t count) {
  std::vector<YAML::Node> out(count);
  for (YAML::Node page : root["pages"]) {
    for (YAML::Node block : page["blocks"]) {
      if (!block["cells"]) continue;
      for (YAML::Node cell : block["cells"]) {
        if (!cell["f"]) continue;
        const int k = cell["f"].as<int>();
        if (k >= 0 && static_cast<std::size_t>(k) < count) out[k].reset(cell);
      }
    }
  }
  return out;
}

bool HasMarkTokens(const std::string& s) {
  return s.find("{NIP}") != std::string::npos || s.find("{PESEL}") != std::string::npos;
}

// Sets on a field's node every key that makes the compiler give `want`
// where it gave `got`. Returns false when nothing could be set.
bool Patch(YAML::Node n, const pit::FieldObject& want, const pit::FieldObject& got) {
  bool set = false;
  auto put = [&](const char* key, auto value) {
    n[key] = value;
    set = true;
  };
  if (want.Left != got.Left || want.Top != got.Top || want.Right != got.Right ||
      want.Bottom != got.Bottom) {
    YAML::Node r;
    for (int v : {want.Left, want.Top, want.Right, want.Bottom}) r.push_back(v);
    put("rect", r);
  }
  if (want.Poz != got.Poz) put("poz", want.Poz);
  if (want.Option != got.Option) put("opt", want.Option);
  if (want.TextAlign != got.TextAlign && want.TextAlign >= 0 && want.TextAlign <= 3)
    put("align", kAlignNames[want.TextAlign]);
  if (want.MaxChar != got.MaxChar) put("max", want.MaxChar);
  if (want.Name != got.Name) put("name", want.Name);
  if (want.Value != got.Value) put("value", want.Value);
  if (want.DefValue != got.DefValue) put("def", want.DefValue);
  if (want.Hint != got.Hint && !HasMarkTokens(want.Hint)) put("hint", want.Hint);
  if (want.XMLNode != got.XMLNode) put("xml", want.XMLNode);
  if (want.FontSize != got.FontSize) put("font", want.FontSize);
  if (want.BorderColor != got.BorderColor) put("border", want.BorderColor);
  if (want.FillColor != got.FillColor) put("fill", want.FillColor);
  if (want.TextColor != got.TextColor) put("color", want.TextColor);
  if (want.Visible != got.Visible) put("hidden", !want.Visible);
  if (want.ReadOnly != got.ReadOnly) put("ro", want.ReadOnly);
  if (want.MustBe != got.MustBe) put("must", want.MustBe);
  if (want.Multiline != got.Multiline) put("multi", want.Multiline);
  if (want.PlusValue != got.PlusValue) put("plus", want.PlusValue);
  if (want.Tab != got.Tab) put("tab", want.Tab);
  if (want.ID != got.ID) put("objid", want.ID);
  if (want.Group != got.Group) put("group", want.Group);
  if (want.Block != got.Block) put("block", want.Block);
  if (want.Typ == pit::kCheckbox && want.CheckValue() != got.CheckValue())
    put("code", want.CheckValue());
  if (want.Typ == pit::kCheckbox && want.Choices[0].Flag != got.Choices[0].Flag)
    put("tick", want.Choices[0].Flag);
  bool itemsDiffer = false;
  std::size_t used = 0;  // entries up to the last one that is not empty
  for (std::size_t i = 0; i < want.SelectItems.size(); ++i) {
    const auto& a = want.SelectItems[i];
    const auto& b = got.SelectItems[i];
    itemsDiffer = itemsDiffer || a.Text != b.Text || a.Value != b.Value;
    if (!a.Text.empty() || a.Value != pit::SelectItem{}.Value) used = i + 1;
  }
  if (itemsDiffer) {
    YAML::Node items(YAML::NodeType::Sequence);
    for (std::size_t i = 0; i < used; ++i) {
      YAML::Node pair(YAML::NodeType::Sequence);
      pair.push_back(want.SelectItems[i].Text);
      pair.push_back(want.SelectItems[i].Value);
      items.push_back(pair);
    }
    put("items", items);
  }
  return set;
}

// Keys whose values are texts: written quoted, so that a name such as
// "true", "~" or "0,00" reads back as the same text.
const std::set<std::string> kTextKeys = {"code", "t",    "name", "xml",    "value", "def",
                                         "hint", "font", "border", "fill", "color", "align"};

void EmitMap(YAML::Emitter& out, const YAML::Node& map, bool flow) {
  if (flow) out << YAML::Flow;
  out << YAML::BeginMap;
  for (const auto& kv : map) {
    const std::string key = kv.first.Scalar();
    out << YAML::Key << key << YAML::Value;
    const YAML::Node& v = kv.second;
    if (v.IsSequence() && key == "items") {
      out << YAML::Flow << YAML::BeginSeq;
      for (const auto& pair : v) {
        out << YAML::Flow << YAML::BeginSeq;
        for (const auto& e : pair) out << YAML::DoubleQuoted << e.Scalar();
        out << YAML::EndSeq;
      }
      out << YAML::EndSeq;
    } else if (v.IsSequence()) {
      out << YAML::Flow << YAML::BeginSeq;
      for (const auto& e : v) out << e.Scalar();
      out << YAML::EndSeq;
    } else if (kTextKeys.count(key)) {
      out << YAML::DoubleQuoted << v.Scalar();
    } else {
      out << v.Scalar();
    }
  }
  out << YAML::EndMap;
}

// The source without the keys that only repeat what the generator takes
// when they are left out (the keys are found in the source's own text).
YAML::Node WithoutRepeatedKeys(const YAML::Node& source, Measurer& m) {
  YAML::Node text = YAML::Load(EmitSource(source, ""));
  std::vector<RepeatedKey> repeated;
  CompileForm(text, m, &repeated);
  std::set<std::pair<int, int>> at;
  for (const auto& r : repeated) at.insert({r.line, r.column});
  std::function<void(YAML::Node)> walk = [&](YAML::Node n) {
    if (n.IsSequence()) {
      for (YAML::Node e : n) walk(e);
      return;
    }
    if (!n.IsMap()) return;
    std::vector<std::string> drop;
    for (const auto& kv : n) {
      const YAML::Mark mark = kv.second.Mark();
      if (at.count({mark.line + 1, mark.column + 1})) {
        drop.push_back(kv.first.Scalar());
      } else {
        walk(kv.second);
      }
    }
    for (const auto& key : drop) n.remove(key);
  };
  walk(text);
  return text;
}

bool WriteText(const fs::path& p, const std::string& text) {
  fs::path tmp = p;
  tmp += ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << text;
    if (!out.flush()) return false;
  }
  std::error_code ec;
  fs::rename(tmp, p, ec);
  if (ec) fs::remove(tmp, ec);
  return !ec;
}

bool IsNumber(const std::string& s) {
  return !s.empty() && s.size() < 9 && std::all_of(s.begin(), s.end(), [](char c) {
    return c >= '0' && c <= '9';
  });
}

// What in the records no form the program wrote can have: more records
// than a form has, a type not known, a place or page far off every page, a
// page count or page size no form has. Lesser oddities a designer may leave
// (a field inside out, on page 0, no field at all) are not damage: the
// round trip names them. Empty when there is nothing.
std::string Damage(const std::vector<pit::FieldObject>& fields, const pit::FormDescription* d) {
  if (fields.size() > static_cast<std::size_t>(pit::kMaxFields))
    return std::to_string(fields.size()) + " rekordów pól, a formularz ma najwyżej " + std::to_string(pit::kMaxFields);
  auto far = [](int v) { return v < -pit::kFarBottom || v > pit::kFarBottom; };
  for (std::size_t k = 0; k < fields.size(); ++k) {
    const pit::FieldObject& f = fields[k];
    const std::string at = "rekord " + std::to_string(k) + ": ";
    if (f.Typ < pit::kTekst || f.Typ > pit::kJedenProcent) return at + "nieznany typ pola " + std::to_string(f.Typ);
    if (far(f.Left) || far(f.Top) || far(f.Right) || far(f.Bottom))
      return at + "prostokąt pola (" + std::to_string(f.Left) + ", " + std::to_string(f.Top) + ", " +
             std::to_string(f.Right) + ", " + std::to_string(f.Bottom) + ") leży daleko poza stroną";
    if (f.Page < 0 || f.Page > pit::kMostPages)
      return at + "numer strony " + std::to_string(f.Page) + " spoza 1.." + std::to_string(pit::kMostPages);
  }
  if (d == nullptr) return {};
  if (d->PageCount < 0 || d->PageCount > pit::kMostPages)
    return "opis .dcd: liczba stron " + std::to_string(d->PageCount) + " spoza 1.." + std::to_string(pit::kMostPages);
  for (const auto& [name, v] : {std::pair<const char*, int>{"ScreenWidth", d->ScreenWidth},
                                {"ScreenHeight", d->ScreenHeight},
                                {"PageWidth", d->PageWidth},
                                {"PageHeight", d->PageHeight}}) {
    if (v < 0 || v > pit::kFarBottom)
      return std::string("opis .dcd: ") + name + " " + std::to_string(v) + " spoza 0.." +
             std::to_string(pit::kFarBottom);
  }
  return {};
}

// Whether a record of the edited definition still looks like the field of
// the previous source that had its ID. A retyped field keeps its name and
// position; a field drawn anew has the designer's name (its number) and no
// position; a tick box copied onto the place of a deleted one has the value
// of the box it was copied from.
bool SameField(const pit::FieldObject& was, const pit::FieldObject& is) {
  if (was.ID != is.ID) return false;
  if (was.Typ == pit::kCheckbox && is.Typ == pit::kCheckbox && was.CheckValue() != is.CheckValue()) return false;
  return was.Name == is.Name || (!was.XMLNode.empty() && was.XMLNode == is.XMLNode) ||
         (was.Poz != 0 && was.Poz == is.Poz);
}

// Where the names a compiled source has are not the ones carried (object
// index -> name), as "nazwa 'x': pole 5 zamiast 4".
std::vector<std::string> NameDifferences(const std::map<int, std::string>& want, const std::map<std::string, int>& got) {
  std::map<std::string, int> wanted;
  for (const auto& [index, id] : want) wanted[id] = index;
  std::vector<std::string> out;
  for (const auto& [id, index] : wanted) {
    const auto g = got.find(id);
    if (g == got.end())
      out.push_back("nazwa '" + id + "': brak jej zamiast przy polu " + std::to_string(index));
    else if (g->second != index)
      out.push_back("nazwa '" + id + "': pole " + std::to_string(g->second) + " zamiast " + std::to_string(index));
  }
  for (const auto& [id, index] : got)
    if (!wanted.count(id))
      out.push_back("nazwa '" + id + "' przy polu " + std::to_string(index) + ", której poprzednie źródło nie ma");
  return out;
}

}  // namespace

PreviousSource PreviousOf(const YAML::Node& source, Measurer& m, const SharedTemplates* shared) {
  if (!source.IsMap() || !source["form"] || !source["pages"])
    throw SourceError("to nie jest źródło formularza (brak kluczy form i pages)");
  CompiledForm form = CompileForm(source, m, nullptr, shared);
  PreviousSource p;
  p.idPit = form.idPit;
  p.fields = std::move(form.fields);
  p.ids = std::move(form.ids);
  p.keys = YAML::Node(YAML::NodeType::Map);
  for (const auto& kv : source) {
    const std::string key = kv.first.Scalar();
    if (key != "form" && key != "pages" && key != "templates") p.keys[key] = YAML::Clone(kv.second);
  }
  return p;
}

PreviousSource LoadPreviousSource(const fs::path& file, Measurer& m) {
  YAML::Node node;
  try {
    node = YAML::LoadFile(file.string());
  } catch (const YAML::Exception& e) {
    throw SourceError(std::string("błąd źródła: ") + e.what());
  }
  const std::optional<SharedTemplates> shared = LoadSharedTemplates(file.parent_path());
  return PreviousOf(node, m, shared ? &*shared : nullptr);
}

NameCarry CarryNames(const PreviousSource& previous, const std::vector<pit::FieldObject>& fields) {
  const std::vector<pit::FieldObject>& was = previous.fields;
  const std::size_t n = was.size(), k = fields.size();
  // The longest pairing that keeps the order of both: len[i][j] is its
  // length over was[i..] and fields[j..].
  std::vector<std::vector<int>> len(n + 1, std::vector<int>(k + 1, 0));
  for (std::size_t i = n; i-- > 0;)
    for (std::size_t j = k; j-- > 0;)
      len[i][j] = SameField(was[i], fields[j]) ? len[i + 1][j + 1] + 1 : std::max(len[i + 1][j], len[i][j + 1]);
  std::vector<int> now(n, -1);
  for (std::size_t i = 0, j = 0; i < n && j < k;) {
    if (SameField(was[i], fields[j])) {
      now[i] = static_cast<int>(j);
      ++i, ++j;
    } else if (len[i + 1][j] >= len[i][j + 1]) {
      ++i;
    } else {
      ++j;
    }
  }
  NameCarry out;
  for (const auto& [id, index] : previous.ids) {
    if (index >= 0 && static_cast<std::size_t>(index) < n && now[index] >= 0) {
      out.names[now[index]] = id;
      continue;
    }
    DroppedName d{id, index, true};
    if (index >= 0 && static_cast<std::size_t>(index) < n)
      d.deleted = std::none_of(fields.begin(), fields.end(),
                               [&](const pit::FieldObject& f) { return f.ID == was[index].ID; });
    out.dropped.push_back(d);
  }
  std::sort(out.dropped.begin(), out.dropped.end(),
            [](const DroppedName& a, const DroppedName& b) { return a.index < b.index || (a.index == b.index && a.id < b.id); });
  return out;
}

std::vector<std::string> RecordDifferences(const pit::FieldObject& want, const pit::FieldObject& got) {
  std::vector<std::string> out;
  auto num = [&](const char* name, long a, long b) {
    if (a != b) out.push_back(std::string(name) + " " + std::to_string(b) + " zamiast " + std::to_string(a));
  };
  auto text = [&](const std::string& name, const std::string& a, const std::string& b) {
    if (a != b) out.push_back(name + " \"" + b + "\" zamiast \"" + a + "\"");
  };
  num("Left", want.Left, got.Left);
  num("Top", want.Top, got.Top);
  num("Right", want.Right, got.Right);
  num("Bottom", want.Bottom, got.Bottom);
  num("ID", want.ID, got.ID);
  num("Page", want.Page, got.Page);
  num("Group", want.Group, got.Group);
  num("Option", want.Option, got.Option);
  num("Typ", want.Typ, got.Typ);
  num("TextAlign", want.TextAlign, got.TextAlign);
  num("MaxChar", want.MaxChar, got.MaxChar);
  text("Name", want.Name, got.Name);
  text("Value", want.Value, got.Value);
  text("DefValue", want.DefValue, got.DefValue);
  text("Hint", want.Hint, got.Hint);
  text("XMLNode", want.XMLNode, got.XMLNode);
  text("FontSize", want.FontSize, got.FontSize);
  text("BorderColor", want.BorderColor, got.BorderColor);
  text("FillColor", want.FillColor, got.FillColor);
  text("TextColor", want.TextColor, got.TextColor);
  num("Visible", want.Visible, got.Visible);
  num("ReadOnly", want.ReadOnly, got.ReadOnly);
  num("MustBe", want.MustBe, got.MustBe);
  num("Block", want.Block, got.Block);
  num("Multiline", want.Multiline, got.Multiline);
  num("PlusValue", want.PlusValue, got.PlusValue);
  num("Tab", want.Tab, got.Tab);
  num("Poz", want.Poz, got.Poz);
  for (std::size_t i = 0; i < want.Choices.size(); ++i) {
    const std::string at = "Choices[" + std::to_string(i) + "].";
    text(at + "Text", want.Choices[i].Text, got.Choices[i].Text);
    text(at + "Value", want.Choices[i].Value, got.Choices[i].Value);
    num((at + "Flag").c_str(), want.Choices[i].Flag, got.Choices[i].Flag);
  }
  for (std::size_t i = 0; i < want.SelectItems.size(); ++i) {
    const std::string at = "SelectItems[" + std::to_string(i) + "].";
    text(at + "Text", want.SelectItems[i].Text, got.SelectItems[i].Text);
    text(at + "Value", want.SelectItems[i].Value, got.SelectItems[i].Value);
  }
  for (std::size_t i = 0; i < want.ExtraItems.size(); ++i) {
    const std::string at = "ExtraItems[" + std::to_string(i) + "].";
    text(at + "Text", want.ExtraItems[i].Text, got.ExtraItems[i].Text);
    text(at + "Value", want.ExtraItems[i].Value, got.ExtraItems[i].Value);
    num((at + "Flag").c_str(), want.ExtraItems[i].Flag, got.ExtraItems[i].Flag);
  }
  return out;
}

Decompiled Decompile(const DecompileInput& in, Measurer& m) {
  Decompiled out;
  const auto& fields = in.fields;
  // Records of a damaged file would make pages and rows without end; they
  // are refused before anything is laid out.
  if (const std::string damage = Damage(fields, in.description ? &*in.description : nullptr); !damage.empty()) {
    out.problems.push_back("definicja jest uszkodzona: " + damage);
    return out;
  }
  int pages = in.description ? in.description->PageCount : 0;
  for (const auto& f : fields) pages = std::max(pages, f.Page);
  pages = std::max(pages, 1);

  // The form's keys of the previous source in their order, the names of
  // its fields where the same field is still there.
  YAML::Node root;
  root["form"] = in.idPit;
  if (in.previous) {
    for (const auto& kv : in.previous->keys) root[kv.first.Scalar()] = YAML::Clone(kv.second);
    NameCarry carry = CarryNames(*in.previous, fields);
    out.names = std::move(carry.names);
    out.dropped = std::move(carry.dropped);
  }
  if (!root["code"]) root["code"] = in.code;
  if (!in.previous) root["variant"] = in.variant;
  YAML::Node pageList(YAML::NodeType::Sequence);
  for (int p = 1; p <= pages; ++p) {
    std::vector<int> onPage;
    for (std::size_t k = 0; k < fields.size(); ++k) {
      // A field on no page of the form goes to the first one; the check
      // below names its page as what the source cannot carry.
      int page = fields[k].Page >= 1 ? fields[k].Page : 1;
      if (page == p) onPage.push_back(static_cast<int>(k));
    }
    YAML::Node page;
    page["blocks"] = PageBlocks(fields, onPage, out.names);
    pageList.push_back(page);
  }
  root["pages"] = pageList;
  out.source = root;

  // Compile what was built and pin down whatever came out different; the
  // keys set in one round may change defaults (a position number gives a
  // name and an XML element), hence a few rounds.
  CompiledForm got;
  for (int round = 0;; ++round) {
    try {
      got = CompileForm(root, m);
    } catch (const SourceError& e) {
      out.problems.push_back(std::string("źródło nie daje się skompilować: ") + e.what());
      return out;
    }
    if (got.fields.size() != fields.size()) {
      out.problems.push_back("kompilacja daje " + std::to_string(got.fields.size()) + " pól zamiast " +
                             std::to_string(fields.size()));
      return out;
    }
    if (round == 3) break;
    bool changed = false;
    std::vector<YAML::Node> nodeOf = FieldNodes(root, fields.size());
    for (std::size_t k = 0; k < fields.size(); ++k) {
      if (!RecordDifferences(fields[k], got.fields[k]).empty())
        changed = Patch(nodeOf[k], fields[k], got.fields[k]) || changed;
    }
    if (!changed) break;
  }
  try {
    YAML::Node lean = WithoutRepeatedKeys(root, m);
    const CompiledForm again = CompileForm(lean, m);
    bool same = again.fields.size() == got.fields.size();
    for (std::size_t k = 0; same && k < got.fields.size(); ++k)
      same = RecordDifferences(got.fields[k], again.fields[k]).empty();
    if (same) out.source = lean;
  } catch (const std::exception&) {
    // The source with every key holds; it is kept as it is.
  }
  for (std::size_t k = 0; k < fields.size(); ++k) {
    for (const auto& d : RecordDifferences(fields[k], got.fields[k]))
      out.problems.push_back("rekord " + std::to_string(k) + ": " + d);
  }
  for (const auto& d : NameDifferences(out.names, got.ids)) out.problems.push_back(d);
  if (in.description) {
    // The path inside a .dcd is informative only: it is not compared.
    const pit::FormDescription& want = *in.description;
    const pit::FormDescription& have = got.description;
    auto num = [&](const char* name, int a, int b) {
      if (a != b)
        out.problems.push_back(std::string("opis .dcd: ") + name + " " + std::to_string(b) +
                               " zamiast " + std::to_string(a));
    };
    num("PageCount", want.PageCount, have.PageCount);
    num("ScreenWidth", want.ScreenWidth, have.ScreenWidth);
    num("ScreenHeight", want.ScreenHeight, have.ScreenHeight);
    num("PageHeight", want.PageHeight, have.PageHeight);
    num("PageWidth", want.PageWidth, have.PageWidth);
  }
  return out;
}

std::string EmitSource(const YAML::Node& source, const std::string& comment) {
  YAML::Emitter out;
  out.SetIndent(2);
  out << YAML::BeginMap;
  // The form's keys in their order (those of a previous source as it had
  // them: a text it quoted stays quoted), the pages last.
  for (const auto& kv : source) {
    const std::string key = kv.first.Scalar();
    if (key == "pages") continue;
    out << YAML::Key << key << YAML::Value;
    const YAML::Node& v = kv.second;
    if (!v.IsScalar()) {
      out << v;
    } else if (key == "code" || key == "description" || v.Tag() == "!") {
      out << YAML::DoubleQuoted << v.Scalar();
    } else {
      out << v.Scalar();
    }
  }
  out << YAML::Key << "pages" << YAML::Value << YAML::BeginSeq;
  for (const auto& page : source["pages"]) {
    out << YAML::BeginMap << YAML::Key << "blocks" << YAML::Value;
    if (page["blocks"].size() == 0) out << YAML::Flow;
    out << YAML::BeginSeq;
    for (const auto& block : page["blocks"]) {
      if (!block["cells"]) {
        EmitMap(out, block, true);
        continue;
      }
      out << YAML::BeginMap << YAML::Key << "h" << YAML::Value << block["h"].Scalar();
      out << YAML::Key << "cells" << YAML::Value << YAML::BeginSeq;
      for (const auto& cell : block["cells"]) EmitMap(out, cell, true);
      out << YAML::EndSeq << YAML::EndMap;
    }
    out << YAML::EndSeq << YAML::EndMap;
  }
  out << YAML::EndSeq << YAML::EndMap;
  std::string text;
  std::istringstream lines(comment);
  for (std::string line; std::getline(lines, line);) text += "# " + line + "\n";
  return text + out.c_str() + "\n";
}

const char* const kPreviousSourceUsage =
    "    ZRODLO.yaml, które --force zastępuje, daje nowemu źródłu nazwy pól (id:) i klucze\n"
    "    formularza (namespace, kind, copies, description, exempt, kolory ...); nazwy pól\n"
    "    usuniętych w projektancie przepadają, a polecenie je wymienia.\n";

int DecompileCommand(const std::vector<std::string>& args, Measurer& m) {
  std::vector<std::string> files;
  std::string outPath;
  int idPit = 0;
  bool force = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) {
      outPath = args[++i];
    } else if (args[i] == "--form" && i + 1 < args.size() && IsNumber(args[i + 1])) {
      idPit = std::stoi(args[++i]);
    } else if (args[i] == "--force") {
      force = true;
    } else if (!args[i].empty() && args[i][0] != '-') {
      files.push_back(args[i]);
    } else {
      files.clear();
      break;
    }
  }
  if (files.empty() || files.size() > 2 || outPath.empty()) {
    std::cerr << "użycie: dcgen decompile PLIK.dcs [PLIK.dcd] -o ZRODLO.yaml [--form N] [--force]\n"
              << kPreviousSourceUsage;
    return 2;
  }
  const fs::path dcs = files[0];
  if (idPit == 0 && IsNumber(dcs.stem().string())) idPit = std::stoi(dcs.stem().string());
  if (idPit <= 0) {
    std::cerr << dcs.string() << ": numer formularza nie wynika z nazwy pliku; podaj --form N\n";
    return 2;
  }
  if (fs::exists(outPath) && !force) {
    std::cerr << outPath << ": plik już istnieje (--force zastępuje go)\n";
    return 1;
  }
  DecompileInput in;
  in.idPit = idPit;
  // A file larger than the most fields a form has is not read at all.
  std::error_code ec;
  const auto size = fs::file_size(dcs, ec);
  if (!ec && size >= (pit::kMaxFields + 1) * pit::kFieldRecordSize) {
    std::cerr << dcs.string() << ": plik definicji jest uszkodzony: " << size / pit::kFieldRecordSize
              << " rekordów pól, a formularz ma najwyżej " << pit::kMaxFields << "\n";
    return 1;
  }
  auto fields = pit::LoadFieldObjects(dcs.string());
  if (!fields) {
    std::cerr << "nie można odczytać " << dcs.string() << "\n";
    return 1;
  }
  in.fields = std::move(*fields);
  if (files.size() == 2) {
    in.description = pit::LoadFormDescription(files[1]);
    if (!in.description) {
      std::cerr << "nie można odczytać opisu formularza " << files[1] << "\n";
      return 1;
    }
  }
  if (const std::string damage = Damage(in.fields, in.description ? &*in.description : nullptr); !damage.empty()) {
    std::cerr << dcs.string() << ": definicja jest uszkodzona: " << damage << "\n";
    return 1;
  }
  // The source --force replaces is what the records came from: without its
  // names the code that uses them would no longer compile. One that cannot
  // be read is kept, rather than lose them without a word.
  if (fs::exists(outPath)) {
    try {
      in.previous = LoadPreviousSource(outPath, m);
    } catch (const std::exception& e) {
      std::cerr << outPath << ": nie można odczytać poprzedniego źródła, z którego biorą się nazwy pól: " << e.what()
                << "\n  (popraw je albo usuń plik; nic nie zapisano)\n";
      return 1;
    }
    if (in.previous->idPit != idPit) {
      std::cerr << outPath << ": to źródło formularza " << in.previous->idPit << ", a definicja jest formularza "
                << idPit << "; nic nie zapisano\n";
      return 1;
    }
  }
  if (pit::FormCatalogue::IsValid(idPit)) {
    pit::FormCatalogue catalogue;
    in.code = catalogue[idPit].Code;
    in.variant = catalogue[idPit].Variant;
  } else {
    in.code = "FORMULARZ " + std::to_string(idPit);
  }

  Decompiled result = Decompile(in, m);
  const std::string text =
      EmitSource(result.source, "Rebuilt by `dcgen decompile` from " + dcs.filename().string() +
                                    ": every field has a cell of its own where it lies on the page." +
                                    (in.previous ? "\nThe form's keys and the fields' names are those of the source it replaced." : ""));
  if (!WriteText(outPath, text)) {
    std::cerr << "nie można zapisać " << outPath << "\n";
    return 1;
  }
  // The written text, read back, must say what the records say.
  if (result.problems.empty()) {
    try {
      YAML::Node back = YAML::LoadFile(outPath);
      for (const auto& p : CheckSchema(back, outPath)) result.problems.push_back(p);
      CompiledForm again = CompileForm(back, m);
      if (again.fields.size() != in.fields.size()) {
        result.problems.push_back("zapisane źródło daje " + std::to_string(again.fields.size()) + " pól");
      } else {
        for (std::size_t k = 0; k < in.fields.size(); ++k) {
          for (const auto& d : RecordDifferences(in.fields[k], again.fields[k]))
            result.problems.push_back("zapisane źródło, rekord " + std::to_string(k) + ": " + d);
        }
        for (const auto& d : NameDifferences(result.names, again.ids))
          result.problems.push_back("zapisane źródło, " + d);
      }
    } catch (const std::exception& e) {
      result.problems.push_back(std::string("zapisane źródło: ") + e.what());
    }
  }
  // A name whose field is gone is gone from the header too: the code that
  // uses it stops compiling, and the developer has to know why.
  for (const DroppedName& d : result.dropped) {
    std::cerr << outPath << ": uwaga: nazwa '" << d.id << "' przepadła – ";
    if (d.deleted)
      std::cerr << "pole " << d.index << " poprzedniego źródła zostało usunięte";
    else
      std::cerr << "rekord o ID " << in.previous->fields[d.index].ID << " to już inne pole niż pole " << d.index
                << " poprzedniego źródła (inna nazwa, element XML i pozycja albo wartość kwadratu)";
    std::cerr << "; kod, który jej używa, się nie skompiluje\n";
  }
  if (!result.problems.empty()) {
    std::cerr << outPath << ": źródło zapisane, ale kompilacja nie odtworzy definicji:\n";
    for (const auto& p : result.problems) std::cerr << "  " << p << "\n";
    return 1;
  }
  std::cout << dcs.string() << " -> " << outPath << ": " << in.fields.size()
            << " pól; kompilacja odtwarza każdy rekord";
  if (in.previous)
    std::cout << "; nazwy pól z poprzedniego źródła: " << result.names.size() << " przeniesione, "
              << result.dropped.size() << " przepadło";
  std::cout << "\n";
  return 0;
}

}  // namespace dcgen
