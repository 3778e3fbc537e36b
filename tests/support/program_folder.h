#pragma once
// A program folder for the desktop program's windows in a test: the
// definitions the build generated (all, or only those of `forms`, so that
// every other form's page is missing) and the dictionary sources the
// program builds its lists from.
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

namespace pit::testsupport {

inline QString MakeProgramFolder(const QString& root, const QString& name = QStringLiteral("program"),
                                 const QList<int>& forms = {}) {
  const QString program = root + QLatin1Char('/') + name;
  QDir().mkpath(program + QStringLiteral("/dc"));
  QDir().mkpath(program + QStringLiteral("/bib"));
  const QDir built(QStringLiteral(PIT_BIN_DIR "/dc"));
  QStringList patterns;
  for (int idPit : forms) patterns << QStringLiteral("%1.*").arg(idPit) << QStringLiteral("%1_*").arg(idPit);
  for (const QString& file : built.entryList(patterns, QDir::Files)) {
    QFile::copy(built.filePath(file), program + QStringLiteral("/dc/") + file);
  }
  for (const char* file : {"US.xsd", "KR.xsd"}) {
    QFile::copy(QStringLiteral(PIT_SOURCE_DIR "/data/bib/") + QLatin1String(file),
                program + QStringLiteral("/bib/") + QLatin1String(file));
  }
  return program;
}

}  // namespace pit::testsupport
