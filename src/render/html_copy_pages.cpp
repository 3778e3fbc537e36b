#include "html_copy_pages.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>

#include "app/file_io.h"

#include "page_painter.h"
#include "paper_painter.h"

namespace pit::render {

DrawPageHook HtmlCopyDrawer(const Settlement& s, DefinitionLibrary& defs, FieldsOfEntry fieldsOf,
                            const PrintOptions& o, std::vector<std::string>& messages) {
  // The pages of an entry come one after another: its records are made once.
  struct Shown {
    int entry = 0;
    std::vector<FieldObject> fields;
  };
  auto shown = std::make_shared<Shown>();
  return [&s, &defs, fieldsOf = std::move(fieldsOf), o, &messages, shown](int entry, int page,
                                                                          const std::string& bmpPath,
                                                                          bool withFields) {
    if (!s.Has(entry)) return true;
    const FormEntry& e = s.Entry(entry);
    PagePicture picture;
    const std::string dcg = defs.DcgPath(e.IdPit, page, false);
    if (!picture.Load(dcg)) messages.push_back("Brak Pliku: " + dcg);
    const std::vector<FieldObject>* fields = nullptr;
    if (withFields) {
      if (shown->entry != entry) {
        shown->entry = entry;
        shown->fields = fieldsOf ? fieldsOf(entry) : std::vector<FieldObject>{};
      }
      fields = shown->fields.empty() ? defs.Fields(e.IdPit) : &shown->fields;
    }
    const QImage img = RenderHtmlCopyPage(&picture, e.IdPit, fields, e, page, o);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !img.save(&buffer, "BMP")) return false;
    // Owner-only, as every file of the export.
    return WriteFileReplacing(bmpPath, std::vector<std::uint8_t>(bytes.begin(), bytes.end()),
                              NewFileAccess::OwnerOnly) == WriteError::None;
  };
}

}  // namespace pit::render
