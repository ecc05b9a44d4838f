#include "support/PgServer.h"

#include "platform/LogEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>
#include <QThread>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <memory>
#include <pwd.h>
#include <unistd.h>

namespace {

const QString SuperUser = QStringLiteral("halvern");

// The newest packaged server version's programs.
QString serverBin()
{
    const QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QStringList found = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(found.begin(), found.end(), [](const QString &a, const QString &b) {
        return a.toInt() > b.toInt();
    });
    for (const QString &v : found) {
        const QString bin = versions.filePath(v + QStringLiteral("/bin"));
        if (QFile::exists(bin + QStringLiteral("/initdb")) && QFile::exists(bin + QStringLiteral("/pg_ctl")))
            return bin;
    }
    return QString();
}

int freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

std::unique_ptr<PgServer> &instance()
{
    static std::unique_ptr<PgServer> server;
    return server;
}

const QString OwnerFile = QStringLiteral("owner.pid");

bool processGone(qint64 pid) { return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

// The postmaster's process id, the first line of postmaster.pid.
qint64 postmasterOf(const QString &data)
{
    QFile f(data + QStringLiteral("/postmaster.pid"));
    return f.open(QIODevice::ReadOnly) ? f.readLine().trimmed().toLongLong() : 0;
}

// The server of this program, for a signal that ends it.
std::atomic<pid_t> postmasterToStop{0};

void stopServerAndEnd(int sig)
{
    // An immediate shutdown; only what is safe inside a signal handler.
    if (const pid_t pm = postmasterToStop.exchange(0); pm > 0)
        ::kill(pm, SIGQUIT);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

} // namespace

int PgServer::removeAbandoned(const QString &parent)
{
    int removed = 0;
    const QDir dir(parent);
    for (const QString &name : dir.entryList({QString::fromLatin1(FolderPrefix) + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString folder = dir.filePath(name);
        QFile owner(folder + u'/' + OwnerFile);
        if (!owner.open(QIODevice::ReadOnly) || !processGone(owner.readAll().trimmed().toLongLong()))
            continue;
        const QString data = folder + QStringLiteral("/data");
        if (const qint64 pm = postmasterOf(data); pm > 0 && !processGone(pm)) {
            // SIGQUIT is the server's immediate shutdown; its children follow.
            if (::kill(static_cast<pid_t>(pm), SIGQUIT) != 0)
                continue; // someone else's server
            for (int i = 0; i < 200 && !processGone(pm); ++i)
                QThread::msleep(25);
        }
        if (QDir(folder).removeRecursively())
            ++removed;
    }
    return removed;
}

void PgServer::watchForSignals()
{
    postmasterToStop = static_cast<pid_t>(postmasterOf(m_data));
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    // Signals the program handles itself are left to it.
    for (const int sig : {SIGINT, SIGTERM, SIGHUP, SIGABRT, SIGSEGV}) {
        struct sigaction now {};
        if (::sigaction(sig, nullptr, &now) == 0 && now.sa_handler == SIG_DFL)
            std::signal(sig, stopServerAndEnd);
    }
}

PgServer &PgServer::get(bool durable)
{
    if (!instance()) {
        instance().reset(new PgServer(durable));
        // Stopped before the application goes away.
        qAddPostRoutine([] { instance().reset(); });
    }
    return *instance();
}

PgServer::PgServer(bool durable)
    : m_dir(QDir::temp().filePath(QString::fromLatin1(FolderPrefix) + QStringLiteral("XXXXXX"))),
      m_durable(durable)
{
    removeAbandoned(QDir::tempPath());
    m_bin = serverBin();
    if (m_bin.isEmpty()) {
        m_why = QStringLiteral("no PostgreSQL server programs in /usr/lib/postgresql/*/bin "
                               "(Debian package postgresql)");
        return;
    }
    if (!m_dir.isValid()) {
        m_why = QStringLiteral("no temporary folder for the server");
        return;
    }
    if (::geteuid() == 0) {
        const passwd *pw = ::getpwnam("postgres");
        if (!pw) {
            m_why = QStringLiteral("running as root and there is no postgres user to run the server");
            return;
        }
        m_asPostgresUser = true;
        if (::chown(QFile::encodeName(m_dir.path()).constData(), pw->pw_uid, pw->pw_gid) != 0) {
            m_why = QStringLiteral("cannot hand the server's folder to the postgres user");
            return;
        }
    }
    {
        QFile owner(m_dir.filePath(OwnerFile));
        if (!owner.open(QIODevice::WriteOnly) || owner.write(QByteArray::number(QCoreApplication::applicationPid())) <= 0) {
            m_why = QStringLiteral("cannot write the server folder's owner file");
            return;
        }
    }
    m_data = m_dir.filePath(QStringLiteral("data"));
    QString out;
    if (!run(m_bin + QStringLiteral("/initdb"),
             {QStringLiteral("-D"), m_data, QStringLiteral("-U"), SuperUser, QStringLiteral("-A"),
              QStringLiteral("trust"), QStringLiteral("-E"), QStringLiteral("UTF8"),
              QStringLiteral("--locale=C.UTF-8"), QStringLiteral("--no-sync")},
             &out)) {
        m_why = QStringLiteral("initdb failed: ") + out;
        return;
    }
    // Another program may take the port between the probe and the start.
    for (int attempt = 0; attempt < 3 && !m_running; ++attempt) {
        m_port = freePort();
        start();
    }
}

PgServer::~PgServer()
{
    postmasterToStop = 0;
    if (m_running)
        run(m_bin + QStringLiteral("/pg_ctl"),
            {QStringLiteral("-D"), m_data, QStringLiteral("-m"), QStringLiteral("immediate"),
             QStringLiteral("-w"), QStringLiteral("stop")});
}

bool PgServer::run(const QString &program, const QStringList &args, QString *output)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setWorkingDirectory(m_dir.path());
    if (m_asPostgresUser)
        p.start(QStringLiteral("runuser"),
                QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), program} + args);
    else
        p.start(program, args);
    const bool finished = p.waitForFinished(60000);
    if (output)
        *output = QString::fromLocal8Bit(p.readAll());
    return finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool PgServer::start()
{
    QStringList settings{QStringLiteral("-c listen_addresses=127.0.0.1"),
                         QStringLiteral("-p %1").arg(m_port), QStringLiteral("-k %1").arg(m_dir.path())};
    if (!m_durable)
        settings << QStringLiteral("-c fsync=off") << QStringLiteral("-c full_page_writes=off");
    QString out;
    m_running = run(m_bin + QStringLiteral("/pg_ctl"),
                    {QStringLiteral("-D"), m_data, QStringLiteral("-l"),
                     m_dir.filePath(QStringLiteral("server.log")), QStringLiteral("-w"),
                     QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("-o"), settings.join(u' '),
                     QStringLiteral("start")},
                    &out);
    if (!m_running)
        m_why = QStringLiteral("the server did not start: ") + out;
    else
        watchForSignals();
    return m_running;
}

bool PgServer::stop()
{
    const bool stopped = run(m_bin + QStringLiteral("/pg_ctl"),
                             {QStringLiteral("-D"), m_data, QStringLiteral("-m"), QStringLiteral("fast"),
                              QStringLiteral("-w"), QStringLiteral("stop")});
    m_running = !stopped;
    if (stopped)
        postmasterToStop = 0;
    return stopped;
}

QString PgServer::url(const QString &database) const
{
    return QStringLiteral("postgresql://%1@127.0.0.1:%2/%3").arg(SuperUser).arg(m_port).arg(database);
}

QString PgServer::newDatabase()
{
    const QString name = QStringLiteral("log%1").arg(++m_databases);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("pgserver"));
        db.setHostName(QStringLiteral("127.0.0.1"));
        db.setPort(m_port);
        db.setUserName(SuperUser);
        db.setDatabaseName(QStringLiteral("postgres"));
        ok = db.open() && QSqlQuery(db).exec(QStringLiteral("CREATE DATABASE ") + name);
        if (!ok)
            qWarning("cannot make a test database: %s", qPrintable(db.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("pgserver"));
    return ok ? url(name) : QString();
}

QString PgServer::newLog()
{
    const QString u = newDatabase();
    QString why;
    if (u.isEmpty() || LogEngine::createLog(u, &why) != LogEngine::Created::New) {
        qWarning("cannot make a test log: %s", qPrintable(why));
        return QString();
    }
    return u;
}
