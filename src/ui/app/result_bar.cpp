#include "ui/app/result_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "app/settlement.h"
#include "calc/amounts.h"
#include "compare/outcome.h"
#include "refdata/organisations.h"

namespace pit::ui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The organisation's name from the list the 1% picker offers, else its KRS.
QString OrganisationName(const std::string& krs) {
  for (const PublicBenefitOrganisation& o : OrganisationList())
    if (!o.Krs.empty() && o.Krs == krs) return Q(o.Name);
  return QStringLiteral("KRS ") + Q(krs);
}

QString PersonPartText(const char* who, const PersonPart& p) {
  return QString::fromUtf8(who) + QStringLiteral(": dochód ") + AmountText(p.income) +
         QStringLiteral(", zaliczki ") + AmountText(p.advances);
}

}  // namespace

QString AmountText(long long grosze) {
  return Q(FormatAmount(Amount::FromGrosze(grosze))) + QStringLiteral(" zł");
}

ResultBar::ResultBar(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("ResultBar"));
  setFrameShape(QFrame::StyledPanel);
  setStyleSheet(QStringLiteral(
      "#ResultBar { background: #f3f7ec; }"
      "#ResultBar QPushButton { border: none; padding: 0 2px; color: #1a3d7c; text-align: left; }"
      "#ResultBar QPushButton:hover { text-decoration: underline; }"));
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(8, 2, 8, 2);
  row->setSpacing(14);
  title_ = new QLabel(this);
  title_->setObjectName(QStringLiteral("WynikZeznania"));
  QFont bold = title_->font();
  bold.setBold(true);
  title_->setFont(bold);
  row->addWidget(title_);
  taxDue_ = Link("WynikPodatek");
  advances_ = Link("WynikZaliczki");
  balance_ = Link("WynikSaldo");
  balance_->setFont(bold);
  paidBack_ = Link("WynikZwrotUlgi");
  onePercent_ = Link("WynikJedenProcent");
  for (QPushButton* b : {taxDue_, advances_, balance_, paidBack_, onePercent_}) row->addWidget(b);
  row->addStretch(1);
  hide();
}

QPushButton* ResultBar::Link(const char* name) {
  auto* b = new QPushButton(this);
  b->setObjectName(QLatin1String(name));
  b->setFlat(true);
  b->setCursor(Qt::PointingHandCursor);
  b->setFocusPolicy(Qt::NoFocus);
  connect(b, &QPushButton::clicked, this, [this, b] {
    const int entry = b->property("entry").toInt(), field = b->property("field").toInt();
    if (entry > 0 && field >= 0) emit fieldRequested(entry, field);
  });
  return b;
}

void ResultBar::Point(QPushButton* b, const QString& text, int entry, int field) {
  b->setText(text);
  b->setProperty("entry", entry);
  b->setProperty("field", field);
  b->setVisible(field >= 0);
}

void ResultBar::ShowOutcome(const Settlement& s, int entry) {
  const std::optional<ReturnOutcome> o = s.IsOpen() ? OutcomeOf(s, entry) : std::nullopt;
  if (!o) {
    hide();
    return;
  }
  const QString code = Q(s.Catalogue()[o->idPit].Code);
  title_->setText(o->joint ? QStringLiteral("%1 (razem z małżonkiem):").arg(code) : code + QStringLiteral(":"));
  Point(taxDue_, QStringLiteral("Podatek należny: ") + AmountText(o->taxDue.grosze), o->entry, o->taxDue.field);
  if (o->advances)
    Point(advances_, QStringLiteral("Zaliczki: ") + AmountText(o->advances->grosze), o->entry, o->advances->field);
  else
    Point(advances_, QString(), 0, -1);
  // Neither above zero: nothing left to pay, shown as such.
  if (o->overpayment.grosze > 0)
    Point(balance_, QStringLiteral("Nadpłata: ") + AmountText(o->overpayment.grosze), o->entry, o->overpayment.field);
  else
    Point(balance_, QStringLiteral("Do zapłaty: ") + AmountText(o->toPay.grosze), o->entry, o->toPay.field);
  if (o->childReliefPaidBack)
    Point(paidBack_, QStringLiteral("Zwrot ulgi na dzieci (PIT/UZ): ") + AmountText(o->childReliefPaidBack->grosze),
          o->childReliefPaidBack->entry, o->childReliefPaidBack->field);
  else
    Point(paidBack_, QString(), 0, -1);
  if (o->onePercent)
    Point(onePercent_,
          QStringLiteral("1% dla %1: %2").arg(OrganisationName(o->krs), AmountText(o->onePercent->grosze)),
          o->entry, o->onePercent->field);
  else
    Point(onePercent_, QString(), 0, -1);

  QString parts;
  if (o->joint)
    parts = PersonPartText("Podatnik", o->taxpayer) + QLatin1Char('\n') + PersonPartText("Małżonek", o->spouse);
  for (QWidget* w : std::initializer_list<QWidget*>{this, title_, taxDue_, advances_, balance_})
    w->setToolTip(parts);
  show();
}

}  // namespace pit::ui
