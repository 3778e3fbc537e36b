#include "emf/qt_text_measurer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QRawFont>
#include <QString>

namespace pit::emf {

QtTextMeasurer::QtTextMeasurer() = default;
QtTextMeasurer::~QtTextMeasurer() = default;

std::vector<double> QtTextMeasurer::Advances(const Font& f, const std::u16string& text) {
  std::vector<double> out(text.size(), 0.0);
  if (text.empty()) return out;
  const QString s = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));

  auto& slot = fonts_[Key{f.family, f.bold, f.italic}];
  if (!slot) {
    QFont font(QString::fromStdString(f.family));
    font.setBold(f.bold);
    font.setItalic(f.italic);
    // Unhinted design metrics: the same advances at every size and on every machine.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setPixelSize(100);
    slot = std::make_unique<QRawFont>(QRawFont::fromFont(font));
    if (slot->isValid()) slot->setPixelSize(slot->unitsPerEm());
  }
  const QRawFont& raw = *slot;

  if (raw.isValid()) {
    const double scale = f.emPx / raw.pixelSize();
    QList<quint32> glyphs(s.size());
    int n = static_cast<int>(glyphs.size());
    if (raw.glyphIndexesForChars(s.constData(), static_cast<int>(s.size()), glyphs.data(), &n)) {
      QList<QPointF> adv(n);
      raw.advancesForGlyphIndexes(glyphs.constData(), adv.data(), n, QRawFont::UseDesignMetrics);
      // One glyph per code point: its advance goes on the code point's first unit.
      int g = 0;
      for (std::size_t i = 0; i < text.size() && g < n; ++i, ++g) {
        out[i] = adv[g].x() * scale;
        if (QChar::isHighSurrogate(text[i]) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1])) ++i;
      }
      return out;
    }
  }
  // No usable font file: fall back to the font engine's own metrics.
  QFont font(QString::fromStdString(f.family));
  font.setBold(f.bold);
  font.setItalic(f.italic);
  font.setPixelSize(100);
  const QFontMetricsF fm(font);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool pair =
        QChar::isHighSurrogate(text[i]) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1]);
    out[i] = fm.horizontalAdvance(s.mid(static_cast<qsizetype>(i), pair ? 2 : 1)) * f.emPx / 100.0;
    if (pair) ++i;
  }
  return out;
}

}  // namespace pit::emf
