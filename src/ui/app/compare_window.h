#pragma once
// "Porównaj sposoby rozliczenia": the table of the methods of taxation the
// persons could choose, each worked out on a copy of the settlement, the
// cheapest marked; "Zastosuj" asks for the method chosen in the table.
#include <QDialog>
#include <optional>

#include "compare/methods.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace pit::ui {

class TPorownanie : public QDialog {
  Q_OBJECT

 public:
  explicit TPorownanie(QWidget* parent = nullptr);

  // The table filled from a comparison; the cheapest row is chosen.
  void SetComparison(const MethodComparison& c);
  // The method of the row chosen, if it can be applied.
  std::optional<TaxMethod> Chosen() const;

  QTableWidget* Tabela = nullptr;
  QLabel* Opis = nullptr;
  QPushButton* Zastosuj = nullptr;
  QPushButton* Zamknij = nullptr;

 signals:
  void applyRequested(TaxMethod method);

 private:
  void UpdateButtons();

  MethodComparison comparison_;
};

}  // namespace pit::ui
