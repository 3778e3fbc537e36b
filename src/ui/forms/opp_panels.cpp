#include "ui/forms/opp_panels.h"

#include <algorithm>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollArea>
#include <QCursor>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "refdata/organisations.h"

namespace pit::ui {
namespace {

constexpr int kPickerWidth = 470;
constexpr int kWidestList = 740;  // within the page, from the KRS field's left edge
constexpr int kRowHeight = 22;
constexpr int kRowPitch = kRowHeight + 1;  // the grid line below each row
constexpr int kStripHeight = 23;
constexpr int kOpenHeight = kRowPitch * static_cast<int>(kOrganisationRowsShown) + 5;  // 281
constexpr int kClosedHeight = kStripHeight;
constexpr int kLastRow = static_cast<int>(kOrganisationCount) - 1;

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

}  // namespace

// --- PListaOPP ---------------------------------------------------------------------

OrganisationPicker::OrganisationPicker(QWidget* parent)
    : QFrame(parent),
      POOPFind(new QFrame(this)),
      EKRSFind(new QLineEdit(POOPFind)),
      IDropDown(new QLabel(POOPFind)),
      SGOPP(new QTableWidget(this)) {
  setObjectName(QStringLiteral("PListaOPP"));
  POOPFind->setObjectName(QStringLiteral("POOPFind"));
  EKRSFind->setObjectName(QStringLiteral("EKRSFind"));
  IDropDown->setObjectName(QStringLiteral("IDropDown"));
  SGOPP->setObjectName(QStringLiteral("SGOPP"));
  setFixedWidth(kPickerWidth);
  setAutoFillBackground(true);

  // The list lies under the strip: its row 0 ("no row chosen") is always
  // covered by the strip.
  SGOPP->setGeometry(0, 0, kPickerWidth, kClosedHeight);
  SGOPP->setColumnCount(1);
  SGOPP->horizontalHeader()->hide();
  SGOPP->horizontalHeader()->setStretchLastSection(true);
  SGOPP->verticalHeader()->hide();
  SGOPP->verticalHeader()->setDefaultSectionSize(kRowPitch);
  SGOPP->setFrameShape(QFrame::NoFrame);
  SGOPP->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  SGOPP->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  SGOPP->setEditTriggers(QAbstractItemView::NoEditTriggers);
  SGOPP->setSelectionBehavior(QAbstractItemView::SelectRows);
  SGOPP->setSelectionMode(QAbstractItemView::SingleSelection);
  SGOPP->setMouseTracking(true);
  SGOPP->viewport()->setMouseTracking(true);
  SGOPP->setToolTip(QStringLiteral("kliknij, aby wybrać KRS wybranej fundacji "));
  const std::vector<std::string> rows = OrganisationGridRows();
  SGOPP->setRowCount(static_cast<int>(rows.size()));
  int widest = 0;
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const QString text = Q(rows[static_cast<std::size_t>(r)]);
    SGOPP->setItem(r, 0, new QTableWidgetItem(text));
    widest = std::max(widest, SGOPP->fontMetrics().horizontalAdvance(text));
  }
  // The open list is as wide as its longest name, so no organisation is cut
  // short; the strip keeps the field's width.
  openWidth_ = std::clamp(widest + 16, kPickerWidth, kWidestList);

  POOPFind->setGeometry(0, 0, kPickerWidth, kStripHeight);
  POOPFind->setAutoFillBackground(true);
  auto* strip = new QHBoxLayout(POOPFind);
  strip->setContentsMargins(1, 1, 1, 1);
  strip->setSpacing(1);
  strip->addWidget(EKRSFind, 1);
  strip->addWidget(IDropDown);
  EKRSFind->setMaxLength(10);
  EKRSFind->setToolTip(QStringLiteral(
      "samodzielnie wpisz KRS dowolnej OPP, lub kliknij  w przycisk po prawej stronie, aby  wyświetlić listę OPP"));
  IDropDown->setText(QStringLiteral("\u25BC"));
  IDropDown->setFixedWidth(kStripHeight);
  IDropDown->setAlignment(Qt::AlignCenter);
  IDropDown->setFrameShape(QFrame::Panel);
  IDropDown->setFrameShadow(QFrame::Raised);
  IDropDown->setCursor(Qt::PointingHandCursor);
  IDropDown->setToolTip(QStringLiteral("kliknij, aby otworzyć z listę proponowanych OPP"));
  POOPFind->raise();

  EKRSFind->installEventFilter(this);
  IDropDown->installEventFilter(this);
  SGOPP->installEventFilter(this);
  SGOPP->viewport()->installEventFilter(this);
  SetListOpen(false);
  hide();
}

void OrganisationPicker::SetListOpen(bool open) {
  open_ = open;
  const int h = open ? kOpenHeight : kClosedHeight;
  setFixedHeight(h);
  // The open list stays on the page, whatever its names need.
  const int room = parentWidget() != nullptr ? parentWidget()->width() - x() : openWidth_;
  setFixedWidth(open ? std::max(kPickerWidth, std::min(openWidth_, room)) : kPickerWidth);
  SGOPP->setFixedWidth(width());
  // A KRS field low on the page would leave the open list hanging below the
  // page, out of reach: the list then opens above the strip. The strip itself
  // never leaves its field, so what the user types stays where it belongs
  // and the rows below the field stay in sight.
  above_ = open && parentWidget() != nullptr && anchorY_ + h > parentWidget()->height();
  const int stripTop = above_ ? h - kStripHeight : 0;
  SGOPP->setFixedHeight(above_ ? h - kStripHeight : h);
  SGOPP->move(0, 0);
  // Row 0 ("no row chosen") lies under the strip when the list hangs below.
  SGOPP->setRowHidden(0, above_);
  POOPFind->move(0, stripTop);
  POOPFind->raise();
  move(x(), std::max(0, anchorY_ - stripTop));
  if (open) {
    for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget()) {
      if (auto* area = qobject_cast<QScrollArea*>(w)) {
        area->ensureWidgetVisible(this, 0, 0);
        break;
      }
    }
  }
}

void OrganisationPicker::SetCurrentRow(int row) {
  row_ = std::clamp(row, 0, kLastRow);
  SGOPP->setCurrentCell(row_, 0);
}

QString OrganisationPicker::KrsText() const { return EKRSFind->text(); }

int OrganisationPicker::RowAt(const QPoint& pos) const {
  const int r = SGOPP->rowAt(pos.y());
  return r >= 1 && r <= kLastRow ? r : 0;
}

void OrganisationPicker::Open(const std::string& value, int x, int y) {
  int entry = 0;
  const auto& list = OrganisationList();
  for (int i = 2; i < static_cast<int>(list.size()); ++i)
    if (!value.empty() && list[static_cast<std::size_t>(i)].Krs == value) {
      entry = i;
      break;
    }
  move(x, y);
  anchorY_ = y;
  lastPointer_ = QCursor::pos();
  SetListOpen(entry >= 2);
  SetCurrentRow(entry);
  show();
  raise();
  EKRSFind->setText(Q(value));
  EKRSFind->setFocus();
  EKRSFind->selectAll();
}

void OrganisationPicker::MoveTo(const QPoint& at) {
  move(at);
  anchorY_ = at.y();
  SetListOpen(open_);
}

void OrganisationPicker::Dismiss() {
  SetListOpen(false);
  hide();
}

void OrganisationPicker::PutRowKrs(int row) {
  if (row < 2 || row > kLastRow) return;  // the own-entry row and row 0 carry no KRS
  EKRSFind->setText(Q(OrganisationList()[static_cast<std::size_t>(row)].Krs));
}

void OrganisationPicker::Commit(bool backward) {
  if (!isVisible()) return;
  if (row_ == kOwnEntryRow) {
    if (open_) {
      EKRSFind->setFocus();
      EKRSFind->selectAll();
      SetListOpen(false);
    }
    return;
  }
  SetListOpen(false);
  hide();
  emit committed(backward);
}

void OrganisationPicker::EKRSFindKeyDown(QKeyEvent* e) {
  const int key = e->key();
  if (key == Qt::Key_Up || key == Qt::Key_Down) {
    SetListOpen(true);
  } else if (IsEnter(key) || key == Qt::Key_Tab || key == Qt::Key_Backtab) {
    if (open_ && row_ >= 2) PutRowKrs(row_);
  } else if (key != Qt::Key_Escape && key != Qt::Key_Shift) {
    SetCurrentRow(0);
  }
}

void OrganisationPicker::EKRSFindKeyUp(QKeyEvent* e) {
  const int key = e->key();
  if (IsEnter(key) || key == Qt::Key_Tab) {
    Commit();
  } else if (key == Qt::Key_Backtab) {
    Commit(true);  // Shift+Tab: the same commit, then back to the field before
  } else if (key == Qt::Key_Escape) {
    Dismiss();
    emit cancelled();
  } else if (key == Qt::Key_Up) {
    SetCurrentRow(row_ - 1);
    EKRSFind->selectAll();
  } else if (key == Qt::Key_Down) {
    SetCurrentRow(row_ + 1);
    EKRSFind->selectAll();
  } else if (EKRSFind->text().size() == 1) {
    SetListOpen(true);
  }
}

void OrganisationPicker::EKRSFindDblClick() { ToggleList(); }
void OrganisationPicker::IDropDownClick() { ToggleList(); }
void OrganisationPicker::SGOPPMouseMove(const QPoint& pos) { SetCurrentRow(RowAt(pos)); }
void OrganisationPicker::SGOPPMouseDown() { PutRowKrs(row_); }
void OrganisationPicker::SGOPPMouseUp() { Commit(); }
void OrganisationPicker::SGOPPDblClick() { Commit(); }

void OrganisationPicker::SGOPPKeyUp(QKeyEvent* e) {
  if (IsEnter(e->key())) {
    PutRowKrs(row_);
    Commit();
  } else if (e->key() == Qt::Key_Escape) {
    Dismiss();
    emit cancelled();
  }
}

bool OrganisationPicker::eventFilter(QObject* watched, QEvent* e) {
  const QEvent::Type t = e->type();
  if (watched == EKRSFind) {
    if (t == QEvent::KeyPress) {
      auto* k = static_cast<QKeyEvent*>(e);
      EKRSFindKeyDown(k);
      // Enter, Tab, Esc and the arrows are the picker's, not the edit's.
      const int key = k->key();
      if (IsEnter(key) || key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Escape ||
          key == Qt::Key_Up || key == Qt::Key_Down)
        return true;
    } else if (t == QEvent::KeyRelease) {
      EKRSFindKeyUp(static_cast<QKeyEvent*>(e));
      return true;
    } else if (t == QEvent::MouseButtonDblClick) {
      EKRSFindDblClick();
      return true;
    }
  } else if (watched == IDropDown) {
    if (t == QEvent::MouseButtonRelease) {
      IDropDownClick();
      return true;
    }
  } else if (watched == SGOPP) {
    if (t == QEvent::KeyRelease) {
      SGOPPKeyUp(static_cast<QKeyEvent*>(e));
      return true;
    }
    if (t == QEvent::KeyPress) {
      auto* k = static_cast<QKeyEvent*>(e);
      if (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down) {
        SetCurrentRow(row_ + (k->key() == Qt::Key_Up ? -1 : 1));
        return true;
      }
      return IsEnter(k->key()) || k->key() == Qt::Key_Escape;
    }
  } else if (watched == SGOPP->viewport()) {
    auto* m = static_cast<QMouseEvent*>(e);
    switch (t) {
      case QEvent::MouseMove:
        // Opening the list scrolls the page under a pointer that stays
        // where it was; only a pointer that really moved picks a row.
        if (m->globalPosition() == lastPointer_) return true;
        lastPointer_ = m->globalPosition();
        SGOPPMouseMove(m->position().toPoint());
        return true;
      case QEvent::MouseButtonPress:
        SGOPPMouseMove(m->position().toPoint());
        SGOPPMouseDown();
        return true;
      case QEvent::MouseButtonRelease:
        SGOPPMouseUp();
        return true;
      case QEvent::MouseButtonDblClick:
        SGOPPDblClick();
        return true;
      default:
        break;
    }
  }
  return QFrame::eventFilter(watched, e);
}

// --- POPP ------------------------------------------------------------------------------

DonationPanel::DonationPanel(QWidget* parent)
    : QFrame(parent),
      KwotaDarowizny(new QLabel(QStringLiteral("0,00"), this)),
      SBTAK(new QPushButton(QStringLiteral("TAK, chcę"), this)),
      SBNIE(new QPushButton(QStringLiteral("NIE, tylko część"), this)) {
  setObjectName(QStringLiteral("POPP"));
  KwotaDarowizny->setObjectName(QStringLiteral("KwotaDarowizny"));
  SBTAK->setObjectName(QStringLiteral("SBTAK"));
  SBNIE->setObjectName(QStringLiteral("SBNIE"));
  setFrameShape(QFrame::Panel);
  setFrameShadow(QFrame::Raised);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0xE1));
  setPalette(pal);

  auto* badge = new QLabel(QStringLiteral("1%"), this);
  QFont bf = badge->font();
  bf.setBold(true);
  bf.setPixelSize(28);
  badge->setFont(bf);
  badge->setAlignment(Qt::AlignCenter);
  QPalette bp = badge->palette();
  bp.setColor(QPalette::WindowText, QColor(0xC0, 0x00, 0x00));
  badge->setPalette(bp);
  QFont af = KwotaDarowizny->font();
  af.setBold(true);
  KwotaDarowizny->setFont(af);
  KwotaDarowizny->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  auto* amountRow = new QHBoxLayout;
  amountRow->addWidget(KwotaDarowizny);
  amountRow->addWidget(new QLabel(QStringLiteral("zł"), this));
  amountRow->addStretch(1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(SBTAK);
  buttons->addWidget(SBNIE);
  buttons->addStretch(1);
  auto* text = new QVBoxLayout;
  text->setSpacing(4);
  text->addWidget(new QLabel(QStringLiteral("Kwota 1% podatku możliwa do przekazania OPP wynosi:"), this));
  text->addLayout(amountRow);
  text->addWidget(new QLabel(QStringLiteral("Czy chcesz przekazać ją w całości?"), this));
  text->addLayout(buttons);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(10, 8, 10, 8);
  layout->setSpacing(12);
  layout->addWidget(badge);
  layout->addLayout(text, 1);
  ensurePolished();
  setFixedSize(layout->sizeHint().expandedTo(QSize(420, 110)));

  connect(SBTAK, &QPushButton::clicked, this, [this] { SBTAKClick(); });
  connect(SBNIE, &QPushButton::clicked, this, [this] { SBNIEClick(); });
  hide();
}

void DonationPanel::SBTAKClick() { emit accepted(); }

void DonationPanel::SBNIEClick() { emit declined(); }

}  // namespace pit::ui
