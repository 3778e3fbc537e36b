#pragma once
// The two list panels of the form window: tax offices (`PListaUS`) and
// countries (`PListaKR`). Each holds a grid with the whole dictionary,
// sorted once when the window is made, a search box that selects the first
// row beginning with the typed text, and the buttons "wybierz" / "anuluj".
// Rows are numbered as the grid counts them: row 1 is the first office or
// country (row 0 is the header), 0 means no row selected.
#include <QFrame>
#include <string>
#include <vector>

#include "refdata/dictionaries.h"

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace pit::ui {

class PickPanel : public QFrame {
  Q_OBJECT
 public:
  int SelectedRow() const { return selected_; }
  int RowCount() const { return rows_; }
  void SelectRow(int row);  // 0 clears the selection
  QString SearchText() const;
  QLineEdit* SearchBox() const { return search_; }
  QTableWidget* Grid() const { return grid_; }
  QPushButton* ChooseButton() const { return choose_; }
  QPushButton* CancelButton() const { return cancel_; }
  // Places the panel with its bottom edge at `bottom` (clamped so that it
  // stays on the page), shows it and focuses the search box.
  void ShowAt(int left, int bottom);
  // Moves the panel as ShowAt places it (the page was zoomed under it).
  void PlaceAt(const QPoint& leftBottom);

 signals:
  // "wybierz" (backward: Shift+Tab); the panel is hidden first.
  void chosen(bool backward);
  // "anuluj" or Esc: hidden, nothing chosen.
  void cancelled();

 protected:
  PickPanel(int width, const QStringList& headers, QWidget* parent);
  void Fill(const std::vector<std::vector<std::string>>& rows);
  // First row whose cell in `column` begins with the search text.
  int FindPrefix(int column, const std::string& text) const;
  bool eventFilter(QObject* watched, QEvent* e) override;
  virtual void OnSearchChanged(const QString& text) = 0;
  virtual void OnGridClick() {}
  virtual void OnSearchClick() {}
  void Choose(bool backward = false);  // "wybierz"; backward: Shift+Tab
  void Abandon();  // "anuluj" and Esc: hidden, nothing committed

  QLineEdit* search_;
  QTableWidget* grid_;
  QPushButton* choose_;
  QPushButton* cancel_;
  int rows_ = 0;
  int selected_ = 0;
  std::vector<std::vector<std::string>> cells_;
};

class TaxOfficePanel : public PickPanel {
  Q_OBJECT
 public:
  TaxOfficePanel(const TaxOfficeTable& offices, QWidget* parent);
  // Opening for a field whose slot holds `code`.
  void Open(const std::string& code, int left, int bottom);
  std::string RowCode(int row) const;
  std::string RowName(int row) const;
  std::string RowTown(int row) const;

 protected:
  void OnSearchChanged(const QString& text) override;
  void OnSearchClick() override;

 private:
  void FillFromTable();
  const TaxOfficeTable& offices_;
};

class CountryPanel : public PickPanel {
  Q_OBJECT
 public:
  CountryPanel(const CountryTable& countries, QWidget* parent);
  // Opening for a field whose slot holds `value`; `required` is the field's MustBe.
  void Open(const std::string& value, bool required, int left, int bottom);
  std::string RowName(int row) const;
  // "anuluj": the value remembered when the panel opened goes back into the
  // search box.
  void Cancel(const std::string& remembered);

 protected:
  void OnSearchChanged(const QString& text) override;
  void OnGridClick() override;

 private:
  void FillFromTable();
  const CountryTable& countries_;
  bool searching_ = false;
};

}  // namespace pit::ui
