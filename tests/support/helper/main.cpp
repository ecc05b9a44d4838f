// A second copy of the program's log code in its own process, for tests in
// which several copies share one log (LOG: a file or a server log's address).
//   halvern_test_helper insert LOG CALL GRIDR OWNGRID BAND MODE COUNT
//     inserts COUNT contacts CALL<n> one by one through the log store.
//   halvern_test_helper log LOG PREFIX COUNT MODE BAND...
//     prints "ready", waits for one line on its input, then logs PREFIX<n>
//     (grid FN31, own grid FN20) on every BAND for n = 0..COUNT-1 through the
//     binding dupe check and prints "logged L dupes D retried R". An attempt
//     that fails (the log stayed locked too long) is tried again, as the
//     operator would press Enter again; exits 4 when one keeps failing.
//   halvern_test_helper key WPM TEXT
//     keys TEXT on RTS of port 1 at WPM (Timer method) through the CW engine;
//     with HALVERN_KEYLINE_RECORD set the edges go to that file.
//   halvern_test_helper keydown-killed
//     keys the CW line of port 1 down and kills itself with SIGTERM.
#include "log/LogStore.h"
#include "log/Logging.h"
#include "platform/LogEngine.h"
#include "keying/CwKeyer.h"
#include "platform/PortArbiter.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTextStream>
#include <csignal>
#include <cstdio>

namespace {
QsoRecord contact(const QString &call, const QString &gridr, const QString &grids, const QString &band,
                  const QString &mode)
{
    const QString r = QStringLiteral("59"), date = QStringLiteral("2026/06/13"), time = QStringLiteral("18:00:00");
    return {call, r, gridr, r, grids, date, time, band, mode};
}

int keying(const QStringList &a)
{
    PortArbiter ports;
    if (a.at(1) == QLatin1String("keydown-killed")) {
        KeyLine *line = ports.open(PortRole::CwKey, KeyLineRequest::serial(1), nullptr);
        if (!line || !line->setKey(true))
            return 2;
        std::raise(SIGTERM);
        return 3;
    }
    CwKeyer keyer(ports);
    keyer.settings.output = KeyingOutput::Rts;
    keyer.settings.port = QStringLiteral("1");
    keyer.settings.wpm = a.at(2);
    keyer.append(a.at(3));
    keyer.sendBuffer();
    return 0;
}
} // namespace

int hold(const QString &path, const QString &how)
{
    QTextStream out(stdout);
    if (LogEngine::isServerLog(path)) {
        // Nobody reads or writes the table until this copy lets go.
        LogEngine server;
        if (!server.open(path) || !server.exec(QStringLiteral("BEGIN"))
            || !server.exec(QStringLiteral("LOCK TABLE tblLog IN ACCESS EXCLUSIVE MODE")))
            return 3;
        out << "ready\n";
        out.flush();
        char go[16];
        const bool gotLine = std::fgets(go, sizeof go, stdin) != nullptr;
        server.rollback();
        return gotLine ? 0 : 5;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(path);
    if (!db.open())
        return 2;
    QSqlQuery q(db);
    const bool held = how == QLatin1String("wal")
                          ? q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) && q.exec(QStringLiteral("BEGIN"))
                                && q.exec(QStringLiteral("SELECT count(*) FROM tblLog")) && q.next()
                          : q.exec(QStringLiteral("BEGIN EXCLUSIVE"));
    if (!held)
        return 3;
    out << "ready\n";
    out.flush();
    char go[16];
    const bool gotLine = std::fgets(go, sizeof go, stdin) != nullptr;
    q.finish();
    QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    return gotLine ? 0 : 5;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    QTextStream err(stderr), out(stdout);
    if (a.size() == 4 && a.at(1) == QLatin1String("hold"))
        return hold(a.at(2), a.at(3));
    if ((a.size() == 4 && a.at(1) == QLatin1String("key")) || (a.size() == 2 && a.at(1) == QLatin1String("keydown-killed")))
        return keying(a);
    const bool insert = a.size() >= 9 && a.at(1) == QLatin1String("insert");
    if (!insert && !(a.size() >= 7 && a.at(1) == QLatin1String("log"))) {
        err << "usage: halvern_test_helper insert LOG CALL GRIDR OWNGRID BAND MODE COUNT\n"
               "       halvern_test_helper log LOG PREFIX COUNT MODE BAND...\n"
               "       halvern_test_helper hold LOG wal|exclusive (wal: files only)\n";
        return 1;
    }
    LogStore store;
    QString e;
    if (!store.open(a.at(2), &e)) {
        err << "open: " << e << "\n";
        return 2;
    }
    if (insert) {
        // A contact the log refused for a moment (another copy held it
        // locked longer than the wait) is tried again, as the operator would.
        for (int i = 0; i < a.at(8).toInt(); ++i) {
            const QsoRecord r = contact(a.at(3) + QString::number(i), a.at(4), a.at(5), a.at(6), a.at(7));
            for (int tries = 1; !store.insert(r, &e); ++tries) {
                if (tries == 20) {
                    err << "insert: " << e << "\n";
                    return 3;
                }
            }
        }
        return 0;
    }
    out << "ready\n";
    out.flush();
    char go[16];
    if (!std::fgets(go, sizeof go, stdin))
        return 5;
    int logged = 0, dupes = 0, retried = 0;
    for (int i = 0; i < a.at(4).toInt(); ++i) {
        for (int b = 6; b < a.size(); ++b) {
            const QsoRecord r = contact(a.at(3) + QString::number(i), QStringLiteral("FN31"), QStringLiteral("FN20"),
                                        a.at(b), a.at(5));
            LogAttempt at = logContact(store, r);
            for (int tries = 1; at.outcome == LogAttempt::Failed; ++tries, ++retried) {
                if (tries == 20) {
                    err << "log: " << at.error << "\n";
                    return 4;
                }
                at = logContact(store, r);
            }
            ++(at.outcome == LogAttempt::Logged ? logged : dupes);
        }
    }
    out << "logged " << logged << " dupes " << dupes << " retried " << retried << "\n";
    return 0;
}
