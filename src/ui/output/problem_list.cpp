#include "ui/output/problem_list.h"

#include <QDialogButtonBox>
#include <algorithm>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/app/message_boxes.h"

namespace pit::ui {

ProblemList::ProblemList(const ValidationResult& result, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Weryfikacja"));
  setWindowTitle(QString::fromUtf8(kApplicationTitle));
  // The same text the check has always shown: the count, the limit line and
  // the numbered lines; the lines are now a list one can act on.
  const QString text = QString::fromStdString(ValidationMessage(result, false));
  const int firstLine = text.indexOf(QStringLiteral("   1. "));
  header_ = new QLabel(text.left(firstLine < 0 ? text.size() : firstLine).trimmed(), this);
  header_->setObjectName(QStringLiteral("Naglowek"));
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("Lista"));
  const int shown = std::min<int>(kShownProblemLines, static_cast<int>(result.lines.size()));
  for (int i = 0; i < shown; ++i) {
    list_->addItem(QStringLiteral("%1. %2").arg(i + 1).arg(QString::fromStdString(result.lines[static_cast<std::size_t>(i)])));
    places_.push_back(i < static_cast<int>(result.places.size()) ? result.places[static_cast<std::size_t>(i)]
                                                                  : ProblemPlace{});
  }
  if (shown > 0) list_->setCurrentRow(0);
  auto* hint = new QLabel(QStringLiteral("Kliknij dwukrotnie wiersz (lub naciśnij Enter), aby przejść do pola."), this);
  hint->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* go = buttons->addButton(QStringLiteral("Przejdź do pola"), QDialogButtonBox::AcceptRole);
  go->setObjectName(QStringLiteral("Przejdz"));
  QPushButton* close = buttons->addButton(QStringLiteral("Zamknij"), QDialogButtonBox::RejectRole);
  close->setObjectName(QStringLiteral("Zamknij"));
  go->setEnabled(shown > 0);
  // Enter in the list chooses the line; the default button would do the same.
  go->setDefault(true);

  auto* column = new QVBoxLayout(this);
  column->addWidget(header_);
  column->addWidget(list_, 1);
  column->addWidget(hint);
  column->addWidget(buttons);

  auto choose = [this] {
    const int row = list_->currentRow();
    if (row < 0 || row >= static_cast<int>(places_.size()) || places_[static_cast<std::size_t>(row)].entry <= 0) return;
    chosen_ = row;
    accept();
  };
  connect(list_, &QListWidget::itemActivated, this, choose);
  connect(go, &QPushButton::clicked, this, choose);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  // Wide enough for a field's label, never wider than a small screen.
  resize(620, 360);
}

}  // namespace pit::ui
