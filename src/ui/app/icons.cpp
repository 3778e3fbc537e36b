#include "ui/app/icons.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace pit::ui {

namespace {

const QColor kInk(40, 40, 60);

QPixmap Blank(int w, int h) {
  QPixmap p(w, h);
  p.fill(Qt::transparent);
  return p;
}

// A sheet of paper with a folded corner inside `r`.
void DrawSheet(QPainter& g, const QRectF& r, const QColor& fill) {
  const qreal fold = r.width() * 0.35;
  QPolygonF sheet;
  sheet << r.topLeft() << QPointF(r.right() - fold, r.top()) << QPointF(r.right(), r.top() + fold)
        << r.bottomRight() << r.bottomLeft();
  g.setPen(QPen(kInk, 1));
  g.setBrush(fill);
  g.drawPolygon(sheet);
  g.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
  g.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void DrawPerson(QPainter& g, const QRectF& r, const QColor& c) {
  g.setPen(QPen(c.darker(150), 1));
  g.setBrush(c);
  const qreal head = r.width() * 0.45;
  g.drawEllipse(QRectF(r.center().x() - head / 2, r.top(), head, head));
  QPainterPath body;
  body.moveTo(r.left(), r.bottom());
  body.quadTo(r.left(), r.top() + head * 1.1, r.center().x(), r.top() + head * 1.1);
  body.quadTo(r.right(), r.top() + head * 1.1, r.right(), r.bottom());
  body.closeSubpath();
  g.drawPath(body);
}

void DrawArrow(QPainter& g, QPointF from, QPointF to, const QColor& c, qreal width) {
  g.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  g.drawLine(from, to);
  const QLineF l(to, from);
  QLineF a = l;
  a.setLength(width * 2.2);
  a.setAngle(l.angle() + 35);
  QLineF b = l;
  b.setLength(width * 2.2);
  b.setAngle(l.angle() - 35);
  g.drawLine(a);
  g.drawLine(b);
}

void DrawSymbol(QPainter& g, ToolIcon which, const QRectF& r) {
  g.setRenderHint(QPainter::Antialiasing);
  const qreal w = r.width(), h = r.height();
  const QPointF o = r.topLeft();
  auto at = [&](qreal x, qreal y) { return QPointF(o.x() + x * w, o.y() + y * h); };
  auto box = [&](qreal x, qreal y, qreal bw, qreal bh) { return QRectF(at(x, y), QSizeF(bw * w, bh * h)); };
  switch (which) {
    case ToolIcon::New:
      DrawSheet(g, box(0.18, 0.08, 0.6, 0.84), Qt::white);
      g.setPen(QPen(QColor(0, 140, 0), w * 0.1));
      g.drawLine(at(0.62, 0.62), at(0.92, 0.62));
      g.drawLine(at(0.77, 0.47), at(0.77, 0.77));
      break;
    case ToolIcon::Open: {
      g.setPen(QPen(QColor(150, 110, 20), 1));
      g.setBrush(QColor(240, 200, 90));
      g.drawRect(box(0.06, 0.28, 0.8, 0.6));
      QPolygonF flap;
      flap << at(0.18, 0.45) << at(0.98, 0.45) << at(0.86, 0.88) << at(0.06, 0.88);
      g.setBrush(QColor(252, 222, 130));
      g.drawPolygon(flap);
      break;
    }
    case ToolIcon::Save:
      g.setPen(QPen(kInk, 1));
      g.setBrush(QColor(60, 90, 170));
      g.drawRoundedRect(box(0.1, 0.1, 0.8, 0.8), 2, 2);
      g.setBrush(Qt::white);
      g.drawRect(box(0.25, 0.1, 0.5, 0.32));
      g.setBrush(QColor(200, 200, 210));
      g.drawRect(box(0.28, 0.58, 0.44, 0.32));
      break;
    case ToolIcon::Print:
      g.setPen(QPen(kInk, 1));
      g.setBrush(Qt::white);
      g.drawRect(box(0.28, 0.08, 0.44, 0.34));
      g.setBrush(QColor(150, 150, 160));
      g.drawRoundedRect(box(0.08, 0.38, 0.84, 0.34), 2, 2);
      g.setBrush(Qt::white);
      g.drawRect(box(0.28, 0.62, 0.44, 0.3));
      break;
    case ToolIcon::Import:
      DrawSheet(g, box(0.38, 0.08, 0.54, 0.84), Qt::white);
      DrawPerson(g, box(0.5, 0.42, 0.3, 0.4), QColor(70, 110, 200));
      DrawArrow(g, at(0.04, 0.3), at(0.42, 0.3), QColor(0, 140, 0), w * 0.09);
      break;
    case ToolIcon::Check:
      DrawSheet(g, box(0.14, 0.08, 0.62, 0.84), Qt::white);
      g.setPen(QPen(QColor(0, 150, 0), w * 0.12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      g.drawPolyline(QPolygonF() << at(0.32, 0.55) << at(0.48, 0.72) << at(0.9, 0.3));
      break;
    case ToolIcon::Send:
      g.setPen(QPen(kInk, 1));
      g.setBrush(QColor(255, 250, 220));
      g.drawRect(box(0.06, 0.26, 0.62, 0.5));
      g.drawPolyline(QPolygonF() << at(0.06, 0.26) << at(0.37, 0.52) << at(0.68, 0.26));
      DrawArrow(g, at(0.5, 0.82), at(0.95, 0.82), QColor(200, 40, 40), w * 0.09);
      break;
    case ToolIcon::OpenVeltra: {
      g.setPen(QPen(kInk, 1));
      g.setBrush(QColor(30, 110, 170));
      g.drawRoundedRect(box(0.08, 0.08, 0.84, 0.84), 3, 3);
      QFont f;
      f.setBold(true);
      f.setPixelSize(static_cast<int>(h * 0.7));
      g.setFont(f);
      g.setPen(Qt::white);
      g.drawText(r, Qt::AlignCenter, QStringLiteral("V"));
      break;
    }
    case ToolIcon::Help: {
      g.setPen(QPen(QColor(20, 70, 160), 1));
      g.setBrush(QColor(60, 120, 220));
      g.drawEllipse(box(0.08, 0.08, 0.84, 0.84));
      QFont f;
      f.setBold(true);
      f.setPixelSize(static_cast<int>(h * 0.66));
      g.setFont(f);
      g.setPen(Qt::white);
      g.drawText(r, Qt::AlignCenter, QStringLiteral("?"));
      break;
    }
    case ToolIcon::Calculator:
      g.setPen(QPen(kInk, 1));
      g.setBrush(QColor(90, 90, 100));
      g.drawRoundedRect(box(0.18, 0.06, 0.64, 0.88), 2, 2);
      g.setBrush(QColor(190, 230, 190));
      g.drawRect(box(0.28, 0.14, 0.44, 0.2));
      g.setBrush(QColor(235, 235, 235));
      g.setPen(Qt::NoPen);
      for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) g.drawRect(box(0.27 + col * 0.16, 0.44 + row * 0.16, 0.11, 0.11));
      }
      break;
    case ToolIcon::Update: {
      g.setPen(QPen(QColor(0, 120, 60), w * 0.1, Qt::SolidLine, Qt::RoundCap));
      g.setBrush(Qt::NoBrush);
      const QRectF ring = box(0.16, 0.16, 0.68, 0.68);
      g.drawArc(ring, 30 * 16, 150 * 16);
      g.drawArc(ring, 210 * 16, 150 * 16);
      DrawArrow(g, at(0.2, 0.38), at(0.16, 0.5), QColor(0, 120, 60), w * 0.1);
      DrawArrow(g, at(0.8, 0.62), at(0.84, 0.5), QColor(0, 120, 60), w * 0.1);
      break;
    }
    case ToolIcon::First:
    case ToolIcon::Previous:
    case ToolIcon::Next:
    case ToolIcon::Last: {
      const bool left = which == ToolIcon::First || which == ToolIcon::Previous;
      const bool bar = which == ToolIcon::First || which == ToolIcon::Last;
      g.setPen(Qt::NoPen);
      g.setBrush(QColor(30, 80, 160));
      QPolygonF tri;
      if (left) {
        tri << at(0.78, 0.18) << at(0.78, 0.82) << at(0.3, 0.5);
      } else {
        tri << at(0.22, 0.18) << at(0.22, 0.82) << at(0.7, 0.5);
      }
      g.drawPolygon(tri);
      if (bar) g.drawRect(left ? box(0.16, 0.18, 0.12, 0.64) : box(0.72, 0.18, 0.12, 0.64));
      break;
    }
  }
}

}  // namespace

QPixmap FormIconPicture(int index) {
  const int personCode = index % 3;
  const bool selected = index >= 3;
  QPixmap pm = Blank(16, 16);
  QPainter g(&pm);
  g.setRenderHint(QPainter::Antialiasing);
  DrawSheet(g, QRectF(2.5, 0.5, 10, 14), selected ? QColor(255, 200, 80) : Qt::white);
  if (personCode == 0) {
    g.setPen(QPen(QColor(120, 120, 140), 1));
    for (int y = 5; y <= 12; y += 3) g.drawLine(QPointF(4.5, y + 0.5), QPointF(10.5, y + 0.5));
  } else {
    DrawPerson(g, QRectF(6, 6, 9.5, 9.5), personCode == 1 ? QColor(50, 100, 220) : QColor(210, 60, 140));
  }
  return pm;
}

QIcon FormIcon(int personCode) {
  if (personCode < 0 || personCode > 2) personCode = 0;
  QIcon icon;
  icon.addPixmap(FormIconPicture(personCode), QIcon::Normal);
  icon.addPixmap(FormIconPicture(personCode + 3), QIcon::Selected);
  return icon;
}

QIcon ToolBarIcon(ToolIcon which) {
  QIcon icon;
  for (int size : {16, 24, 32}) {
    QPixmap pm = Blank(size, size);
    QPainter g(&pm);
    DrawSymbol(g, which, QRectF(0, 0, size, size));
    g.end();
    icon.addPixmap(pm);
  }
  return icon;
}

QPixmap WelcomeFace(const QString& caption, ToolIcon symbol, bool highlighted) {
  const int w = 330, h = 64;
  QPixmap pm = Blank(w, h);
  QPainter g(&pm);
  g.setRenderHint(QPainter::Antialiasing);
  QLinearGradient grad(0, 0, 0, h);
  grad.setColorAt(0, highlighted ? QColor(255, 244, 200) : QColor(250, 250, 252));
  grad.setColorAt(1, highlighted ? QColor(250, 214, 120) : QColor(214, 222, 236));
  g.setPen(QPen(highlighted ? QColor(200, 140, 20) : QColor(130, 140, 165), highlighted ? 2 : 1));
  g.setBrush(grad);
  g.drawRoundedRect(QRectF(1.5, 1.5, w - 3, h - 3), 8, 8);
  DrawSymbol(g, symbol, QRectF(14, 12, 40, 40));
  QFont f(QStringLiteral("Tahoma"));
  f.setPixelSize(17);
  f.setBold(true);
  g.setFont(f);
  g.setPen(QColor(30, 40, 80));
  g.drawText(QRectF(66, 0, w - 76, h), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap, caption);
  return pm;
}

}  // namespace pit::ui
