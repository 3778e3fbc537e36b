#pragma once
// One field of a form definition (a record of dc/<IdPit>.dcs) and the form
// description (dc/<IdPit>.dcd). The codecs in definition_files.h are the only
// code that knows their byte layout.
#include <array>
#include <string>

namespace pit {

enum ObjectType : int {
  kTekst = 0, kLiczba = 1, kNip = 2, kData = 3, kSelect = 4, kCheckbox = 5, kKreska = 6,
  kUrzadSkarbowy = 7, kKraj = 8, kJedenProcent = 9,
};

enum TextAlignment : int { kAlignLeft = 0, kAlignRight = 1, kAlignCenter = 2, kAlignCells = 3 };

struct ChoiceItem {  // Choices and ExtraItems entries
  std::string Text;
  std::string Value = "0";
  bool Flag = false;
};

struct SelectItem {
  std::string Text;
  std::string Value = "0";
};

// Field widths in bytes (zero included) of the text fields of a record.
namespace fow {
constexpr std::size_t Name = 15, Value = 255, DefValue = 255, Hint = 80, XMLNode = 100,
                      FontSize = 3, Color = 7, ItemText = 50, ItemValue = 50;
}

struct FieldObject {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int ID = 0;
  int Page = 1;
  int Group = 0;
  int Option = 0;
  int Typ = 0;
  int TextAlign = 0;
  int MaxChar = 0;
  std::string Name;
  std::string Value;
  std::string DefValue;
  std::string Hint;
  std::string XMLNode;
  std::string FontSize = "0";
  std::string BorderColor = "000000";
  std::string FillColor = "FFFFFF";
  std::string TextColor = "000000";
  bool Visible = true;
  bool ReadOnly = false;
  bool MustBe = false;
  bool Block = false;
  bool Multiline = false;
  bool PlusValue = false;
  int Tab = 0;
  int Poz = 0;
  std::array<ChoiceItem, 10> Choices{};
  std::array<SelectItem, 10> SelectItems{};
  std::array<ChoiceItem, 10> ExtraItems{};

  // The value text of a tick box (Choices entry 0).
  const std::string& CheckValue() const { return Choices[0].Value; }
};

struct FormDescription {
  std::string Path;        // informative only
  int PageCount = 0;
  int ScreenWidth = 0;
  int ScreenHeight = 0;
  int PageHeight = 0;      // of a page drawn 800 pixels wide
  int PageWidth = 800;
};

// RRGGBB text as (r, g, b); an empty or malformed text reads as white.
struct Rgb {
  int r = 255, g = 255, b = 255;
};
Rgb ParseColour(const std::string& rrggbb);

}  // namespace pit
