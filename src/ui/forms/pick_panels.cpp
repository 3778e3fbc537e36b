#include "ui/forms/pick_panels.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/forms/form_rules.h"

namespace pit::ui {
namespace {

constexpr int kPanelHeight = 260;
constexpr int kRowHeight = 18;

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

}  // namespace

PickPanel::PickPanel(int width, const QStringList& headers, QWidget* parent)
    : QFrame(parent),
      search_(new QLineEdit(this)),
      grid_(new QTableWidget(this)),
      choose_(new QPushButton(QStringLiteral("wybierz"), this)),
      cancel_(new QPushButton(QStringLiteral("anuluj"), this)) {
  setFrameShape(QFrame::Panel);
  setFrameShadow(QFrame::Raised);
  setAutoFillBackground(true);
  setFixedSize(width, kPanelHeight);
  auto* top = new QHBoxLayout;
  top->addWidget(search_, 1);
  top->addWidget(choose_);
  top->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);
  layout->addLayout(top);
  layout->addWidget(grid_, 1);

  grid_->setColumnCount(static_cast<int>(headers.size()));
  grid_->setHorizontalHeaderLabels(headers);
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setDefaultSectionSize(kRowHeight);
  grid_->horizontalHeader()->setStretchLastSection(true);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setTabKeyNavigation(false);

  search_->installEventFilter(this);
  grid_->installEventFilter(this);
  connect(search_, &QLineEdit::textChanged, this, [this](const QString& t) { OnSearchChanged(t); });
  connect(grid_, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
    selected_ = row < 0 ? 0 : row + 1;
  });
  connect(grid_, &QTableWidget::cellClicked, this, [this](int, int) { OnGridClick(); });
  connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int, int) { Choose(); });
  connect(choose_, &QPushButton::clicked, this, [this] { Choose(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { Abandon(); });
  hide();
}

void PickPanel::Fill(const std::vector<std::vector<std::string>>& rows) {
  cells_ = rows;
  rows_ = static_cast<int>(rows.size());
  grid_->setRowCount(rows_);
  for (int r = 0; r < rows_; ++r)
    for (int c = 0; c < grid_->columnCount() && c < static_cast<int>(rows[static_cast<std::size_t>(r)].size()); ++c)
      grid_->setItem(r, c, new QTableWidgetItem(Q(rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)])));
  for (int c = 0; c + 1 < grid_->columnCount(); ++c) grid_->resizeColumnToContents(c);
}

void PickPanel::SelectRow(int row) {
  if (row < 1 || row > rows_) {
    grid_->clearSelection();
    grid_->setCurrentCell(-1, -1);
    selected_ = 0;
    return;
  }
  grid_->setCurrentCell(row - 1, 0);
  grid_->selectRow(row - 1);
  selected_ = row;
}

QString PickPanel::SearchText() const { return search_->text(); }

int PickPanel::FindPrefix(int column, const std::string& text) const {
  for (int r = 0; r < rows_; ++r) {
    const auto& row = cells_[static_cast<std::size_t>(r)];
    if (static_cast<int>(row.size()) > column && BeginsWithUpper(row[static_cast<std::size_t>(column)], text))
      return r + 1;
  }
  return 0;
}

void PickPanel::PlaceAt(const QPoint& leftBottom) {
  int left = leftBottom.x();
  const int top = leftBottom.y() - height();
  if (parentWidget() != nullptr) left = std::min(left, parentWidget()->width() - width());
  // A field near the top of the page would push the list off the page.
  move(std::max(0, left), std::max(0, top));
}

void PickPanel::ShowAt(int left, int bottom) {
  PlaceAt(QPoint(left, bottom));
  show();
  raise();
  if (selected_ >= 1) grid_->scrollToItem(grid_->item(selected_ - 1, 0), QAbstractItemView::PositionAtTop);
  search_->setFocus();
  search_->selectAll();
}

void PickPanel::Choose(bool backward) {
  hide();
  emit chosen(backward);
}

void PickPanel::Abandon() {
  hide();
  emit cancelled();
}

bool PickPanel::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    const int key = k->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      Choose();
      return true;
    }
    // Tab and Shift+Tab choose as Enter does and go on to the next or the
    // previous field, as in every other editor of the form.
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
      Choose(key == Qt::Key_Backtab || (k->modifiers() & Qt::ShiftModifier));
      return true;
    }
    if (key == Qt::Key_Escape) {
      Abandon();
      return true;
    }
    if (watched == search_ && key == Qt::Key_Up) {
      if (selected_ >= 2) SelectRow(selected_ - 1);
      return true;
    }
    if (watched == search_ && key == Qt::Key_Down) {
      if (selected_ < rows_) SelectRow(selected_ + 1);
      return true;
    }
  } else if (e->type() == QEvent::MouseButtonRelease && watched == search_) {
    OnSearchClick();
  }
  return QFrame::eventFilter(watched, e);
}

// --- tax offices -------------------------------------------------------------

TaxOfficePanel::TaxOfficePanel(const TaxOfficeTable& offices, QWidget* parent)
    : PickPanel(700,
                {QStringLiteral("Kod"), QStringLiteral("Miasto"), QStringLiteral("Nazwa Urzędu Skarbowego")},
                parent),
      offices_(offices) {
  setObjectName(QStringLiteral("PListaUS"));
  search_->setObjectName(QStringLiteral("EFindUSMiasto"));
  grid_->setObjectName(QStringLiteral("SGUS"));
  choose_->setObjectName(QStringLiteral("SbWybierz"));
  cancel_->setObjectName(QStringLiteral("SBAnuluj"));
  FillFromTable();
}

std::string TaxOfficePanel::RowCode(int row) const {
  return row >= 1 && row <= rows_ ? cells_[static_cast<std::size_t>(row - 1)][0] : std::string();
}
std::string TaxOfficePanel::RowTown(int row) const {
  return row >= 1 && row <= rows_ ? cells_[static_cast<std::size_t>(row - 1)][1] : std::string();
}
std::string TaxOfficePanel::RowName(int row) const {
  return row >= 1 && row <= rows_ ? cells_[static_cast<std::size_t>(row - 1)][2] : std::string();
}

void TaxOfficePanel::FillFromTable() {
  std::vector<std::vector<std::string>> rows;
  for (const TaxOffice& o : OfficesByTown(offices_.Records())) rows.push_back({o.Code, o.Town, o.Name});
  Fill(rows);
}

void TaxOfficePanel::Open(const std::string& code, int left, int bottom) {
  // The dictionaries may be loaded after the form window was made.
  if (rows_ == 0) FillFromTable();
  const int row = code.empty() ? 0 : FindPrefix(0, code);
  SelectRow(row);
  {
    // The town shown is the chosen office's; searching it again could
    // select another office of the same town.
    const QSignalBlocker block(search_);
    search_->setText(row >= 1 ? Q(RowTown(row)) : QStringLiteral("wpisz nazwę miasta"));
  }
  ShowAt(left, bottom);
}

void TaxOfficePanel::OnSearchChanged(const QString& text) {
  if (text.isEmpty()) {
    SelectRow(rows_ >= 1 ? 1 : 0);
    return;
  }
  const int row = FindPrefix(1, text.toStdString());
  if (row >= 1) SelectRow(row);
}

void TaxOfficePanel::OnSearchClick() { search_->selectAll(); }

// --- countries -----------------------------------------------------------------

CountryPanel::CountryPanel(const CountryTable& countries, QWidget* parent)
    : PickPanel(433, {QStringLiteral("Kod"), QStringLiteral("Kraj")}, parent), countries_(countries) {
  setObjectName(QStringLiteral("PListaKR"));
  search_->setObjectName(QStringLiteral("EFindKRPanstwo"));
  grid_->setObjectName(QStringLiteral("SGKR"));
  choose_->setObjectName(QStringLiteral("SBKRWybierz"));
  cancel_->setObjectName(QStringLiteral("SBKRAnuluj"));
  FillFromTable();
}

void CountryPanel::FillFromTable() {
  std::vector<std::vector<std::string>> rows;
  for (const Country& c : CountriesByName(countries_.Records())) rows.push_back({c.Code, c.Name});
  Fill(rows);
}

std::string CountryPanel::RowName(int row) const {
  return row >= 1 && row <= rows_ ? cells_[static_cast<std::size_t>(row - 1)][1] : std::string();
}

void CountryPanel::Open(const std::string& value, bool required, int left, int bottom) {
  if (rows_ == 0) FillFromTable();
  const int row = value.empty() ? 0 : FindPrefix(1, value);
  if (row >= 1) {
    SelectRow(row);
    const QSignalBlocker block(search_);
    search_->setText(Q(RowName(row)));
  } else if (required) {
    search_->setText(QString());  // a search box already holding it would not search again
    search_->setText(QStringLiteral("POLSKA"));
  } else {
    SelectRow(FindPrefix(1, "POLSKA"));
    const QSignalBlocker block(search_);
    search_->clear();
  }
  ShowAt(left, bottom);
}

void CountryPanel::Cancel(const std::string& remembered) {
  const QSignalBlocker block(search_);
  search_->setText(Q(remembered));
}

void CountryPanel::OnSearchChanged(const QString& text) {
  searching_ = true;
  const int row = FindPrefix(1, text.toStdString());
  if (row >= 1) SelectRow(row);
  searching_ = false;
}

void CountryPanel::OnGridClick() {
  if (searching_ || selected_ < 1) return;
  search_->setText(Q(RowName(selected_)));
}

}  // namespace pit::ui
