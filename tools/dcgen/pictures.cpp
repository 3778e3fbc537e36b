#include "pictures.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>

#include "emf/emf_player.h"
#include "emf/emf_writer.h"
#include "forms/definition_files.h"

namespace dcgen {

namespace {
pit::emf::Color ToEmf(Rgb8 c) { return pit::emf::Color{c.r, c.g, c.b}; }

pit::emf::Font FontOf(double em, bool bold) {
  pit::emf::Font f;
  f.emPx = em;
  f.bold = bold;
  return f;
}
}  // namespace

double EmfMeasurer::Width(const std::string& utf8, double em, bool bold) {
  double w = 0;
  for (double a : m_.Advances(FontOf(em, bold), pit::emf::Utf8ToUtf16(utf8))) w += a;
  return w;
}

std::vector<std::uint8_t> PagePicture(const Page& page, bool coloured, pit::emf::TextMeasurer& m) {
  pit::emf::PageWriter w(m);
  for (const Prim& p : page.prims) {
    if (p.background && !coloured) continue;
    switch (p.kind) {
      case Prim::kFill:
        w.FillRect(p.x0, p.y0, p.x1, p.y1, ToEmf(p.color));
        break;
      case Prim::kFrame:
        w.FrameRect(p.x0, p.y0, p.x1, p.y1, ToEmf(p.color), p.pen);
        break;
      case Prim::kLine:
        w.Line(p.x0, p.y0, p.x1, p.y1, ToEmf(p.color), p.pen);
        break;
      case Prim::kText: {
        auto a = p.align == 1 ? pit::emf::HAlign::Center
                 : p.align == 2 ? pit::emf::HAlign::Right
                                : pit::emf::HAlign::Left;
        w.Text(p.x0, p.y0, p.text, FontOf(p.em, p.bold), ToEmf(p.color), a);
        break;
      }
    }
  }
  return w.Finish();
}

int Preview(const std::string& dcDir, int idPit, int page, const std::string& png,
            const std::string& crop) {
  std::ifstream in(pit::DcgPath(dcDir, idPit, page), std::ios::binary);
  if (!in) {
    std::cerr << "brak pliku " << pit::DcgPath(dcDir, idPit, page) << "\n";
    return 1;
  }
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  QImage img = pit::emf::RenderEmf(bytes, 800);
  if (img.isNull()) {
    std::cerr << "nieprawidłowy obraz strony\n";
    return 1;
  }
  img = img.convertToFormat(QImage::Format_RGB32);
  auto fields = pit::LoadFieldObjects(pit::DcsPath(dcDir, idPit));
  if (fields) {
    QPainter p(&img);
    QFont f("Liberation Sans");
    f.setPixelSize(7);
    p.setFont(f);
    for (std::size_t k = 0; k < fields->size(); ++k) {
      const pit::FieldObject& o = (*fields)[k];
      if (o.Page != page) continue;
      QColor c = o.Typ == pit::kKreska ? QColor(0, 120, 255)
                 : o.MustBe           ? QColor(230, 0, 0)
                                      : QColor(0, 150, 60);
      p.setPen(QPen(c, 1));
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRect(o.Left, o.Top, o.Right - o.Left, o.Bottom - o.Top));
      p.setPen(QColor(200, 0, 160));
      p.drawText(QPointF(o.Right - 14, o.Bottom - 2), QString::number(k));
    }
  }
  int x0, y0, x1, y1;
  if (!crop.empty() && std::sscanf(crop.c_str(), "%d,%d,%d,%d", &x0, &y0, &x1, &y1) == 4 &&
      x1 > x0 && y1 > y0) {
    img = img.copy(x0, y0, x1 - x0, y1 - y0).scaledToWidth((x1 - x0) * 3, Qt::SmoothTransformation);
  }
  if (!img.save(QString::fromStdString(png))) {
    std::cerr << "nie można zapisać " << png << "\n";
    return 1;
  }
  return 0;
}

}  // namespace dcgen
