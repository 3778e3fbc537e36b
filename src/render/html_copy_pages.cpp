#include "html_copy_pages.h"

#include <QImage>
#include <QString>

#include "page_painter.h"
#include "paper_painter.h"

namespace pit::render {

DrawPageHook HtmlCopyDrawer(const Settlement& s, DefinitionLibrary& defs, const PrintOptions& o,
                            std::vector<std::string>& messages) {
  return [&s, &defs, o, &messages](int entry, int page, const std::string& bmpPath, bool withFields) {
    if (!s.Has(entry)) return;
    const FormEntry& e = s.Entry(entry);
    PagePicture picture;
    const std::string dcg = defs.DcgPath(e.IdPit, page, false);
    if (!picture.Load(dcg)) messages.push_back("Brak Pliku: " + dcg);
    const std::vector<FieldObject>* fields = withFields ? defs.Fields(e.IdPit) : nullptr;
    const QImage img = RenderHtmlCopyPage(&picture, e.IdPit, fields, e, page, o);
    img.save(QString::fromStdString(bmpPath), "BMP");  // a file that cannot be made leaves the copy incomplete
  };
}

}  // namespace pit::render
