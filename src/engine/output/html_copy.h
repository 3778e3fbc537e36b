#pragma once
// The browsable copy of an exported return: one bitmap per page (drawn by the
// page painter through a hook) and three HTML files: a frameset with a menu
// of the forms on the left and the pages on the right. This module makes the
// texts and writes them (Windows-1250, CR LF).
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pit {

class Settlement;
class DefinitionLibrary;
struct ExportedEntry;

// "&", "<", ">" and '"' as entity references: for texts typed by the user
// that the copy puts into its HTML.
std::string EscapeHtml(std::string_view text);

// How one exported entry is named in the copy.
struct HtmlEntryNames {
  std::string copyLabel;  // "1." or the copy caption + "."
  std::string copyNote;   // "" or " (nr: " + caption + ") ", HTML-escaped
  std::string longPerson;   // " (Podatnika) ", " (Małżonka) " or ""
  std::string shortPerson;  // " (P)", " (M)" or ""
  std::string digit;        // "1", "2" or ""
  std::string icon;         // "Pit.gif", "PitP.gif", "PitM.gif"
};
HtmlEntryNames NamesFor(int pm, bool multiCopy, const std::string& caption);

// Anchor of page `page`, also the bitmap's name without ".bmp": "2_1._1".
// Characters of the copy label that cannot stand in a file name are "_".
std::string HtmlAnchor(int idPit, const HtmlEntryNames& names, int page);

// Draws page `page` of entry `entry` into the bitmap file `bmpPath`: the page
// picture, and the fields over it when `withFields`. False when the file
// could not be written.
using DrawPageHook = std::function<bool(int entry, int page, const std::string& bmpPath, bool withFields)>;

class HtmlCopy {
 public:
  HtmlCopy(std::string folder, std::string exportId) : folder_(std::move(folder)), id_(std::move(exportId)) {}

  // The pages of one exported entry: bitmaps, page sections, menu item.
  // Messages for the user (folder not made, definition missing) are added.
  void AddEntry(const Settlement& s, DefinitionLibrary& defs, const ExportedEntry& exported,
                const DrawPageHook& draw, std::vector<std::string>& messages);

  std::string FramesetFile() const;
  std::string PagesFile() const;
  std::string MenuFile() const;
  // The three files; false when one could not be written.
  bool Write() const;
  // Whether every page bitmap drawn so far was written.
  bool BitmapsWritten() const { return bitmapsWritten_; }

  const std::string& Folder() const { return folder_; }
  std::string HtmlFolder() const;
  int PageCount() const { return pages_; }

 private:
  std::string folder_;
  std::string id_;
  std::string pagesBuffer_;
  std::string menuBuffer_;
  int pages_ = 0;
  bool bitmapsWritten_ = true;
};

}  // namespace pit
