#pragma once
// A settlement file named to a second start of the program goes to the
// copy already running, over a local socket in the user's private runtime
// folder (the single-instance guard's), so nobody else can send files to it
// or stand in for it.
#include <QObject>
#include <QString>

class QLocalServer;

namespace pit::platform {

// The running copy's side: listens while it lives.
class HandOverServer : public QObject {
  Q_OBJECT

 public:
  explicit HandOverServer(QString socketPath, QObject* parent = nullptr);
  ~HandOverServer() override;
  // Takes the socket's name; a name left by a copy that ended without
  // cleaning up is taken over (only the holder of the single-instance guard
  // listens). False when the socket cannot be made.
  bool Listen();
  const QString& Path() const { return path_; }

  // The socket's file beside the single-instance guard's lock file.
  static QString DefaultSocketPath();

 signals:
  // A second start handed over `path` (as the second start named it, made
  // absolute against its working folder).
  void fileHandedOver(const QString& path);

 private:
  void Accept();

  QString path_;
  QLocalServer* server_ = nullptr;
};

// The second start's side: sends `path` (made absolute) to the copy that
// listens at `socketPath`. True when that copy took it; false when none
// listens or it did not answer within `timeoutMs`.
bool HandOverFile(const QString& socketPath, const QString& path, int timeoutMs = 3000);

}  // namespace pit::platform
