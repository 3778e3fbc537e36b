#include "output/html_copy.h"

#include <filesystem>
#include <fstream>

#include "app/file_io.h"
#include "app/settlement.h"
#include "forms/definition_library.h"
#include "output/export.h"
#include "text/cp1250.h"

namespace fs = std::filesystem;

namespace pit {
namespace {

std::string FileSafe(std::string_view label) {
  std::string out(label);
  for (char& c : out) {
    const bool ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.' ||
                    c == '-' || c == '_';
    if (!ok) c = '_';
  }
  return out;
}

const char* const kLinkStyles =
    "\n .L:link    { font-family:Tahoma; font-size:12px; font-style:normal; color:#000000; text-decoration:none;  "
    "line-height:10pt; vertical-align:top;}"
    "\n .L:visited { font-family:Tahoma; font-size:13px; font-style:normal; color:#000000; text-decoration:none;  "
    "line-height:10pt; vertical-align:top;}"
    "\n .L:hover   { font-family:Tahoma; font-size:12px; font-style:normal; color:#FF0000; text-decoration:none;  "
    "line-height:10pt; vertical-align:top;}"
    "\n .LM:link    { font-family:Tahoma; font-size:15px; font-style:normal; color:#000000; text-decoration:none;  "
    "line-height:13pt; vertical-align:top;}"
    "\n .LM:visited { font-family:Tahoma; font-size:15px; font-style:normal; color:#000000; text-decoration:none;  "
    "line-height:13pt; vertical-align:top;}"
    "\n .LM:hover   { font-family:Tahoma; font-size:15px; font-style:normal; color:#FF0000; text-decoration:none;  "
    "line-height:13pt; vertical-align:top;}";

std::string CommonHead() {
  return std::string("<html>\n<head>") + "\n <style type=\"text/css\">" + kLinkStyles +
         "\n .DInf {font-size:18px;font-weight:bold;width:90%;text-align:right;}" +
         "\n .DNav {font-size:18px;font-weight:bold;width:90%;text-align:right;}" + "\n .DPrt {text-align:center;}" +
         "\n .DImg {width:800px;}" +
         "\n @media print { .DInf {display: none} .DNav {display: none} .DImg{width:100%;} } " +
         "\n @page { margin: 0px } " + "\n </style>" +
         "\n <meta http-equiv=\"content-type\" content=\"text/html\"; charset=\"windows-1250\"> " +
         "\n </head>\n\n";
}

bool WriteText(const fs::path& path, const std::string& utf8) {
  const std::string bytes = WithCrLf(Utf8ToCp1250(utf8));
  return WriteFileReplacing(path.u8string(), std::vector<std::uint8_t>(bytes.begin(), bytes.end()),
                            NewFileAccess::OwnerOnly) == WriteError::None;
}

}  // namespace

std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

HtmlEntryNames NamesFor(int pm, bool multiCopy, const std::string& caption) {
  HtmlEntryNames n;
  if (!caption.empty() && caption != "0" && multiCopy) {
    n.copyLabel = caption + ".";
    n.copyNote = " (nr: " + EscapeHtml(caption) + ") ";
  } else {
    n.copyLabel = "1.";
  }
  n.icon = "Pit.gif";
  if (pm == kPmTaxpayer) {
    n.longPerson = " (Podatnika) ";
    n.shortPerson = " (P)";
    n.digit = "1";
    n.icon = "PitP.gif";
  } else if (pm == kPmSpouse) {
    n.longPerson = " (Małżonka) ";
    n.shortPerson = " (M)";
    n.digit = "2";
    n.icon = "PitM.gif";
  }
  return n;
}

std::string HtmlAnchor(int idPit, const HtmlEntryNames& names, int page) {
  return std::to_string(idPit) + "_" + FileSafe(names.copyLabel) + names.digit + "_" + std::to_string(page);
}

std::string HtmlCopy::HtmlFolder() const { return (fs::u8path(folder_) / "html").u8string(); }

void HtmlCopy::AddEntry(const Settlement& s, DefinitionLibrary& defs, const ExportedEntry& exported,
                        const DrawPageHook& draw, std::vector<std::string>& messages) {
  if (!s.Has(exported.entry)) return;
  const FormEntry& e = s.Entry(exported.entry);
  if (!FormCatalogue::IsValid(e.IdPit)) return;
  const FormTypeInfo& type = s.Catalogue()[e.IdPit];
  const HtmlEntryNames names = NamesFor(e.PM, type.MultiCopy, exported.caption);
  const std::string code = EscapeHtml(type.Code);
  const std::string count = std::to_string(type.PageCount);

  const fs::path html = fs::u8path(HtmlFolder());
  if (!MakePrivateFolders(html.u8string())) {
    messages.push_back(FolderFailedMessage(html.u8string()));
    bitmapsWritten_ = false;
  }
  const bool withFields = defs.Fields(e.IdPit) != nullptr;

  for (int p = 1; p <= type.PageCount; ++p) {
    const std::string anchor = HtmlAnchor(e.IdPit, names, p);
    if (!withFields) messages.push_back("Brak Pliku: " + defs.DcsPath(e.IdPit));
    if (draw && !draw(exported.entry, p, (html / (anchor + ".bmp")).u8string(), withFields)) bitmapsWritten_ = false;
    ++pages_;

    const std::string page = std::to_string(p);
    pagesBuffer_ += "\n<A NAME=\"" + anchor + "\">" + "\n<DIV class=\"DInf\">" + code +
                    "<sub style=\"font-size:8px;\">(" + std::to_string(type.Variant) + ")</sub>" + names.longPerson +
                    names.copyNote + " str. " + page + "/" + count + "<HR style=\"height:1px;\">" + "</DIV>" +
                    "\n<DIV class=\"DNav\">" +
                    "<input type=\"button\" value=\"Drukuj rozliczenie\" onclick=\"print();\"/>" +
                    " &nbsp;&nbsp;&nbsp;&nbsp; strona druku: &nbsp;&nbsp; <A href=\"#" +
                    HtmlAnchor(e.IdPit, names, p - 1) +
                    "\" class=\"L\"> <span style=\"font-size:12pt;\">&#171;</span> </A>" + "&nbsp;&nbsp;&nbsp;" +
                    page + "/" + count + "&nbsp;&nbsp;&nbsp;" + "<A href=\"#" + HtmlAnchor(e.IdPit, names, p + 1) +
                    "\" class=\"L\"> <span style=\"font-size:12pt;\">&#187;</span> </A>" + "</DIV>" +
                    "\n<DIV class=\"DPrt\">" + "<img src=\"" + anchor + ".bmp" + "\" class=\"DImg\">" + "</DIV>" +
                    "\n</A>" + "\n<p style=\"page-break-before: always\">";

    if (p != 1) continue;
    const std::string link = "<A href=\"r_" + id_ + ".html#" + anchor + "\" TARGET=\"page\" class=\"LM\">" + code +
                             names.shortPerson + names.copyNote;
    if (!e.IsAttachment()) {
      menuBuffer_ += "\n<UL style=\"margin-left:0px;padding:3px;width:99%;\">" + std::string("\n<LI ") +
                     "style=\"margin-left:14px; margin-right:5px; padding-left:3px;padding-top:2px; "
                     "list-style-image:url('../ico/" +
                     names.icon + "')\"" + "><B>" + link + "</B></A>" +
                     "\n<UL style=\"margin-left:0px;padding-top:5px;width:99%;\">";
    } else {
      menuBuffer_ += std::string("\n<LI ") +
                     "style=\"margin-left:14px; margin-right:5px;padding-left:3px;padding-top:2px;"
                     "list-style-image:url('../ico/" +
                     names.icon + "')\"" + ">" + link + "</A>";
    }
  }
}

std::string HtmlCopy::FramesetFile() const {
  return "<html>"
         "<head><META HTTP-EQUIV=\"Content-type\" CONTENT=\"text/html; charset=windows-1250\"></head>"
         "<FRAMESET COLS=\"200,*\" BORDER=\"0\" FRAMEBORDER=\"0\" FRAMESPACING=\"0\">"
         "<FRAME NAME=\"menu\" noresize scrolling=\"no\" FRAMEBORDER=\"0\" FRAMESPACING=\"0\" SRC=\"html/m_" +
         id_ + ".html\">" + "<FRAME NAME=\"page\" NORESIZE FRAMEBORDER=\"0\" FRAMESPACING=\"0\" SRC=\"html/r_" + id_ +
         ".html\">" + "</FRAMESET>" + "</html>";
}

std::string HtmlCopy::PagesFile() const {
  return CommonHead() + "<BODY style=\"font-famyly:tahoma;font-size:14px;margin-top:0px;\">" + pagesBuffer_ +
         "\n</BODY>\n</HTML>";
}

std::string HtmlCopy::MenuFile() const {
  return CommonHead() + "\n <BODY style=\"background:#FFFBCC;\">" + menuBuffer_ + "\n</UL>\n</UL>" +
         "\n</BODY>\n</HTML>";
}

bool HtmlCopy::Write() const {
  const fs::path f = fs::u8path(folder_);
  MakePrivateFolders((f / "html").u8string());
  const bool a = WriteText(f / (id_ + ".html"), FramesetFile());
  const bool b = WriteText(f / "html" / ("r_" + id_ + ".html"), PagesFile());
  const bool c = WriteText(f / "html" / ("m_" + id_ + ".html"), MenuFile());
  return a && b && c;
}

}  // namespace pit
