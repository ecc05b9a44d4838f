#pragma once
// A key line without a device: it stamps every edge with the monotonic clock
// (nanoseconds) and keeps it, and when given a file writes each edge there as
// one line "<ns> <name> <1|0>" (1 down, 0 up). Timing can so be checked
// without a radio; the program uses it in place of every device when the
// HALVERN_KEYLINE_RECORD variable names a file.
#include "platform/KeyLine.h"

#include <QString>
#include <functional>
#include <vector>

struct KeyEdge {
    qint64 ns = 0;
    bool down = false;
};

class RecordingKeyLine : public KeyLine {
public:
    // name: "KEY" for the CW key, "PTT" for push-to-talk. With a file path
    // the edges go to the file (appended) instead of memory.
    explicit RecordingKeyLine(const QString &name = QStringLiteral("KEY"),
                              const QString &filePath = QString());
    ~RecordingKeyLine() override;

    bool setKey(bool down) override;
    QString device() const override;

    const std::vector<KeyEdge> &edges() const { return m_edges; }
    void clear() { m_edges.clear(); }
    // Called after each edge is stamped (tests act between two edges).
    std::function<void(const KeyEdge &)> onEdge;

    // The variable that turns recording on, and the file it names (empty
    // when unset).
    static const char *const EnvironmentVariable;
    static QString fileFromEnvironment();

private:
    QString m_name;
    QByteArray m_nameBytes;
    QString m_path;
    int m_fd = -1;
    int m_safetySlot = -1;
    std::vector<KeyEdge> m_edges;
};
