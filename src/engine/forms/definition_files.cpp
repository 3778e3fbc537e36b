#include "forms/definition_files.h"

#include <cstring>
#include <fstream>

#include "app/file_io.h"
#include "text/bytes.h"
#include "text/cp1250.h"

namespace pit {
namespace {

// Offsets inside a .dcs record.
namespace off {
constexpr std::size_t Left = 0, Top = 4, Right = 8, Bottom = 12, ID = 16, Page = 20, Group = 24,
                      Option = 28, Typ = 32, TextAlign = 36, MaxChar = 40, Name = 44, Value = 59,
                      DefValue = 314, Hint = 569, XMLNode = 649, FontSize = 749, BorderColor = 752,
                      FillColor = 759, TextColor = 766, Visible = 773, ReadOnly = 774, MustBe = 775,
                      Block = 776, Multiline = 777, PlusValue = 778, Tab = 780, Poz = 784,
                      Choices = 788, SelectItems = 1798, ExtraItems = 2798;
constexpr std::size_t ChoiceSize = 101, SelectSize = 100;
}  // namespace off

void DecodeChoices(const std::uint8_t* p, std::array<ChoiceItem, 10>& items) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    const std::uint8_t* e = p + i * off::ChoiceSize;
    items[i].Text = ReadFixedText(e, fow::ItemText);
    items[i].Value = ReadFixedText(e + 50, fow::ItemValue);
    items[i].Flag = e[100] != 0;
  }
}

void EncodeChoices(const std::array<ChoiceItem, 10>& items, std::uint8_t* p) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    std::uint8_t* e = p + i * off::ChoiceSize;
    WriteFixedText(e, fow::ItemText, items[i].Text);
    WriteFixedText(e + 50, fow::ItemValue, items[i].Value);
    e[100] = items[i].Flag ? 1 : 0;
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

Rgb ParseColour(const std::string& t) {
  Rgb c;
  if (t.size() < 6) return c;
  int v[6];
  for (int i = 0; i < 6; ++i) {
    v[i] = HexDigit(t[i]);
    if (v[i] < 0) return c;
  }
  c.r = v[0] * 16 + v[1];
  c.g = v[2] * 16 + v[3];
  c.b = v[4] * 16 + v[5];
  return c;
}

FieldObject DecodeFieldObject(const std::uint8_t* r) {
  FieldObject f;
  f.Left = GetI32(r + off::Left);
  f.Top = GetI32(r + off::Top);
  f.Right = GetI32(r + off::Right);
  f.Bottom = GetI32(r + off::Bottom);
  f.ID = GetI32(r + off::ID);
  f.Page = GetI32(r + off::Page);
  f.Group = GetI32(r + off::Group);
  f.Option = GetI32(r + off::Option);
  f.Typ = GetI32(r + off::Typ);
  f.TextAlign = GetI32(r + off::TextAlign);
  f.MaxChar = GetI32(r + off::MaxChar);
  f.Name = ReadFixedText(r + off::Name, fow::Name);
  f.Value = ReadFixedText(r + off::Value, fow::Value);
  f.DefValue = ReadFixedText(r + off::DefValue, fow::DefValue);
  f.Hint = ReadFixedText(r + off::Hint, fow::Hint);
  f.XMLNode = ReadFixedText(r + off::XMLNode, fow::XMLNode);
  f.FontSize = ReadFixedText(r + off::FontSize, fow::FontSize);
  f.BorderColor = ReadFixedText(r + off::BorderColor, fow::Color);
  f.FillColor = ReadFixedText(r + off::FillColor, fow::Color);
  f.TextColor = ReadFixedText(r + off::TextColor, fow::Color);
  f.Visible = r[off::Visible] != 0;
  f.ReadOnly = r[off::ReadOnly] != 0;
  f.MustBe = r[off::MustBe] != 0;
  f.Block = r[off::Block] != 0;
  f.Multiline = r[off::Multiline] != 0;
  f.PlusValue = r[off::PlusValue] != 0;
  f.Tab = GetI32(r + off::Tab);
  f.Poz = GetI32(r + off::Poz);
  DecodeChoices(r + off::Choices, f.Choices);
  for (std::size_t i = 0; i < f.SelectItems.size(); ++i) {
    const std::uint8_t* e = r + off::SelectItems + i * off::SelectSize;
    f.SelectItems[i].Text = ReadFixedText(e, fow::ItemText);
    f.SelectItems[i].Value = ReadFixedText(e + 50, fow::ItemValue);
  }
  DecodeChoices(r + off::ExtraItems, f.ExtraItems);
  return f;
}

void EncodeFieldObject(const FieldObject& f, std::uint8_t* r) {
  std::memset(r, 0, kFieldRecordSize);
  PutI32(r + off::Left, f.Left);
  PutI32(r + off::Top, f.Top);
  PutI32(r + off::Right, f.Right);
  PutI32(r + off::Bottom, f.Bottom);
  PutI32(r + off::ID, f.ID);
  PutI32(r + off::Page, f.Page);
  PutI32(r + off::Group, f.Group);
  PutI32(r + off::Option, f.Option);
  PutI32(r + off::Typ, f.Typ);
  PutI32(r + off::TextAlign, f.TextAlign);
  PutI32(r + off::MaxChar, f.MaxChar);
  WriteFixedText(r + off::Name, fow::Name, f.Name);
  WriteFixedText(r + off::Value, fow::Value, f.Value);
  WriteFixedText(r + off::DefValue, fow::DefValue, f.DefValue);
  WriteFixedText(r + off::Hint, fow::Hint, f.Hint);
  WriteFixedText(r + off::XMLNode, fow::XMLNode, f.XMLNode);
  WriteFixedText(r + off::FontSize, fow::FontSize, f.FontSize);
  WriteFixedText(r + off::BorderColor, fow::Color, f.BorderColor);
  WriteFixedText(r + off::FillColor, fow::Color, f.FillColor);
  WriteFixedText(r + off::TextColor, fow::Color, f.TextColor);
  r[off::Visible] = f.Visible ? 1 : 0;
  r[off::ReadOnly] = f.ReadOnly ? 1 : 0;
  r[off::MustBe] = f.MustBe ? 1 : 0;
  r[off::Block] = f.Block ? 1 : 0;
  r[off::Multiline] = f.Multiline ? 1 : 0;
  r[off::PlusValue] = f.PlusValue ? 1 : 0;
  PutI32(r + off::Tab, f.Tab);
  PutI32(r + off::Poz, f.Poz);
  EncodeChoices(f.Choices, r + off::Choices);
  for (std::size_t i = 0; i < f.SelectItems.size(); ++i) {
    std::uint8_t* e = r + off::SelectItems + i * off::SelectSize;
    WriteFixedText(e, fow::ItemText, f.SelectItems[i].Text);
    WriteFixedText(e + 50, fow::ItemValue, f.SelectItems[i].Value);
  }
  EncodeChoices(f.ExtraItems, r + off::ExtraItems);
}

std::vector<FieldObject> DecodeFieldObjects(const std::vector<std::uint8_t>& bytes) {
  const std::size_t n = bytes.size() / kFieldRecordSize;
  std::vector<FieldObject> out;
  out.reserve(n);
  for (std::size_t k = 0; k < n; ++k) out.push_back(DecodeFieldObject(bytes.data() + k * kFieldRecordSize));
  return out;
}

std::vector<std::uint8_t> EncodeFieldObjects(const std::vector<FieldObject>& fields) {
  std::vector<std::uint8_t> bytes(fields.size() * kFieldRecordSize);
  for (std::size_t k = 0; k < fields.size(); ++k) EncodeFieldObject(fields[k], bytes.data() + k * kFieldRecordSize);
  return bytes;
}

std::string ImplausibleFieldRecords(const std::vector<FieldObject>& fields) {
  if (fields.empty()) return "brak rekordów pól";
  if (fields.size() > static_cast<std::size_t>(kMaxFields))
    return std::to_string(fields.size()) + " rekordów pól, a formularz ma najwyżej " + std::to_string(kMaxFields);
  for (std::size_t k = 0; k < fields.size(); ++k) {
    const FieldObject& f = fields[k];
    const std::string at = "rekord " + std::to_string(k) + ": ";
    if (f.Typ < kTekst || f.Typ > kJedenProcent) return at + "nieznany typ pola " + std::to_string(f.Typ);
    if (f.Left < 0 || f.Top < 0 || f.Left > f.Right || f.Top > f.Bottom || f.Right > kFarRight ||
        f.Bottom > kFarBottom) {
      return at + "prostokąt pola (" + std::to_string(f.Left) + ", " + std::to_string(f.Top) + ", " +
             std::to_string(f.Right) + ", " + std::to_string(f.Bottom) + ") leży poza stroną";
    }
    if (f.Page < 1 || f.Page > kMostPages) return at + "numer strony " + std::to_string(f.Page) + " spoza 1.." +
                                                  std::to_string(kMostPages);
  }
  return {};
}

std::optional<std::vector<FieldObject>> LoadFieldObjects(const std::string& path) {
  auto bytes = ReadFileBytes(path);
  if (!bytes) return std::nullopt;
  return DecodeFieldObjects(*bytes);
}

bool SaveFieldObjects(const std::string& path, const std::vector<FieldObject>& fields) {
  return WriteFileAtomically(path, EncodeFieldObjects(fields));
}

int CountFieldRecords(const std::string& path) {
  auto bytes = ReadFileBytes(path);
  return bytes ? static_cast<int>(bytes->size() / kFieldRecordSize) : 0;
}

std::optional<FieldObject> ReadFieldRecord(const std::string& path, int k) {
  if (k < 0) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> rec(kFieldRecordSize);
  in.seekg(static_cast<std::streamoff>(k) * static_cast<std::streamoff>(kFieldRecordSize));
  if (!in.read(reinterpret_cast<char*>(rec.data()), kFieldRecordSize)) return std::nullopt;
  return DecodeFieldObject(rec.data());
}

bool AppendFieldRecord(const std::string& path, const FieldObject& f) {
  auto bytes = ReadFileBytes(path);
  std::vector<std::uint8_t> all = bytes ? *bytes : std::vector<std::uint8_t>{};
  all.resize(all.size() / kFieldRecordSize * kFieldRecordSize);
  const std::size_t at = all.size();
  all.resize(at + kFieldRecordSize);
  EncodeFieldObject(f, all.data() + at);
  return WriteFileAtomically(path, all);
}

bool RewriteFieldRecord(const std::string& path, int k, const FieldObject& f) {
  auto bytes = ReadFileBytes(path);
  if (!bytes || k < 0 || static_cast<std::size_t>(k + 1) * kFieldRecordSize > bytes->size()) return false;
  EncodeFieldObject(f, bytes->data() + static_cast<std::size_t>(k) * kFieldRecordSize);
  return WriteFileAtomically(path, *bytes);
}

std::optional<FormDescription> DecodeFormDescription(const std::vector<std::uint8_t>& b) {
  if (b.size() < kFormDescriptionSize) return std::nullopt;
  FormDescription d;
  d.Path = ReadFixedText(b.data(), 256);
  d.PageCount = GetI32(b.data() + 256);
  d.ScreenWidth = GetI32(b.data() + 260);
  d.ScreenHeight = GetI32(b.data() + 264);
  d.PageHeight = GetI32(b.data() + 268);
  d.PageWidth = GetI32(b.data() + 272);
  return d;
}

std::vector<std::uint8_t> EncodeFormDescription(const FormDescription& d) {
  std::vector<std::uint8_t> b(kFormDescriptionSize, 0);
  WriteFixedText(b.data(), 256, d.Path);
  PutI32(b.data() + 256, d.PageCount);
  PutI32(b.data() + 260, d.ScreenWidth);
  PutI32(b.data() + 264, d.ScreenHeight);
  PutI32(b.data() + 268, d.PageHeight);
  PutI32(b.data() + 272, d.PageWidth);
  return b;
}

std::optional<FormDescription> LoadFormDescription(const std::string& path) {
  auto bytes = ReadFileBytes(path, 1 << 20);
  if (!bytes) return std::nullopt;
  return DecodeFormDescription(*bytes);
}

bool SaveFormDescription(const std::string& path, const FormDescription& d) {
  return WriteFileAtomically(path, EncodeFormDescription(d));
}

std::optional<PictureSize> ReadPictureSize(const std::vector<std::uint8_t>& b) {
  PictureSize s;
  if (b.size() >= 22 && GetU32(b.data()) == 0x9AC6CDD7u) {
    // Placeable WMF: bounding box as four signed 16-bit values.
    auto i16 = [&](std::size_t o) { return static_cast<int>(static_cast<std::int16_t>(GetU16(b.data() + o))); };
    s.width = i16(10) - i16(6);
    s.height = i16(12) - i16(8);
  } else if (b.size() >= 88 && GetU32(b.data()) == 1 && GetU32(b.data() + 40) == 0x464D4520u) {
    // EMF: rclFrame, in 0.01 mm, gives the page's proportions.
    const std::int64_t w = static_cast<std::int64_t>(GetI32(b.data() + 32)) - GetI32(b.data() + 24);
    const std::int64_t h = static_cast<std::int64_t>(GetI32(b.data() + 36)) - GetI32(b.data() + 28);
    if (w <= 0 || h <= 0 || w > 10000000 || h > 10000000) return std::nullopt;
    s.width = static_cast<int>(w);
    s.height = static_cast<int>(h);
  } else {
    return std::nullopt;
  }
  if (s.width <= 0 || s.height <= 0) return std::nullopt;
  return s;
}

int PageHeightFor800(const PictureSize& s) {
  if (s.width <= 0) return 0;
  return static_cast<int>(static_cast<std::int64_t>(s.height) * 800 / s.width);
}

std::string DcsPath(const std::string& dcDir, int idPit) {
  return JoinPath(dcDir, std::to_string(idPit) + ".dcs");
}

std::string DcdPath(const std::string& dcDir, int idPit) {
  return JoinPath(dcDir, std::to_string(idPit) + ".dcd");
}

std::string DcgPath(const std::string& dcDir, int idPit, int page, bool withoutBackground) {
  return JoinPath(dcDir, std::to_string(idPit) + "_" + std::to_string(page) + (withoutBackground ? "b" : "") + ".dcg");
}

}  // namespace pit
