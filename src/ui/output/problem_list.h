#pragma once
// The window of "Weryfikacja" when required fields are empty: the count, the
// lines of the check, and each line leads to its field. A double click or
// Enter on a line closes the window and opens the form, page and field.
#include <QDialog>
#include <QString>
#include <vector>

#include "output/validation.h"

class QLabel;
class QListWidget;

namespace pit::ui {

class ProblemList : public QDialog {
  Q_OBJECT

 public:
  ProblemList(const ValidationResult& result, QWidget* parent);

  QListWidget* List() const { return list_; }
  QLabel* Header() const { return header_; }
  // The place of the line chosen, when one was (after exec()).
  const ProblemPlace* Chosen() const { return chosen_ >= 0 ? &places_[static_cast<std::size_t>(chosen_)] : nullptr; }

 private:
  QLabel* header_ = nullptr;
  QListWidget* list_ = nullptr;
  std::vector<ProblemPlace> places_;
  int chosen_ = -1;
};

}  // namespace pit::ui
