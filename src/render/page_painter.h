#pragma once
// Draws a form page as the form window shows it: the page picture, and over
// it every field of the page with its value, framed and filled in the fixed
// highlight colours. The screen, the command line's `render` and (later)
// printing and the HTML copy draw through here, so a page looks the same
// everywhere. Qt Gui only: no widgets.
#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "app/settlement.h"
#include "emf/emf_reader.h"
#include "forms/field_object.h"

class QPainter;

namespace pit::render {

// The form window's own colours; the per-field colours of the definition
// are for printing only.
namespace colour {
inline const QColor kFrame{0x99, 0xC2, 0x99};
inline const QColor kFill{0xF4, 0xFF, 0xDF};  // also the text background
inline const QColor kRequiredFrame{0xFF, 0x00, 0x00};
inline const QColor kRequiredFill{0xFF, 0xF5, 0xEF};
inline const QColor kReadOnlyTickFrame{0x7C, 0x81, 0x87};
inline const QColor kReadOnlyTickFill{0xF0, 0xF0, 0xF0};
inline const QColor kInk{0x00, 0x00, 0x00};
}  // namespace colour

struct PaintOptions {
  // "Podświetlanie pól": frames and fills of text fields.
  bool highlight = true;
  QString fontFamily = QStringLiteral("Arial");
};

// Fields that the definition files carry but no page shows.
bool IsNeverDrawn(int idPit, int objectIndex);

// The font size in points a text field starts from before it is fitted.
int StartFontPoints(const FieldObject& def);
// Pixels of a font of `points` at 96 pixels per inch, rounded like the
// platform's point-to-pixel conversion.
int PointsToPixels(int points);

// The text a text-like field shows: the slot's value, or the default while
// the value is empty; amounts as shown (grouped).
std::string ShownText(const FieldObject& def, const ValueSlot* slot);

// Draws field `k` of `defs` with its slot in `entry` (fields past the slots
// are drawn with their defaults). The painter's coordinates are page pixels.
void PaintField(QPainter& p, int idPit, int k, const std::vector<FieldObject>& defs,
                const FormEntry& entry, const PaintOptions& o = {});
// Every field of `page`, in object order (later ones over earlier ones).
void PaintFields(QPainter& p, int idPit, const std::vector<FieldObject>& defs,
                 const FormEntry& entry, int page, const PaintOptions& o = {});

// A page picture (.dcg), checked once when loaded and drawn 800 pixels wide.
class PagePicture {
 public:
  // False when the file is missing or not a usable picture; the picture
  // loaded before stays then.
  bool Load(const std::string& path);
  bool LoadBytes(const std::vector<std::uint8_t>& bytes);
  bool Loaded() const { return loaded_; }
  void Release();
  // Height of the page drawn 800 pixels wide: trunc(h * 800 / w).
  int Height() const { return height_; }
  // What went wrong with the last Load, for messages.
  const std::string& Error() const { return error_; }
  // Draws the picture 800 pixels wide with its top left corner at (x, y).
  void Draw(QPainter& p, int x, int y) const;
  // Draws the picture stretched into `target` (printing).
  void DrawInto(QPainter& p, const QRectF& target) const;

 private:
  emf::Metafile metafile_;
  bool loaded_ = false;
  int height_ = 0;
  std::string error_;
};

// The page as one image `leftOffset` + 800 pixels wide and as high as the
// picture (or `fallbackHeight` without one): white, the picture at
// (leftOffset, 0), the fields over it.
QImage RenderPage(const PagePicture* picture, int idPit, const std::vector<FieldObject>& defs,
                  const FormEntry& entry, int page, const PaintOptions& o = {}, int leftOffset = 0,
                  int fallbackHeight = 1131);

}  // namespace pit::render
