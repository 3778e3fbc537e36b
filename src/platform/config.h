#pragma once
// The configuration file "pit2014.ini" in the temporary folder, one section
// "PIT" with the keys "Run", "Path", "Ver" and "AutoUpdate".
#include <QString>
#include <utility>

namespace pit::platform {

constexpr const char* kConfigFileName = "pit2014.ini";

class Config {
 public:
  explicit Config(QString path) : path_(std::move(path)) {}
  // <temporary folder>/pit2014.ini
  static QString DefaultPath();
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
