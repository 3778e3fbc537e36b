#pragma once
// A small PIT-37-like form for the form window tests: a definition folder
// with field records at the object indexes the PIT-37 calculation reads and
// writes, plain page pictures, and a settlement with one PIT-37 entry.
#include <QListWidget>
#include <QSize>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "forms/field_object.h"
#include "ui/app/app_context.h"
#include "ui/forms/tfimage.h"

namespace pit::formtest {

// Object indexes of the fixture form (those of PIT-37 where the calculation
// gives them a meaning).
namespace f {
constexpr int Nip = 0, Office = 7, Filing = 8, Correction = 9, Surname = 10, Birth = 12, CountryRequired = 140,
              CountryOptional = 138, GroupA = 125, GroupB = 126, Revenue = 36, Costs = 37, Income = 38,
              Advances = 40, TaxDue = 113, ToPay = 115, Krs = 131, OnePercent = 132, Whole = 127, Rounded = 128,
              LegalNip = 129, FlatCosts = 149, Deductions = 90;
}

// A field at a rectangle of a page.
FieldObject Field(int typ, int page, int left, int top, int right, int bottom, int tab = 0);

// The fixture's fields, filler records included (350 at most).
std::vector<FieldObject> Pit37LikeFields();

// A plain page picture: a frame and a heading, white inside.
std::vector<std::uint8_t> PlainPage(const std::string& heading);

// Writes dc/2.dcs and pages 1..3 into `dir`.
void WriteDefinitions(const std::string& dcDir, const std::vector<FieldObject>& fields, int pages = 3);

// The program state with the fixture form written into a temporary folder
// and one PIT-37 entry (number 1) made current on page 1.
struct FormFixture {
  explicit FormFixture(const std::vector<FieldObject>& fields = Pit37LikeFields());
  QTemporaryDir dir;
  ui::AppContext ctx;
  const ValueSlot& Slot(int k) const { return ctx.settlement.Entry(1).Slot(k); }
  void Set(int k, const std::string& v) { ctx.settlement.Write(1, k, v); }
  void SetOfficeCode(int k, const std::string& code) { ctx.settlement.WriteOfficeCode(1, k, code); }
};

// The form window shown over the fixture with its message list, as the form
// tests drive it. Places and clicks are in page pixels, so the window is
// shown at 100% unless a test asks for another zoom.
struct FormWindowFixture {
  std::unique_ptr<FormFixture> fx;
  std::unique_ptr<ui::TFImage> w;
  std::unique_ptr<QListWidget> list;

  // False when the window did not come up on the screen. Without
  // `pagePixels` the page keeps the zoom it opens with (the window's width).
  bool OpenWindow(QSize size = QSize(840, 700), bool pagePixels = true);
  void CloseWindow();
  void Show(int page) { w->ShowPage(kPit37, page, false); }
  const FieldObject& Def(int k) { return w->Fields()[static_cast<std::size_t>(k)]; }
  // A left click in the middle of field `k`.
  void Click(int k);
};

}  // namespace pit::formtest
