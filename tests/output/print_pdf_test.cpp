// pit2014cli print against pit2014cli render on the shipped definitions: a
// PIT-37 with its PIT/O printed into a PDF, the PDF's pages turned into PNG
// pictures 800 pixels wide with pdftoppm, and each compared with the page the
// form window shows: the same pages in the same order, the same page
// picture, and every written value in the place of its field.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <optional>

#include <sys/stat.h>

#include "app/document.h"
#include "forms/definition_files.h"
#include "forms/definition_library.h"
#include "page_painter.h"

namespace pit {
namespace {

const QString kBin = QStringLiteral(PIT_BIN_DIR);

struct Outcome {
  int exitCode = -1;
  QString err;
};

Outcome Exec(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(120000)) return {-1, QStringLiteral("timeout")};
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError())};
}

Outcome Cli(const QStringList& args) { return Exec(kBin + QStringLiteral("/pit2014cli"), args); }

bool Dark(QRgb c) { return qGray(c) < 110; }

std::optional<QRect> InkBox(const QImage& img, const QRect& area) {
  const QRect a = area.intersected(img.rect());
  int l = INT_MAX, t = INT_MAX, r = -1, b = -1;
  for (int y = a.top(); y <= a.bottom(); ++y)
    for (int x = a.left(); x <= a.right(); ++x)
      if (Dark(img.pixel(x, y))) {
        l = std::min(l, x), t = std::min(t, y), r = std::max(r, x), b = std::max(b, y);
      }
  if (r < 0) return std::nullopt;
  return QRect(QPoint(l, t), QPoint(r, b));
}

class PrintPdfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    pdftoppm_ = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    ASSERT_FALSE(pdftoppm_.isEmpty()) << "pdftoppm (poppler-utils) is missing: run scripts/setup.sh";
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }

  QTemporaryDir dir_;
  QString pdftoppm_;
};

TEST_F(PrintPdfTest, ReturnPrintedToPdfMatchesTheRenderedPages) {
  const QString file = Path(QStringLiteral("zeznanie.dc2014"));
  Outcome r = Cli({"new", "-o", file, "--kind", "0", "PIT-37", "PIT/O@1:1"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  r = Cli({"set", file, "1:0=5260250995", "1:10=KOWALSKA", "1:11=ANNA", "1:12=01-02-1970", "1:36=50000",
           "1:37=1335", "1:40=6000", "1:131=0000127204", "2:20=1000"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

  const QString pdf = Path(QStringLiteral("zeznanie.pdf"));
  r = Cli({"print", file, "--entry", "2", "--return", "-o", pdf});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  r = Exec(pdftoppm_, {"-png", "-scale-to-x", "800", "-scale-to-y", "-1", pdf, Path(QStringLiteral("wydruk"))});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

  // The file as the calculation left it: the values both programs show.
  const std::string dc = (kBin + QStringLiteral("/dc")).toStdString();
  DefinitionLibrary library(dc);
  Settlement s;
  ASSERT_TRUE(LoadSettlement(file.toStdString(), s, library).ok);

  // The main form first, then its attachment, every page of each.
  struct Page {
    int entry, idPit, page;
  };
  std::vector<Page> expected;
  for (int entry : {1, 2}) {
    const int idPit = s.Entry(entry).IdPit;
    const auto description = library.Description(idPit);
    ASSERT_TRUE(description);
    for (int p = 1; p <= description->PageCount; ++p) expected.push_back({entry, idPit, p});
  }
  QStringList printed = QDir(dir_.path()).entryList({QStringLiteral("wydruk-*.png")}, QDir::Files, QDir::Name);
  ASSERT_EQ(printed.size(), static_cast<int>(expected.size()));

  for (std::size_t i = 0; i < expected.size(); ++i) {
    const Page& pg = expected[i];
    SCOPED_TRACE("entry " + std::to_string(pg.entry) + " page " + std::to_string(pg.page));
    const QString png = Path(QStringLiteral("strona%1.png").arg(i));
    r = Cli({"render", file, "--entry", QString::number(pg.entry), "--page", QString::number(pg.page), "-o", png});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QImage shown = QImage(png).convertToFormat(QImage::Format_RGB32);
    const QImage paper = QImage(Path(printed[static_cast<int>(i)])).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(paper.width(), 800);
    // A4 at 800 pixels wide is 1131 high; the picture's height likewise.
    ASSERT_NEAR(paper.height(), shown.height(), 2);

    const std::vector<FieldObject> defs = LoadFieldObjects(DcsPath(dc, pg.idPit)).value_or(std::vector<FieldObject>{});
    ASSERT_FALSE(defs.empty());
    QImage fieldMask(shown.size(), QImage::Format_Grayscale8);
    fieldMask.fill(0);
    int compared = 0;
    for (int k = 0; k < static_cast<int>(defs.size()); ++k) {
      const FieldObject& d = defs[static_cast<std::size_t>(k)];
      if (d.Page != pg.page || !d.Visible || render::IsNeverDrawn(pg.idPit, k)) continue;
      // The screen frames and fills fields, the paper copy draws them in the
      // form's own colours: the comparison of pictures leaves them out.
      for (int y = std::max(0, d.Top - 3); y < std::min(shown.height(), d.Bottom + 5); ++y)
        for (int x = std::max(0, d.Left - 3); x < std::min(shown.width(), d.Right + 4); ++x)
          fieldMask.setPixel(x, y, 255);
      const ValueSlot& slot = s.Entry(pg.entry).Slots()[static_cast<std::size_t>(k)];
      const bool ticked = d.Typ == kCheckbox && slot.CheckState;
      if (!ticked && (d.Typ == kCheckbox || d.Typ == kKreska || slot.Value.empty())) continue;
      const QRect inside(QPoint(d.Left + 2, d.Top + 2), QPoint(d.Right - 3, d.Bottom - 2));
      const auto onScreen = InkBox(shown, inside);
      const auto onPaper = InkBox(paper, inside);
      ASSERT_TRUE(onScreen.has_value()) << "field " << k << " \"" << slot.Value << "\" not on the screen";
      ASSERT_TRUE(onPaper.has_value()) << "field " << k << " \"" << slot.Value << "\" not on the paper";
      const int tolerance = 4;
      int screenX = onScreen->center().x(), paperX = onPaper->center().x();
      if (d.Typ != kCheckbox && d.TextAlign == kAlignLeft) screenX = onScreen->left(), paperX = onPaper->left();
      if (d.Typ != kCheckbox && d.TextAlign == kAlignRight) screenX = onScreen->right(), paperX = onPaper->right();
      EXPECT_NEAR(paperX, screenX, tolerance) << "field " << k << " \"" << slot.Value << "\"";
      EXPECT_NEAR(onPaper->center().y(), onScreen->center().y(), tolerance) << "field " << k;
      ++compared;
    }
    // Outside the fields the two pictures agree but for the edges of
    // letters and lines, which each rasteriser smooths in its own way: a
    // pixel differs when nothing within one pixel of it in the other
    // picture comes near it.
    int differing = 0, total = 0;
    const int h = std::min(shown.height(), paper.height());
    auto near = [&](const QImage& other, int x, int y, int grey) {
      for (int yy = std::max(0, y - 1); yy <= std::min(h - 1, y + 1); ++yy)
        for (int xx = std::max(0, x - 1); xx <= std::min(799, x + 1); ++xx)
          if (std::abs(qGray(other.pixel(xx, yy)) - grey) <= 64) return true;
      return false;
    };
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < 800; ++x) {
        if (qGray(fieldMask.pixel(x, y)) != 0) continue;
        ++total;
        if (!near(paper, x, y, qGray(shown.pixel(x, y))) || !near(shown, x, y, qGray(paper.pixel(x, y)))) ++differing;
      }
    EXPECT_LT(differing, total / 1000) << differing << " of " << total << " pixels differ";
    if (pg.entry == 1 && (pg.page == 1 || pg.page == 2)) {
      EXPECT_GT(compared, 3);
    }
  }
}

// Glyphs written in a box of a page picture: runs of columns with ink,
// inside the box's frame.
int GlyphsIn(const QImage& img, const FieldObject& d) {
  const QRect inside = QRect(QPoint(d.Left + 3, d.Top + 3), QPoint(d.Right - 4, d.Bottom - 3)).intersected(img.rect());
  int glyphs = 0;
  bool inGlyph = false;
  for (int x = inside.left(); x <= inside.right(); ++x) {
    bool ink = false;
    for (int y = inside.top(); y <= inside.bottom() && !ink; ++y) ink = Dark(img.pixel(x, y));
    if (ink && !inGlyph) ++glyphs;
    inGlyph = ink;
  }
  return glyphs;
}

QString ReadText(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// A joint PIT-37 with its PIT/O and the spouse's own PIT-38, both persons on
// PESEL: every identifier box of the printed PDF and of the HTML copy holds
// all eleven digits, and the XML names each identifier PESEL.
TEST_F(PrintPdfTest, JointReturnOnPeselCarriesEveryIdentifierInFull) {
  const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  ASSERT_FALSE(pdftotext.isEmpty()) << "pdftotext (poppler-utils) is missing: run scripts/setup.sh";
  const QString taxpayer = QStringLiteral("80010112340"), spouse = QStringLiteral("82020254322");
  const QString file = Path(QStringLiteral("j.dc2014"));
  Outcome r = Cli({"new", "-o", file, "--kind", "1", "--taxpayer-id", "pesel", "--spouse-id", "pesel", "PIT-37",
                   "PIT/O@1", "PIT-38:2"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  r = Cli({"set", file, "1:0=" + taxpayer, "1:1=" + spouse, "1:36=50000", "1:37=1335", "1:40=6000"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

  const std::string dc = (kBin + QStringLiteral("/dc")).toStdString();
  DefinitionLibrary library(dc);
  Settlement s;
  ASSERT_TRUE(LoadSettlement(file.toStdString(), s, library).ok);
  ASSERT_EQ(s.Count(), 3);
  // Entry, its identifier fields and the PESELs they hold.
  struct Form {
    int entry;
    std::vector<std::pair<int, QString>> ids;
  };
  const std::vector<Form> forms = {{1, {{0, taxpayer}, {1, spouse}}}, {2, {{0, taxpayer}, {1, spouse}}}, {3, {{0, spouse}}}};

  // The PDF of the whole settlement: page 1 of each form holds each PESEL.
  const QString pdf = Path(QStringLiteral("j.pdf"));
  r = Cli({"print", file, "--all", "-o", pdf});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  r = Exec(pdftoppm_, {"-png", "-scale-to-x", "800", "-scale-to-y", "-1", pdf, Path(QStringLiteral("j"))});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QStringList printed = QDir(dir_.path()).entryList({QStringLiteral("j-*.png")}, QDir::Files, QDir::Name);
  int firstPage = 1;
  for (const Form& f : forms) {
    const int idPit = s.Entry(f.entry).IdPit;
    SCOPED_TRACE("entry " + std::to_string(f.entry));
    const QString txt = Path(QStringLiteral("j%1.txt").arg(f.entry));
    r = Exec(pdftotext, {"-layout", "-f", QString::number(firstPage), "-l", QString::number(firstPage), pdf, txt});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // One digit per cell: the text has them apart.
    auto spaced = [](const QString& digits) {
      QString pattern;
      for (const QChar c : digits) pattern += (pattern.isEmpty() ? QString() : QStringLiteral("\\s*")) + c;
      return QRegularExpression(QStringLiteral("(?<![0-9])") + pattern + QStringLiteral("(?![0-9])"));
    };
    const QImage page(Path(printed.value(firstPage - 1)));
    ASSERT_FALSE(page.isNull());
    const std::vector<FieldObject>* defs = library.Fields(idPit);
    ASSERT_NE(defs, nullptr);
    for (const auto& [field, pesel] : f.ids) {
      EXPECT_TRUE(ReadText(txt).contains(spaced(pesel))) << pesel.toStdString() << " not in\n"
                                                          << ReadText(txt).toStdString();
      EXPECT_EQ(GlyphsIn(page, (*defs)[static_cast<std::size_t>(field)]), 11) << "field " << field;
    }
    const auto description = library.Description(idPit);
    ASSERT_TRUE(description);
    firstPage += description->PageCount;
  }
  EXPECT_EQ(firstPage - 1, printed.size());

  // The export of each return: the XML names the identifiers PESEL, and the
  // HTML copy's page 1 of each form has eleven digits in each box.
  for (const int entry : {1, 3}) {
    const QString out = Path(QStringLiteral("e%1").arg(entry));
    r = Cli({"export", file, "--entry", QString::number(entry), "-o", out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList folders = QDir(out).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(folders.size(), 1);
    const QString folder = out + QStringLiteral("/") + folders[0];
    const QString xml = ReadText(folder + QStringLiteral("/P_") + folders[0] + QStringLiteral(".xml"));
    if (entry == 1) {
      EXPECT_TRUE(xml.contains(QStringLiteral("PIT37_1.0.Podmiot1.PESEL>") + taxpayer + QStringLiteral("<"))) << xml.toStdString();
      EXPECT_TRUE(xml.contains(QStringLiteral("PIT37_1.0.Podmiot2.PESEL>") + spouse + QStringLiteral("<"))) << xml.toStdString();
    } else {
      EXPECT_TRUE(xml.contains(QStringLiteral("PIT38_1.2.Podmiot1.PESEL>") + spouse + QStringLiteral("<"))) << xml.toStdString();
    }
    EXPECT_FALSE(xml.contains(QStringLiteral(".NIP>"))) << xml.toStdString();
    for (const Form& f : forms) {
      if (s.Entry(f.entry).ReturnGuid != s.Entry(entry).ReturnGuid) continue;
      const QStringList pages =
          QDir(folder + QStringLiteral("/html")).entryList({QStringLiteral("%1_*_1.bmp").arg(s.Entry(f.entry).IdPit)});
      ASSERT_EQ(pages.size(), 1) << "entry " << f.entry;
      const QImage page(folder + QStringLiteral("/html/") + pages[0]);
      for (const auto& [field, pesel] : f.ids)
        EXPECT_EQ(GlyphsIn(page, (*library.Fields(s.Entry(f.entry).IdPit))[static_cast<std::size_t>(field)]), 11)
            << "HTML copy, entry " << f.entry << ", field " << field;
    }
  }
}

int PdfPages(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return -1;
  const QByteArray bytes = f.readAll();
  int pages = 0;
  for (int i = bytes.indexOf("/Type /Page"); i >= 0; i = bytes.indexOf("/Type /Page", i + 1))
    if (bytes.mid(i + 11, 1) != "s") ++pages;
  return pages;
}

// The command's ranges and options, and what it refuses without writing.
TEST_F(PrintPdfTest, RangesOptionsAndRefusals) {
  const QString file = Path(QStringLiteral("r.dc2014"));
  ASSERT_EQ(Cli({"new", "-o", file, "--kind", "0", "PIT-37", "PIT/O@1:1", "PIT-37"}).exitCode, 0);
  ASSERT_EQ(Cli({"set", file, "1:36=50000"}).exitCode, 0);
  // Two returns: PIT-37 (4 pages) with PIT/O (3 pages), and a second PIT-37.
  struct Case {
    const char* what;
    QStringList options;
    int exitCode;
    int pages;        // of the PDF written, when it is written
    QString message;  // part of the standard error
  };
  const std::vector<Case> cases = {
      {"one page", {"--entry", "2", "--page", "3"}, 0, 1, ""},
      {"the form, by default", {"--entry", "2"}, 0, 3, ""},
      {"the return of an attachment", {"--entry", "2", "--return"}, 0, 7, ""},
      {"everything", {"--all"}, 0, 11, ""},
      {"bare form, no background, moved", {"--entry", "1", "--blank", "--no-background", "--size", "-50", "--top",
                                            "100", "--left", "-100", "--dx", "-100", "--dy", "100"}, 0, 4, ""},
      {"no such entry", {"--entry", "9"}, 4, 0, "Rozliczenie nie ma pozycji 9."},
      {"no such page", {"--entry", "2", "--page", "4"}, 4, 0, "Formularz PIT/O nie ma strony 4."},
      {"two ranges", {"--entry", "1", "--form", "--all"}, 2, 0, "jeden zakres"},
      {"size beyond its range", {"--entry", "1", "--size", "51"}, 2, 0, "--size przyjmuje liczbę całkowitą od -50 do 50"},
      {"shift not a number", {"--entry", "1", "--dx", "1,5"}, 2, 0, "--dx"},
      {"page without a number", {"--entry", "1", "--page"}, 2, 0, "brak wartości opcji --page"},
      {"no entry", {"--form"}, 2, 0, "--entry"},
  };
  int n = 0;
  for (const Case& c : cases) {
    const QString pdf = Path(QStringLiteral("wydruk%1.pdf").arg(n++));
    const Outcome r = Cli(QStringList{"print", file, "-o", pdf} + c.options);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.what << ": " << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(c.message)) << c.what << ": " << r.err.toStdString();
    if (c.exitCode == 0) {
      EXPECT_EQ(PdfPages(pdf), c.pages) << c.what;
    } else {
      EXPECT_FALSE(QFile::exists(pdf)) << c.what;
    }
  }
  // A folder that cannot take the file: nothing is written, exit 3.
  const Outcome r = Cli({"print", file, "--entry", "1", "-o", Path(QStringLiteral("brak/x.pdf"))});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_TRUE(r.err.contains(QStringLiteral("Nie można zapisać pliku"))) << r.err.toStdString();
}

// A print or a page picture is written as a settlement is saved: owner-only,
// through a link to the file it names (the link stays), and never into a
// pipe or a device, which are refused at once instead of blocking or being
// replaced.
TEST_F(PrintPdfTest, OutputTargetsAreTreatedAsASettlementIs) {
  const QString file = Path(QStringLiteral("t.dc2014"));
  ASSERT_EQ(Cli({"new", "-o", file, "--kind", "0", "PIT-37"}).exitCode, 0);
  struct Command {
    const char* name;
    QStringList options;
    QByteArray magic;  // how the file written starts
  };
  const Command commands[] = {
      {"print", {"--entry", "1", "--page", "1"}, "%PDF"},
      {"render", {"--entry", "1", "--page", "1"}, "\x89PNG"},
  };
  for (const Command& c : commands) {
    const QString name = QString::fromLatin1(c.name);
    const QString made = Path(name + QStringLiteral(".out"));
    Outcome r = Cli(QStringList{name, file, "-o", made} + c.options);
    ASSERT_EQ(r.exitCode, 0) << c.name << ": " << r.err.toStdString();
    EXPECT_EQ(QFile(made).permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        << c.name;

    const QString pipe = Path(name + QStringLiteral(".fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    r = Cli(QStringList{name, file, "-o", pipe} + c.options);
    EXPECT_EQ(r.exitCode, 3) << c.name << ": " << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Nie można zapisać pliku ") + pipe +
                               QStringLiteral("\nPod tą nazwą nie ma zwykłego pliku")))
        << r.err.toStdString();
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(pipe).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << c.name;

    const QString link = Path(name + QStringLiteral("-skrot.out"));
    ASSERT_TRUE(QFile::link(made, link));
    ASSERT_TRUE(QFile::resize(made, 0));
    r = Cli(QStringList{name, file, "-o", link} + c.options);
    ASSERT_EQ(r.exitCode, 0) << c.name << ": " << r.err.toStdString();
    EXPECT_TRUE(QFileInfo(link).isSymLink()) << c.name;
    QFile written(made);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.read(4).startsWith(c.magic)) << c.name;
  }
}

// A form whose page picture is missing is still printed: the page carries
// the values, and the message names the picture.
TEST_F(PrintPdfTest, MissingPagePictureIsNamedAndTheValuesArePrinted) {
  const QString dc = Path(QStringLiteral("dc"));
  ASSERT_TRUE(QDir().mkpath(dc));
  for (const QString& name : QDir(kBin + QStringLiteral("/dc")).entryList(QDir::Files))
    ASSERT_TRUE(QFile::copy(kBin + QStringLiteral("/dc/") + name, dc + QStringLiteral("/") + name));
  ASSERT_TRUE(QFile::remove(dc + QStringLiteral("/2_2.dcg")));
  const QString file = Path(QStringLiteral("m.dc2014"));
  ASSERT_EQ(Cli({"new", "-o", file, "--kind", "0", "PIT-37"}).exitCode, 0);
  ASSERT_EQ(Cli({"set", file, "1:36=50000"}).exitCode, 0);
  const QString pdf = Path(QStringLiteral("m.pdf"));
  const Outcome r = Cli({"print", file, "--entry", "1", "-o", pdf, "--dc", dc});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains(dc + QStringLiteral("/2_2.dcg"))) << r.err.toStdString();
  EXPECT_EQ(PdfPages(pdf), 4);
  ASSERT_EQ(Exec(pdftoppm_, {"-png", "-f", "2", "-l", "2", "-scale-to-x", "800", "-scale-to-y", "-1", pdf,
                             Path(QStringLiteral("m"))})
                .exitCode,
            0);
  const QImage page2(Path(QStringLiteral("m-2.png")));
  ASSERT_FALSE(page2.isNull());
  // The revenue of row 1 is there; there is no page picture around it.
  const std::vector<FieldObject> defs =
      LoadFieldObjects(DcsPath((kBin + QStringLiteral("/dc")).toStdString(), 2)).value_or(std::vector<FieldObject>{});
  ASSERT_GT(defs.size(), 36u);
  const FieldObject& revenue = defs[36];
  EXPECT_TRUE(InkBox(page2, QRect(QPoint(revenue.Left + 2, revenue.Top + 2), QPoint(revenue.Right - 3, revenue.Bottom - 2))));
  EXPECT_FALSE(InkBox(page2, QRect(0, 0, 800, revenue.Top - 30)));
}

}  // namespace
}  // namespace pit
