#pragma once
// The strip under the page bar with the outcome of the return whose form is
// shown: tax due, advances, what is left to pay or is overpaid, the child
// relief paid back and the 1% with its organisation. Each amount is a link
// to the field it comes from. Hidden for forms that end in no tax (payer
// and registration forms).
#include <QFrame>
#include <QString>

class QLabel;
class QPushButton;

namespace pit {
class Settlement;
}

namespace pit::ui {

class ResultBar : public QFrame {
  Q_OBJECT

 public:
  explicit ResultBar(QWidget* parent = nullptr);

  // The outcome of the return entry `entry` belongs to, as the forms hold
  // it now; hidden when there is none.
  void ShowOutcome(const Settlement& s, int entry);

  QLabel* Title() const { return title_; }
  QPushButton* TaxDue() const { return taxDue_; }
  QPushButton* Advances() const { return advances_; }
  QPushButton* Balance() const { return balance_; }      // "Do zapłaty" or "Nadpłata"
  QPushButton* PaidBack() const { return paidBack_; }    // PIT/UZ
  QPushButton* OnePercent() const { return onePercent_; }

 signals:
  // An amount was clicked: the field it comes from.
  void fieldRequested(int entry, int field);

 private:
  QPushButton* Link(const char* name);
  // Sets the link's text and where it leads; hidden when `field` < 0.
  void Point(QPushButton* b, const QString& text, int entry, int field);

  QLabel* title_ = nullptr;
  QPushButton* taxDue_ = nullptr;
  QPushButton* advances_ = nullptr;
  QPushButton* balance_ = nullptr;
  QPushButton* paidBack_ = nullptr;
  QPushButton* onePercent_ = nullptr;
};

// "21807,00 zł": an amount in grosze as the forms write it.
QString AmountText(long long grosze);

}  // namespace pit::ui
