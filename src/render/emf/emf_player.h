#pragma once
// Draws page pictures with QPainter: the screen, printing and the HTML copy
// all go through here, so a page looks the same in each. Texts are placed by
// the advances stored in the picture, not by the local font's metrics.
#include <QImage>
#include <QRectF>
#include <cstdint>
#include <vector>

#include "emf/emf_reader.h"

class QPainter;

namespace pit::emf {

// Validates `bytes` and, when they are a usable metafile, draws the picture
// with its frame scaled onto `target`. Nothing is drawn for a bad file; the
// result says why. The painter's state is left as it was.
ParseResult PlayEmf(QPainter& p, const std::vector<std::uint8_t>& bytes, const QRectF& target);
// For callers that keep a parsed page (e.g. redrawing the same page often).
void PlayEmf(QPainter& p, const Metafile& mf, const QRectF& target);

// The picture `width` pixels wide and as high as its frame's proportion gives
// (truncated), on white. A null image for a bad file or a width below 1.
QImage RenderEmf(const std::vector<std::uint8_t>& bytes, int width);

// Height of the picture drawn `width` pixels wide: trunc(frame h * width / frame w).
int HeightForWidth(const Header& h, int width);

}  // namespace pit::emf
