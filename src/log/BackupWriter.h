#pragma once
// The text backup of the log, made without holding the window up: the text
// is made from the mirror in slices of a few thousand records between the
// window's other events, and the finished text is written to its file
// (atomically) on the background thread. A mirror read anew while the text
// is made starts the text again; contacts appended meanwhile are taken
// along, so the file holds the log as it was when the text was finished.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

class LogFollower;
class LogMirror;

class BackupWriter : public QObject {
    Q_OBJECT
public:
    // generation() tells whether the mirror was read anew (its value moves).
    BackupWriter(const LogMirror &mirror, std::function<int()> generation, LogFollower &follower,
                 QObject *parent = nullptr);

    static constexpr int SliceRecords = 5000;

    // Starts writing the backup to path, unless one is being made already.
    void start(const QString &path);
    bool running() const { return m_running; }

signals:
    // The file was written (ok) or not (why).
    void finished(bool ok, const QString &why);

private:
    void slice();
    const LogMirror &m_mirror;
    std::function<int()> m_generation;
    LogFollower &m_follower;
    QString m_path;
    QByteArray m_text;
    int m_next = 1;
    int m_startedGeneration = 0;
    bool m_running = false;
};
