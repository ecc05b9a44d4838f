#pragma once
// The computers of the local network, as they announce themselves through
// Avahi (mDNS/DNS-SD over D-Bus): workstations, SMB shares and copies of this
// logger. It also announces this PC's network listener the same way, so that
// the others see which PCs run the logger. Without a running Avahi daemon the
// list is empty and nothing is announced.
#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>

class QTimer;

class ComputerBrowser : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxNames = 50;
    static const QString LoggerService;

    explicit ComputerBrowser(const QDBusConnection &bus = QDBusConnection::systemBus(), QObject *parent = nullptr);
    ~ComputerBrowser() override;

    // Starts a search; found() follows once every service type has been
    // listed, after three seconds at most, and as soon as Avahi is found
    // missing.
    void browse();
    // Announces this PC's listener under the station's name.
    void announce(const QString &name, quint16 port);

signals:
    void found(const QStringList &names);

private slots:
    void itemNew(const QDBusMessage &message);
    void allForNow(const QDBusMessage &message);

private:
    void add(const QString &name);
    void finish();
    void freeBrowsers();

    QDBusConnection m_bus;
    QStringList m_browsers;
    int m_pending = 0;
    quint64 m_search = 0;
    QStringList m_names;
    QTimer *m_deadline = nullptr;
    QString m_entryGroup;
};
