#pragma once
// Where the program and the user's work live: the program folder with the
// data folders beside the executable, the personal documents folder with the
// workspace below it, the temporary folder, and the user's own folders for
// the configuration and for downloaded updates.
#include <QString>

namespace pit::platform {

// Folder of the running executable (no trailing separator).
QString ProgramFolder();

// The folder holding the data folders (dc, bib, alg, pomoc, Pomoc, icon):
// the executable's own folder in the build tree, <prefix>/share/pit2014
// once installed.
QString DataFolder();

// The user's cache folder of the program (not created here); empty when
// the environment names none.
QString CacheFolder();

// The user's personal documents folder as the desktop reports it.
QString DocumentsFolder();

// The "TMP" environment variable; the system's temporary folder when it is
// unset or empty, since a path at the root of the file system is not
// writable for a user here.
QString TempFolder();

// The user's own folder for the program's configuration: the desktop's
// configuration folder (XDG_CONFIG_HOME, normally ~/.config) + "/pit2014".
QString ConfigFolder();
// The user's own folder the update check downloads into: the desktop's
// cache folder (XDG_CACHE_HOME, normally ~/.cache) + "/pit2014/aktualizacja".
QString UpdateDownloadFolder();

// Whether `path` exists as a file or folder of the current user itself (a
// symbolic link does not count): what another user made is never read.
bool OwnedByUser(const QString& path);
// Creates the folder (and missing parents) when needed and makes it the
// user's alone (0700); false when it cannot be, or belongs to someone else.
bool MakePrivateFolder(const QString& path);

struct Workspace {
  QString root;           // <documents>/Pit Korvan
  QString documents;      // <root>/Deklaracje <year>
  QString eDeclarations;  // <root>/eDeklaracje <year>
};

Workspace WorkspaceIn(const QString& documentsFolder, int taxYear);

bool FolderExists(const QString& path);
// Creates the folder with any missing parents; true when it exists afterwards.
bool CreateFolder(const QString& path);

}  // namespace pit::platform
