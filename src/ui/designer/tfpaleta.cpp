#include "ui/designer/tfpaleta.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "text/cp1250.h"

namespace pit::ui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

QString Caption(int typ) {
  switch (typ) {
    case kTekst: return QStringLiteral("Właściwości obiektu TEKST ");
    case kLiczba: case kJedenProcent: return QStringLiteral("Właściwości obiektu LICZBA ");
    case kNip: return QStringLiteral("Właściwości obiektu NIP ");
    case kData: return QStringLiteral("Właściwości obiektu DATA ");
    case kSelect: return QStringLiteral("Właściwości obiektu SELECT ");
    case kCheckbox: return QStringLiteral("Właściwości obiektu CHECBOX ");
    case kKreska: return QStringLiteral("Właściwości obiektu LINIA ");
    // No caption of their own existed for these two; they are named as the type dialog names them.
    case kUrzadSkarbowy: return QStringLiteral("Właściwości obiektu URZĄD SKARBOWY ");
    case kKraj: return QStringLiteral("Właściwości obiektu KRAJ ");
    default: return QStringLiteral("Właściwości obiektu ");
  }
}

QGroupBox* Panel(QVBoxLayout* into, const QString& title = {}) {
  auto* g = new QGroupBox(title);
  into->addWidget(g);
  return g;
}

QSpinBox* Spin(int max) {
  auto* s = new QSpinBox;
  s->setRange(0, max);
  return s;
}

}  // namespace

namespace {

// Tabs as large as the page shown (a plain tab widget is as large as its
// largest page).
class PanelTabs : public QTabWidget {
 public:
  QSize sizeHint() const override { return WithBar(currentWidget() ? currentWidget()->sizeHint() : QSize()); }
  QSize minimumSizeHint() const override {
    return WithBar(currentWidget() ? currentWidget()->minimumSizeHint() : QSize());
  }

 private:
  QSize WithBar(QSize page) const {
    const QSize bar = tabBar()->sizeHint();
    const int frame = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this) + 2;
    return QSize(std::max(page.width() + frame, bar.width()), page.height() + bar.height() + frame);
  }
};

}  // namespace

TFPaleta::TFPaleta(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TFPaleta"));
  auto* lay = new QVBoxLayout(this);
  tabs_ = new PanelTabs;
  lay->addWidget(tabs_);

  // --- Ogólne
  auto* general = new QWidget;
  auto* gf = new QFormLayout(general);
  XML_ = new QLineEdit;
  XML_->setObjectName(QStringLiteral("XML"));
  Nazwa_ = new QLineEdit;
  Nazwa_->setObjectName(QStringLiteral("Nazwa"));
  Pomoc_ = new QLineEdit;
  Pomoc_->setObjectName(QStringLiteral("Pomoc"));
  StanPola_ = new QComboBox;
  StanPola_->setObjectName(QStringLiteral("StanPola"));
  StanPola_->addItems({QStringLiteral("Ukryte"), QStringLiteral("Widoczne")});
  ReadOlny_ = new QCheckBox(QStringLiteral("tylko do odczytu"));
  MustBe_ = new QCheckBox(QStringLiteral("wymagane"));
  Block_ = new QCheckBox(QStringLiteral("zablokowane"));
  Block_->setObjectName(QStringLiteral("Block"));
  PozPrzeg_ = Spin(9999);
  DrukPoz_ = Spin(9999);
  DrukPage_ = Spin(99);
  gf->addRow(QStringLiteral("XML:"), XML_);
  gf->addRow(QStringLiteral("Nazwa:"), Nazwa_);
  gf->addRow(QStringLiteral("Title:"), Pomoc_);
  gf->addRow(QString(), StanPola_);
  gf->addRow(QString(), ReadOlny_);
  gf->addRow(QString(), MustBe_);
  gf->addRow(QString(), Block_);
  gf->addRow(QStringLiteral("tab:"), PozPrzeg_);
  gf->addRow(QStringLiteral("poz. elem:"), DrukPoz_);
  gf->addRow(QStringLiteral("strona :"), DrukPage_);
  tabs_->addTab(general, QStringLiteral("Ogólne"));

  // --- Wygląd
  auto* look = new QWidget;
  auto* lv = new QVBoxLayout(look);
  struct ColourButton {
    const char* name;
    QString* target;
  };
  for (const ColourButton& c : {ColourButton{"KolorKrawedz", &border_}, ColourButton{"KolorTlo", &fill_},
                                ColourButton{"KolorTekst", &text_}}) {
    auto* b = new QPushButton(QString::fromLatin1(c.name));
    b->setObjectName(QString::fromLatin1(c.name));
    QString* target = c.target;
    connect(b, &QPushButton::clicked, this, [this, target] {
      const QColor now(QStringLiteral("#") + *target);
      const QColor chosen = QColorDialog::getColor(now, this);
      if (chosen.isValid()) *target = chosen.name().mid(1).toUpper();  // cancelled: unchanged
    });
    lv->addWidget(b);
  }
  auto* panel1 = new QPushButton(QStringLiteral("tło FFFFFE"));
  panel1->setObjectName(QStringLiteral("Panel1"));
  connect(panel1, &QPushButton::clicked, this, [this] { fill_ = QStringLiteral("FFFFFE"); });
  auto* panel2 = new QPushButton(QStringLiteral("tło FFFFFF"));
  panel2->setObjectName(QStringLiteral("Panel2"));
  connect(panel2, &QPushButton::clicked, this, [this] { fill_ = QStringLiteral("FFFFFF"); });
  lv->addWidget(panel1);
  lv->addWidget(panel2);
  lv->addWidget(new QLabel(QStringLiteral("Rozmiar czcionki:")));
  RozmiarCzcionki_ = new QComboBox;
  RozmiarCzcionki_->setObjectName(QStringLiteral("RozmiarCzcionki"));
  RozmiarCzcionki_->addItems({"4", "6", "8", "10", "12", "14", "16", "18"});
  connect(RozmiarCzcionki_, &QComboBox::currentTextChanged, this, [this](const QString& s) {
    if (loading_) return;
    field_.FontSize = S(s);
    emit fontSizeChanged(index_, s);
  });
  lv->addWidget(RozmiarCzcionki_);
  lv->addStretch();
  tabs_->addTab(look, QStringLiteral("Wygląd"));

  // --- Opcje
  auto* options = new QWidget;
  auto* ov = new QVBoxLayout(options);
  alignPanel_ = Panel(ov);
  alignPanel_->setObjectName(QStringLiteral("PanelWyrownanie"));
  {
    auto* f = new QFormLayout(alignPanel_);
    TextAlign_ = new QComboBox;
    TextAlign_->setObjectName(QStringLiteral("TextAlign"));
    TextAlign_->addItems({QStringLiteral("do lewej"), QStringLiteral("do prawej"), QStringLiteral("centruj"),
                          QStringLiteral("justuj")});
    DefValue_ = new QLineEdit;
    DefValue_->setObjectName(QStringLiteral("DefValue"));
    f->addRow(QString(), TextAlign_);
    f->addRow(QStringLiteral(" Wartość domyślna "), DefValue_);
  }
  limitPanel_ = Panel(ov);
  limitPanel_->setObjectName(QStringLiteral("PanelLimit"));
  {
    auto* h = new QHBoxLayout(limitPanel_);
    MaxChar_ = new QCheckBox(QStringLiteral("ograniczenie"));
    CharLimit_ = Spin(fow::Value - 1);
    h->addWidget(MaxChar_);
    h->addWidget(CharLimit_);
    h->addWidget(new QLabel(QStringLiteral("znaków")));
  }
  multiPanel_ = Panel(ov);
  multiPanel_->setObjectName(QStringLiteral("PanelWielowierszowe"));
  {
    auto* h = new QHBoxLayout(multiPanel_);
    Multiline_ = new QCheckBox(QStringLiteral("Pole wielowierszowe"));
    h->addWidget(Multiline_);
  }
  numberPanel_ = Panel(ov);
  numberPanel_->setObjectName(QStringLiteral("PanelLiczba"));
  {
    auto* v = new QVBoxLayout(numberPanel_);
    auto* kind = new QHBoxLayout;
    LiczbaCalkowita_ = new QRadioButton(QStringLiteral("całkowita"));
    LiczbaDziesietna_ = new QRadioButton(QStringLiteral("dziesiętna"));
    kind->addWidget(LiczbaCalkowita_);
    kind->addWidget(LiczbaDziesietna_);
    v->addLayout(kind);
    roundingPanel_ = new QGroupBox;
    auto* r = new QHBoxLayout(roundingPanel_);
    ZaokrZloty_ = new QRadioButton(QStringLiteral("do złotych"));
    ZaokrGroszy_ = new QRadioButton(QStringLiteral("do dziesiętnych groszy"));
    BezZaokr_ = new QRadioButton(QStringLiteral("brak"));
    r->addWidget(ZaokrZloty_);
    r->addWidget(ZaokrGroszy_);
    r->addWidget(BezZaokr_);
    v->addWidget(roundingPanel_);
    // The range is shown for orientation only; the record has no place for it.
    auto* range = new QHBoxLayout;
    range->addWidget(new QLabel(QStringLiteral("Przedział od:")));
    range->addWidget(new QLineEdit);
    range->addWidget(new QLabel(QStringLiteral("do:")));
    range->addWidget(new QLineEdit);
    v->addLayout(range);
    PlusValue_ = new QCheckBox(QStringLiteral("Tylko dodatnia"));
    v->addWidget(PlusValue_);
    connect(LiczbaDziesietna_, &QRadioButton::toggled, this, [this](bool on) {
      ShowRounding();
      if (loading_) return;
      const QString d = DefValue_->text();
      if (on && (d.isEmpty() || d == "0")) DefValue_->setText(QStringLiteral("0,00"));
      if (!on && (d.isEmpty() || d == "0,00")) DefValue_->setText(QStringLiteral("0"));
    });
  }
  nipPanel_ = Panel(ov);
  nipPanel_->setObjectName(QStringLiteral("PanelNip"));
  {
    auto* h = new QHBoxLayout(nipPanel_);
    NipFizyczna_ = new QRadioButton(QStringLiteral("Osoba fizyczna"));
    NipPrawna_ = new QRadioButton(QStringLiteral("Osoba prawna"));
    h->addWidget(NipFizyczna_);
    h->addWidget(NipPrawna_);
  }
  datePanel_ = Panel(ov);
  datePanel_->setObjectName(QStringLiteral("PanelData"));
  {
    auto* h = new QHBoxLayout(datePanel_);
    BiezacaData_ = new QCheckBox(QStringLiteral("ustaw bieżącą datę"));
    h->addWidget(BiezacaData_);
  }
  tickPanel_ = Panel(ov);
  tickPanel_->setObjectName(QStringLiteral("PanelKwadrat"));
  {
    auto* f = new QFormLayout(tickPanel_);
    CheckBoxChecked_ = new QCheckBox;
    ChecBoxValue_ = new QLineEdit;
    ECBRozmiar_ = Spin(200);
    f->addRow(QString(), CheckBoxChecked_);
    f->addRow(QStringLiteral("Wartość"), ChecBoxValue_);
    f->addRow(QStringLiteral(" Rozmiar "), ECBRozmiar_);
  }
  selectPanel_ = Panel(ov);
  selectPanel_->setObjectName(QStringLiteral("PanelLista"));
  {
    auto* g = new QGridLayout(selectPanel_);
    EListBox_ = new QListWidget;
    EListBox_->setObjectName(QStringLiteral("EListBox"));
    SelectText_ = new QLineEdit;
    SelectText_->setObjectName(QStringLiteral("SelectText"));
    SelectValue_ = new QLineEdit;
    SelectValue_->setObjectName(QStringLiteral("SelectValue"));
    auto* add = new QPushButton(QStringLiteral("Dodaj  >>"));
    add->setObjectName(QStringLiteral("Dodaj"));
    auto* remove = new QPushButton(QStringLiteral("<< Usuń"));
    remove->setObjectName(QStringLiteral("Usun"));
    g->addWidget(new QLabel(QStringLiteral("Tekst")), 0, 0);
    g->addWidget(SelectText_, 0, 1);
    g->addWidget(new QLabel(QStringLiteral("Wartość")), 1, 0);
    g->addWidget(SelectValue_, 1, 1);
    g->addWidget(add, 2, 0);
    g->addWidget(remove, 2, 1);
    g->addWidget(EListBox_, 0, 2, 3, 1);
    auto refresh = [this] {
      const int row = std::max(0, EListBox_->currentRow());
      EListBox_->clear();
      for (const SelectItem& it : items_) EListBox_->addItem(Q(it.Text) + " = " + Q(it.Value));
      EListBox_->setCurrentRow(row);
    };
    connect(add, &QPushButton::clicked, this, [this, refresh] {
      // An entry holds 49 characters of text and 49 of value.
      for (const QLineEdit* e : {SelectText_, SelectValue_}) {
        if (Cp1250Length(S(e->text())) >= fow::ItemText) {
          QMessageBox::warning(this, QStringLiteral("Właściwości obiektu"),
                               QStringLiteral("Tekst pola „%1” jest za długi: mieści się najwyżej %2 znaków.")
                                   .arg(e == SelectText_ ? QStringLiteral("Tekst") : QStringLiteral("Wartość"))
                                   .arg(fow::ItemText - 1));
          return;
        }
      }
      const int row = std::max(0, EListBox_->currentRow());
      items_[row].Text = S(SelectText_->text());
      items_[row].Value = S(SelectValue_->text());
      refresh();
      EListBox_->setCurrentRow(std::min(row + 1, 9));
    });
    connect(remove, &QPushButton::clicked, this, [this, refresh] {
      const int row = std::max(0, EListBox_->currentRow());
      items_[row] = SelectItem{};
      refresh();
      EListBox_->setCurrentRow(std::max(row - 1, 0));
    });
  }
  linePanel_ = Panel(ov);
  linePanel_->setObjectName(QStringLiteral("PanelKreska"));
  {
    auto* h = new QHBoxLayout(linePanel_);
    CheckBoxPodkreslenie_ = new QCheckBox(QStringLiteral("Przekreslenie"));
    h->addWidget(CheckBoxPodkreslenie_);
  }
  ov->addStretch();
  tabs_->addTab(options, QStringLiteral("Opcje"));
  tabs_->addTab(new QWidget, QStringLiteral("Oblicz"));

  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton(QStringLiteral("zastosuj"));
  ok->setObjectName(QStringLiteral("zastosuj"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("anuluj"));
  cancel->setObjectName(QStringLiteral("anuluj"));
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  lay->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &TFPaleta::Apply);
  connect(cancel, &QPushButton::clicked, this, &TFPaleta::Cancel);
  connect(tabs_, &QTabWidget::currentChanged, this, &TFPaleta::FitToTab);
  FitToTab(0);
}

void TFPaleta::FitToTab(int tab) {
  if (tab < 0 || tab >= 3) return;
  tabs_->updateGeometry();
  layout()->invalidate();
  layout()->activate();
  resize(minimumSizeHint().expandedTo(sizeHint()));
}

void TFPaleta::Edit(int index, const FieldObject& f) {
  loading_ = true;
  index_ = index;
  field_ = f;
  setWindowTitle(Caption(f.Typ) + QStringLiteral("[%1.%2]").arg(f.Group).arg(f.ID));
  XML_->setText(f.XMLNode.empty() ? QStringLiteral("P_") : Q(f.XMLNode));
  Nazwa_->setText(Q(f.Name));
  Pomoc_->setText(Q(f.Hint));
  StanPola_->setCurrentIndex(f.Visible ? 1 : 0);
  ReadOlny_->setChecked(f.ReadOnly);
  MustBe_->setChecked(f.MustBe);
  Block_->setChecked(f.Block);
  PozPrzeg_->setValue(f.Tab);
  DrukPoz_->setValue(f.Poz);
  DrukPage_->setValue(f.Page);
  border_ = Q(f.BorderColor);
  fill_ = Q(f.FillColor);
  text_ = Q(f.TextColor);
  RozmiarCzcionki_->setCurrentText(Q(f.FontSize));
  TextAlign_->setCurrentIndex(std::clamp(f.TextAlign, 0, 3));
  DefValue_->setText(Q(f.DefValue));
  MaxChar_->setChecked(f.MaxChar > 0);
  CharLimit_->setValue(f.MaxChar);
  Multiline_->setChecked(f.Multiline);
  LiczbaCalkowita_->setChecked(f.Option == 2);
  LiczbaDziesietna_->setChecked(f.Option != 2);
  ZaokrGroszy_->setChecked(f.Option == 12);
  BezZaokr_->setChecked(f.Option == 11);
  ZaokrZloty_->setChecked(f.Option != 12 && f.Option != 11);
  PlusValue_->setChecked(f.PlusValue);
  NipPrawna_->setChecked(f.Option == 2);
  NipFizyczna_->setChecked(f.Option != 2);
  BiezacaData_->setChecked(f.Option == 1);
  CheckBoxChecked_->setChecked(f.Choices[0].Flag);
  ChecBoxValue_->setText(Q(f.Choices[0].Value));
  ECBRozmiar_->setValue(f.Right - f.Left > 0 ? f.Right - f.Left : 20);
  items_ = f.SelectItems;
  EListBox_->clear();
  for (const SelectItem& it : items_) EListBox_->addItem(Q(it.Text) + " = " + Q(it.Value));
  EListBox_->setCurrentRow(std::clamp(f.Option, 0, 9));
  CheckBoxPodkreslenie_->setChecked(f.Option == 1);
  ShowTypePanels();
  loading_ = false;
  FitToTab(tabs_->currentIndex());
  if (tabs_->currentIndex() == 0) {
    XML_->setFocus();
    XML_->setCursorPosition(XML_->text().size());
  }
}

void TFPaleta::ShowTypePanels() {
  const int t = field_.Typ;
  const bool number = t == kLiczba || t == kJedenProcent;
  alignPanel_->setVisible(t == kTekst || number || t == kNip || t == kData);
  limitPanel_->setVisible(t == kTekst || number);
  multiPanel_->setVisible(t == kTekst);
  numberPanel_->setVisible(number);
  nipPanel_->setVisible(t == kNip);
  datePanel_->setVisible(t == kData);
  tickPanel_->setVisible(t == kCheckbox);
  selectPanel_->setVisible(t == kSelect);
  linePanel_->setVisible(t == kKreska);
  ShowRounding();
}

void TFPaleta::ShowRounding() { roundingPanel_->setVisible(LiczbaDziesietna_->isChecked()); }

bool TFPaleta::Collect(FieldObject& f, QString* error) const {
  struct Text {
    const QLineEdit* edit;
    const char* caption;
    std::size_t width;
  };
  for (const Text& t : {Text{XML_, "XML:", fow::XMLNode}, Text{Nazwa_, "Nazwa:", fow::Name},
                        Text{Pomoc_, "Title:", fow::Hint}, Text{DefValue_, "Wartość domyślna", fow::DefValue},
                        Text{ChecBoxValue_, "Wartość", fow::ItemValue}}) {
    if (Cp1250Length(S(t.edit->text())) > t.width - 1) {
      if (error)
        *error = QStringLiteral("Tekst pola „%1” jest za długi: mieści się najwyżej %2 znaków.")
                     .arg(QString::fromUtf8(t.caption).trimmed())
                     .arg(t.width - 1);
      return false;
    }
  }
  f = field_;
  const QString xml = XML_->text().trimmed();
  f.XMLNode = xml == "P_" ? std::string() : S(xml);
  f.Name = S(Nazwa_->text());
  f.Hint = S(Pomoc_->text());
  f.Visible = StanPola_->currentIndex() == 1;
  f.ReadOnly = ReadOlny_->isChecked();
  f.MustBe = MustBe_->isChecked();
  f.Block = Block_->isChecked();
  f.Tab = PozPrzeg_->value();
  f.Poz = DrukPoz_->value();
  f.Page = DrukPage_->value();
  f.BorderColor = S(border_);
  f.FillColor = S(fill_);
  f.TextColor = S(text_);
  f.FontSize = S(RozmiarCzcionki_->currentText());
  const int t = f.Typ;
  if (t == kTekst || t == kLiczba || t == kJedenProcent || t == kNip || t == kData) {
    f.TextAlign = TextAlign_->currentIndex();
    f.DefValue = S(DefValue_->text());
  }
  if (t == kTekst || t == kLiczba || t == kJedenProcent) f.MaxChar = MaxChar_->isChecked() ? CharLimit_->value() : 0;
  if (t == kTekst) f.Multiline = Multiline_->isChecked();
  if (t == kLiczba || t == kJedenProcent) {
    f.Option = LiczbaCalkowita_->isChecked() ? 2 : ZaokrGroszy_->isChecked() ? 12 : BezZaokr_->isChecked() ? 11 : 1;
    f.PlusValue = PlusValue_->isChecked();
  }
  if (t == kNip) {
    f.Option = NipPrawna_->isChecked() ? 2 : 1;
    f.MaxChar = 13;
  }
  if (t == kData) f.Option = BiezacaData_->isChecked() ? 1 : 0;
  if (t == kCheckbox) {
    f.Choices[0].Flag = CheckBoxChecked_->isChecked();
    f.Choices[0].Value = S(ChecBoxValue_->text());
    f.Right = f.Left + ECBRozmiar_->value();
    f.Bottom = f.Top + ECBRozmiar_->value();
  }
  if (t == kSelect) {
    f.SelectItems = items_;
    const int row = std::max(0, EListBox_->currentRow());
    f.Option = row;
    f.Value = items_[row].Text;
  }
  if (t == kKreska) f.Option = CheckBoxPodkreslenie_->isChecked() ? 1 : 0;
  return true;
}

void TFPaleta::Apply() {
  FieldObject f;
  QString error;
  if (!Collect(f, &error)) {
    QMessageBox::warning(this, QStringLiteral("Właściwości obiektu"), error);
    return;
  }
  tabs_->setCurrentIndex(0);
  emit applied(index_, f);
  hide();
}

void TFPaleta::Cancel() {
  tabs_->setCurrentIndex(0);
  hide();
}

void TFPaleta::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    Cancel();
    return;
  }
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    Apply();
    return;
  }
  QDialog::keyPressEvent(e);
}

}  // namespace pit::ui
