#pragma once
// The configuration file "pit2014.ini", one section "PIT" with the keys
// "Run", "Path", "Ver", "AutoUpdate" and "UpdateServer". It lives in the
// user's own configuration folder: a file another user owns (or a link) is
// neither read nor written, so no one else can point the update check at a
// server of theirs. Without a usable file the keys read as missing.
#include <QString>
#include <utility>

namespace pit::platform {

constexpr const char* kConfigFileName = "pit2014.ini";

class Config {
 public:
  explicit Config(QString path) : path_(std::move(path)) {}
  // <configuration folder>/pit2014.ini. A pit2014.ini of the user's own in
  // the temporary folder, where earlier versions kept it, is moved there
  // first when the folder has none yet.
  static QString DefaultPath();
  // Whether the file may be read and written: the user's own, or missing
  // in a folder that is.
  bool Usable() const;
  const QString& Path() const { return path_; }

  // At the first start ("Run" missing or false) writes "Run", "Path", "Ver"
  // and "AutoUpdate"; later starts leave the file alone. True when written.
  bool WriteFirstStartKeys(const QString& programFolder, const QString& version);

  bool Run() const;
  QString ProgramPath() const;
  QString Version() const;
  bool AutoUpdate() const;
  void SetAutoUpdate(bool on);
  // "UpdateServer": the update server's address with its scheme; empty
  // when the key is missing (the maker's server over https).
  QString UpdateServer() const;

 private:
  QString path_;
};

}  // namespace pit::platform
