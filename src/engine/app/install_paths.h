#pragma once
// Where the program finds what it ships and where it keeps what it derives.
// The build tree lays the data folders (dc, bib, alg, pomoc, Pomoc, icon)
// beside the executables; an installed program has them under
// <prefix>/share/pit2014 with the executables in <prefix>/bin. Both
// programs work from either without a wrapper, and neither writes beside
// its executables: derived files go to the user's cache folder.
#include <string>

namespace pit {

// The folder holding the data folders for executables in `executableFolder`:
// the folder itself when it has a "dc" folder (build tree), else
// "../share/pit2014" when that has one (installed), else the folder itself
// so that messages name the place the user would look first.
std::string DataFolderFor(const std::string& executableFolder);

// The user's cache folder of the program: $XDG_CACHE_HOME/pit2014, or
// $HOME/.cache/pit2014; empty when neither variable gives an absolute path.
// Not created here.
std::string UserCacheFolder();

// Where the dictionary caches built from the sources in `bibFolder` live:
// a folder of the user's cache named after the source folder and the size
// and time of its sources, so that two installations never share a cache
// and an upgraded source, whatever its time stamp, never meets the cache of
// the one it replaced. Created owner-only; empty when it cannot be made
// (the dictionaries are then read from their sources every time).
std::string DictionaryCacheFolder(const std::string& bibFolder);

}  // namespace pit
