#pragma once
// This PC as the station network sees it: its host name and how another
// station's host name is reached. The program asks the system; tests and
// several copies on one machine give each copy a name of its own and reach
// every name on the loopback interface.
#include <QString>

class NetHost {
public:
    virtual ~NetHost() = default;
    virtual QString localName() const = 0;
    // What a connection to the named host dials (a name or an address).
    virtual QString addressOf(const QString &host) const = 0;
};

// The system's host name and name resolution. HALVERN_HOST_NAME gives this
// copy another name, HALVERN_HOST_ADDRESSES ("ham1=127.0.0.1,ham2=...")
// addresses for names the resolver does not know.
class SystemNetHost : public NetHost {
public:
    QString localName() const override;
    QString addressOf(const QString &host) const override;
};

// A fixed name, every other host on the loopback interface.
class LoopbackNetHost : public NetHost {
public:
    explicit LoopbackNetHost(QString name) : m_name(std::move(name)) {}
    QString localName() const override { return m_name; }
    QString addressOf(const QString &) const override { return QStringLiteral("127.0.0.1"); }

private:
    QString m_name;
};
