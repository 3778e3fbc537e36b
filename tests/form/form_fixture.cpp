#include "form_fixture.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include "emf/emf_writer.h"
#include "forms/definition_files.h"

namespace pit::formtest {
namespace {

// Every character as wide as 0.55 em: enough for a picture nobody reads.
struct FixedMeasurer : emf::TextMeasurer {
  std::vector<double> Advances(const emf::Font& font, const std::u16string& text) override {
    return std::vector<double>(text.size(), font.emPx * 0.55);
  }
};

FieldObject Amount(int page, int left, int top, int tab, bool readOnly = false) {
  FieldObject d = Field(kLiczba, page, left, top, left + 120, top + 18, tab);
  d.Option = 1;
  d.TextAlign = kAlignRight;
  d.DefValue = "0,00";
  d.ReadOnly = readOnly;
  return d;
}

FieldObject Tick(int page, int left, int top, const std::string& name, const std::string& value, bool readOnly,
                 int tab) {
  FieldObject d = Field(kCheckbox, page, left, top, left + 14, top + 14, tab);
  d.Name = name;
  d.Choices[0].Value = value;
  d.ReadOnly = readOnly;
  return d;
}

}  // namespace

FieldObject Field(int typ, int page, int left, int top, int right, int bottom, int tab) {
  FieldObject d;
  d.Typ = typ;
  d.Page = page;
  d.Left = left;
  d.Top = top;
  d.Right = right;
  d.Bottom = bottom;
  d.Tab = tab;
  d.FontSize = "10";
  return d;
}

std::vector<FieldObject> Pit37LikeFields() {
  // Fillers: fields the calculation writes but the fixture does not show.
  std::vector<FieldObject> fields(160);
  for (std::size_t k = 0; k < fields.size(); ++k) {
    fields[k] = Field(kLiczba, 4, 10, 10, 20, 20);
    fields[k].Visible = false;
    fields[k].ReadOnly = true;
    fields[k].Option = 1;
    fields[k].DefValue = "0,00";
  }
  auto put = [&](int k, FieldObject d) { fields[static_cast<std::size_t>(k)] = std::move(d); };

  // Page 1: identification, tick boxes.
  FieldObject nip = Field(kNip, 1, 40, 60, 240, 80, 1);
  nip.Option = 1;
  nip.MaxChar = 13;
  nip.MustBe = true;
  nip.DefValue = "";
  put(f::Nip, nip);
  FieldObject office = Field(kUrzadSkarbowy, 1, 40, 300, 600, 320, 2);
  put(f::Office, office);
  FieldObject birth = Field(kData, 1, 300, 60, 460, 80, 3);
  birth.TextAlign = kAlignCells;
  birth.MaxChar = 8;
  birth.Hint = "Data urodzenia (dzień - miesiąc - rok)";
  put(f::Birth, birth);
  FieldObject country = Field(kKraj, 1, 40, 340, 300, 360, 4);
  country.MustBe = true;
  put(f::CountryRequired, country);
  put(f::CountryOptional, Field(kKraj, 1, 320, 340, 600, 360, 5));
  put(f::GroupA, Tick(1, 40, 400, "Grupa", "1", false, 6));
  put(f::GroupB, Tick(1, 140, 400, "Grupa", "2", false, 7));
  FieldObject surname = Field(kTekst, 1, 40, 440, 400, 460, 8);
  surname.MaxChar = 40;
  put(f::Surname, surname);
  put(f::Filing, Tick(1, 40, 500, "Cel", "1", true, 0));
  put(f::Correction, Tick(1, 140, 500, "Cel", "2", true, 0));
  // Method of taxation: the calculation ticks these.
  for (int k = 3; k <= 6; ++k)
    put(k, Tick(1, 40 + (k - 3) * 100, 540, "Sposob", std::to_string(k - 2), k != 5, 0));
  FieldObject legal = Field(kNip, 1, 480, 60, 680, 80, 0);
  legal.Option = 2;
  legal.MaxChar = 13;
  legal.ReadOnly = false;
  legal.Tab = 0;
  put(f::LegalNip, legal);

  // Page 2: income, tax.
  put(f::Revenue, Amount(2, 300, 100, 10));
  put(f::Costs, Amount(2, 430, 100, 11));
  put(f::Income, Amount(2, 560, 100, 0, true));
  put(f::Advances, Amount(2, 300, 130, 12));
  FieldObject whole = Amount(2, 300, 160, 13);
  whole.Option = 2;
  whole.DefValue = "0";
  put(f::Whole, whole);
  FieldObject rounded = Amount(2, 430, 160, 14);
  rounded.Option = 12;
  put(f::Rounded, rounded);
  put(f::FlatCosts, Amount(2, 430, 130, 15));
  put(f::TaxDue, Amount(2, 560, 200, 0, true));
  put(f::ToPay, Amount(2, 560, 230, 0, true));

  // Page 3: the 1% section.
  FieldObject krs = Field(kSelect, 3, 300, 500, 450, 520, 20);
  krs.MaxChar = 10;
  put(f::Krs, krs);
  FieldObject one = Field(kJedenProcent, 3, 480, 500, 600, 520, 21);
  one.Option = 1;
  one.TextAlign = kAlignRight;
  one.DefValue = "0,00";
  put(f::OnePercent, one);
  return fields;
}

std::vector<std::uint8_t> PlainPage(const std::string& heading) {
  FixedMeasurer m;
  emf::PageWriter w(m);
  w.FrameRect(10, 10, 790, 1120, {0, 0, 0}, 1);
  emf::Font font;
  font.emPx = 14;
  w.Text(20, 30, heading, font, {0, 0, 0});
  return w.Finish();
}

void WriteDefinitions(const std::string& dcDir, const std::vector<FieldObject>& fields, int pages) {
  QDir().mkpath(QString::fromStdString(dcDir));
  SaveFieldObjects(DcsPath(dcDir, kPit37), fields);
  for (int p = 1; p <= pages; ++p) {
    const std::vector<std::uint8_t> bytes = PlainPage("PIT-37 strona " + std::to_string(p));
    QFile out(QString::fromStdString(DcgPath(dcDir, kPit37, p)));
    out.open(QIODevice::WriteOnly);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  }
}

FormFixture::FormFixture(const std::vector<FieldObject>& fields) {
  ctx.programFolder = dir.path().toStdString();
  const std::string dc = ctx.Folder("dc");
  WriteDefinitions(dc, fields);
  ctx.defs = std::make_unique<DefinitionLibrary>(dc);
  ctx.countries = CountryTable({{0, "POLSKA", "PL"}, {1, "NIEMCY", "DE"}, {2, "AUSTRIA", "AT"},
                                {3, "POLINEZJA FRANCUSKA", "PF"}});
  ctx.offices = TaxOfficeTable({{0, "URZĄD SKARBOWY W ZAMOŚCIU", "0620", "ZAMOŚĆ"},
                                {1, "PIERWSZY URZĄD SKARBOWY W BIAŁYMSTOKU", "2004", "BIAŁYSTOK"},
                                {2, "URZĄD SKARBOWY W AUGUSTOWIE", "2002", "AUGUSTÓW"},
                                {3, "URZĄD SKARBOWY WARSZAWA-WOLA", "1449", "WARSZAWA-WOLA"},
                                {4, "URZĄD SKARBOWY WARSZAWA-ŚRÓDMIEŚCIE", "1447", "WARSZAWA-ŚRÓDMIEŚCIE"}});
  Settlement& s = ctx.settlement;
  s.Open();
  s.Kind = kIndividual;
  s.TaxpayerIdKind = kIdNip;
  s.SpouseIdKind = kIdNone;
  const int n = s.AddEntry(kPit37, 0, kPmNone, kIndividual);
  s.RebuildTree(*ctx.defs);
  CurrentEntryState& c = s.Current;
  c.Number = n;
  c.IdPit = kPit37;
  c.Kind = kIndividual;
  c.Page = 1;
  c.PageCount = 3;
  c.ReturnGuid = s.Entry(n).ReturnGuid;
}

bool FormWindowFixture::OpenWindow(QSize size, bool pagePixels) {
  fx = std::make_unique<FormFixture>();
  w = std::make_unique<ui::TFImage>(fx->ctx);
  list = std::make_unique<QListWidget>();
  w->SetMessageList(list.get());
  w->resize(size);
  w->show();
  if (!QTest::qWaitForWindowExposed(w.get())) return false;
  if (pagePixels) w->SetZoom(1.0);
  return true;
}

void FormWindowFixture::CloseWindow() {
  w.reset();
  list.reset();
  fx.reset();
}

void FormWindowFixture::Click(int k) {
  const FieldObject& d = Def(k);
  QTest::mouseClick(w->Surface(), Qt::LeftButton, {}, QPoint(1 + (d.Left + d.Right) / 2, (d.Top + d.Bottom) / 2));
}

}  // namespace pit::formtest
