#include "platform/ComputerBrowser.h"

#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>

namespace {
const QString Service = QStringLiteral("org.freedesktop.Avahi");
const QString ServerInterface = QStringLiteral("org.freedesktop.Avahi.Server");
const QString BrowserInterface = QStringLiteral("org.freedesktop.Avahi.ServiceBrowser");
const QString GroupInterface = QStringLiteral("org.freedesktop.Avahi.EntryGroup");
constexpr int AnyInterface = -1;
constexpr int AnyProtocol = -1;
} // namespace

const QString ComputerBrowser::LoggerService = QStringLiteral("_halvern._tcp");

ComputerBrowser::ComputerBrowser(const QDBusConnection &bus, QObject *parent) : QObject(parent), m_bus(bus)
{
    // The text records of an announced service travel as an array of byte arrays.
    qDBusRegisterMetaType<QList<QByteArray>>();
    m_deadline = new QTimer(this);
    m_deadline->setSingleShot(true);
    m_deadline->setInterval(3000);
    connect(m_deadline, &QTimer::timeout, this, &ComputerBrowser::finish);
    // Subscribed before any browser exists, so that no early item is missed.
    m_bus.connect(Service, QString(), BrowserInterface, QStringLiteral("ItemNew"), this,
                  SLOT(itemNew(QDBusMessage)));
    m_bus.connect(Service, QString(), BrowserInterface, QStringLiteral("AllForNow"), this,
                  SLOT(allForNow(QDBusMessage)));
    m_bus.connect(Service, QString(), BrowserInterface, QStringLiteral("Failure"), this,
                  SLOT(allForNow(QDBusMessage)));
}

ComputerBrowser::~ComputerBrowser()
{
    freeBrowsers();
    if (!m_entryGroup.isEmpty())
        m_bus.send(QDBusMessage::createMethodCall(Service, m_entryGroup, GroupInterface, QStringLiteral("Free")));
}

void ComputerBrowser::browse()
{
    freeBrowsers();
    m_names.clear();
    const QStringList types = {QStringLiteral("_workstation._tcp"), QStringLiteral("_smb._tcp"), LoggerService};
    // Each type ends with its browser's "all for now", or with a refused browser.
    m_pending = static_cast<int>(types.size());
    m_deadline->start();
    const quint64 search = ++m_search;
    for (const QString &type : types) {
        QDBusMessage call = QDBusMessage::createMethodCall(Service, QStringLiteral("/"), ServerInterface,
                                                           QStringLiteral("ServiceBrowserNew"));
        call << AnyInterface << AnyProtocol << type << QString() << 0u;
        auto *w = new QDBusPendingCallWatcher(m_bus.asyncCall(call, 2000), this);
        connect(w, &QDBusPendingCallWatcher::finished, this, [this, w, search] {
            w->deleteLater();
            const QDBusPendingReply<QDBusObjectPath> reply = *w;
            if (search != m_search || !m_deadline->isActive()) {
                if (!reply.isError())
                    m_bus.send(QDBusMessage::createMethodCall(Service, reply.value().path(), BrowserInterface,
                                                              QStringLiteral("Free")));
                return;
            }
            if (reply.isError()) {
                if (--m_pending <= 0)
                    finish();
                return;
            }
            m_browsers << reply.value().path();
        });
    }
}

void ComputerBrowser::add(const QString &serviceName)
{
    // A workstation announces itself as "name [mac address]".
    QString name = serviceName;
    const qsizetype bracket = name.lastIndexOf(QLatin1String(" ["));
    if (bracket > 0 && name.endsWith(u']'))
        name.truncate(bracket);
    name = name.trimmed();
    if (name.isEmpty() || m_names.contains(name, Qt::CaseInsensitive) || m_names.size() >= MaxNames)
        return;
    m_names << name;
}

void ComputerBrowser::itemNew(const QDBusMessage &message)
{
    const QVariantList args = message.arguments();
    if (!m_browsers.contains(message.path()) || args.size() < 3)
        return;
    add(args.at(2).toString());
}

void ComputerBrowser::allForNow(const QDBusMessage &message)
{
    if (!m_browsers.contains(message.path()))
        return;
    if (--m_pending <= 0)
        finish();
}

void ComputerBrowser::finish()
{
    m_deadline->stop();
    freeBrowsers();
    m_pending = 0;
    emit found(m_names);
}

void ComputerBrowser::freeBrowsers()
{
    for (const QString &path : std::as_const(m_browsers))
        m_bus.send(QDBusMessage::createMethodCall(Service, path, BrowserInterface, QStringLiteral("Free")));
    m_browsers.clear();
}

void ComputerBrowser::announce(const QString &name, quint16 port)
{
    auto addService = [this, name, port] {
        QDBusMessage reset =
            QDBusMessage::createMethodCall(Service, m_entryGroup, GroupInterface, QStringLiteral("Reset"));
        QDBusMessage add =
            QDBusMessage::createMethodCall(Service, m_entryGroup, GroupInterface, QStringLiteral("AddService"));
        add << AnyInterface << AnyProtocol << 0u << name << LoggerService << QString() << QString()
            << QVariant::fromValue(port) << QVariant::fromValue(QList<QByteArray>());
        // Calls on one connection are carried out in the order sent.
        m_bus.send(reset);
        m_bus.send(add);
        m_bus.send(QDBusMessage::createMethodCall(Service, m_entryGroup, GroupInterface, QStringLiteral("Commit")));
    };
    if (!m_entryGroup.isEmpty()) {
        addService();
        return;
    }
    auto *w = new QDBusPendingCallWatcher(
        m_bus.asyncCall(QDBusMessage::createMethodCall(Service, QStringLiteral("/"), ServerInterface,
                                                       QStringLiteral("EntryGroupNew")),
                        2000),
        this);
    connect(w, &QDBusPendingCallWatcher::finished, this, [this, w, addService] {
        w->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *w;
        if (reply.isError())
            return;
        m_entryGroup = reply.value().path();
        addService();
    });
}
