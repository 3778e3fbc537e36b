#pragma once
// What the user typed survives a crash, a kill or a power cut: while the
// open settlement has changes that are not saved, a copy of it is kept in a
// folder of the user's own (the state folder, 0700; the copy 0600), never
// over the user's file. It is written in the background when a burst of
// commits has ended and, while the user keeps committing, at the latest
// every 30 seconds. A save, a clean close of the settlement or the program,
// or an undo back to what is saved removes it. At the next start the window
// offers it back with the time it was taken.
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class QThreadPool;

namespace pit::ui {

struct AppContext;

class RecoveryCopy : public QObject {
  Q_OBJECT

 public:
  // What a copy left by a program that did not end cleanly holds.
  struct Found {
    QString copyPath;      // the settlement as it was, in the .dc2014 format
    QString documentPath;  // the user's file it belongs to; empty: never saved
    QString documentName;  // as the caption showed it
    QDateTime taken;       // when the copy was written (local time)
  };

  // `folder` empty: DefaultFolder().
  RecoveryCopy(AppContext& ctx, QString folder = QString(), QObject* parent = nullptr);
  ~RecoveryCopy() override;

  // $XDG_STATE_HOME/pit2014, or ~/.local/state/pit2014.
  static QString DefaultFolder();
  const QString& Folder() const { return folder_; }
  QString CopyPath() const;
  QString InfoPath() const;

  // The settlement changed: a copy follows when the changes pause (a burst
  // of commits has ended), at the latest kLongestWaitMs after the first
  // change not in the copy yet.
  void Changed();
  // The copy is not needed any more (saved, closed, replaced).
  void Discard();
  // The copy of the settlement as it stands now, written before returning.
  void WriteNow();
  // A copy left behind, when there is one that can be offered.
  std::optional<Found> Find() const;

  static constexpr int kBurstPauseMs = 1500;
  static constexpr int kLongestWaitMs = 30000;

 private:
  void Write();
  bool PrepareFolder() const;
  bool CopyIsOpen() const;

  AppContext& ctx_;
  QString folder_;
  QTimer pause_;
  QTimer longest_;
  std::unique_ptr<QThreadPool> writer_;
  // Writes and removals in the order the user made them: a write taken
  // before a removal never lands after it.
  std::shared_ptr<std::mutex> fileMutex_;
  std::shared_ptr<std::uint64_t> generation_;
};

}  // namespace pit::ui
