#pragma once
// The hold after a refused dupe: for three seconds the keys typed into the
// call field wait, in order, and are then replayed to whichever field has
// the focus, so the operator's next call is neither lost nor logged early.
#include <QDateTime>
#include <QObject>
#include <vector>

class QKeyEvent;
class QTimer;
class QWidget;

class DupeKeyHold : public QObject {
    Q_OBJECT
public:
    // Keys are replayed to the focused widget, or to `fallback` when none has it.
    explicit DupeKeyHold(QWidget *fallback);

    // A dupe was refused now: the hold begins.
    void start();
    // Whether a key must be held rather than handled now.
    bool holds() const { return !m_replaying && (m_active || !m_keys.empty()); }
    // Keeps the key for later; replays at once when the hold is already over.
    void hold(const QKeyEvent *e);

private:
    void release();

    QWidget *m_fallback;
    QTimer *m_timer;
    QDateTime m_start;
    bool m_active = false;
    bool m_replaying = false;
    struct Key {
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;
    };
    std::vector<Key> m_keys;
};
