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
//   halvern_test_helper exec LOG STATEMENT
//     runs one SQL statement on the log.
//   halvern_test_helper changes LOG SEED
//     prints "ready", then for each line N on its input makes N random
//     changes to the log, each committed on its own: contacts added (some
//     dated before the latest), edited (grid, band or time) and deleted;
//     prints "done" after each line.
//   halvern_test_helper key WPM TEXT
//     keys TEXT on RTS of port 1 at WPM (Timer method) through the CW engine;
//     with HALVERN_KEYLINE_RECORD set the edges go to that file.
//   halvern_test_helper keydown-killed
//     keys the CW line of port 1 down and kills itself with SIGTERM.
//   halvern_test_helper ptt-held WAVE
//     plays WAVE as F1 of the voice keyer with push-to-talk on RTS of port 1
//     on a player that never ends, prints "keyed", and waits for SIGINT,
//     SIGTERM or SIGHUP to end it the way the program ends.
#include "log/LogStore.h"
#include "log/Logging.h"
#include "platform/LogEngine.h"
#include "keying/CwKeyer.h"
#include "keying/VoiceKeyer.h"
#include "platform/PortArbiter.h"
#include "platform/TerminationWatch.h"
#include "platform/WavePlayer.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTextStream>
#include <csignal>
#include <cstdlib>
#include <algorithm>
#include <random>
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
// A sound device that never reports the end of a file.
class EndlessPlayer : public WavePlayer {
public:
    void play(const QString &) override { m_playing = true; }
    void stop() override { m_playing = false; }
    bool isPlaying() const override { return m_playing; }

private:
    bool m_playing = false;
};

int pttHeld(const QString &wave)
{
    TerminationWatch termination;
    PortArbiter ports;
    EndlessPlayer player;
    VoiceKeyer keyer(ports, player);
    keyer.settings.pttPort = QStringLiteral("1");
    keyer.settings.waveFiles[0] = wave;
    QObject::connect(&termination, &TerminationWatch::requested, &keyer, [&] {
        keyer.release();
        QCoreApplication::quit();
    });
    keyer.play(VoiceKeyer::F1);
    if (!keyer.pttDown())
        return 2;
    QTextStream(stdout) << "keyed" << Qt::endl;
    return QCoreApplication::exec();
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

int changes(const QString &path, unsigned seed)
{
    QTextStream out(stdout);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(path);
    if (!db.open())
        return 2;
    std::mt19937 rng(seed);
    auto pick = [&rng](const QStringList &from) { return from.at(static_cast<int>(rng() % from.size())); };
    const QStringList bands{"50 M", "144 M", "222 M", "432 M"}, grids{"FN20", "FN31", "FN42", "EM12", "fn31ab"},
        own{"FN20", "FN21"};
    int minute = 0;
    auto time = [&](bool early) {
        const int m = early ? static_cast<int>(rng() % static_cast<unsigned>(minute + 1)) : ++minute;
        return QStringLiteral("%1:%2:00").arg(m / 60 % 24, 2, 10, QChar(u'0')).arg(m % 60, 2, 10, QChar(u'0'));
    };
    auto run = [&db](const QString &sql, const QVariantList &values) {
        QSqlQuery q(db);
        q.prepare(sql);
        for (const QVariant &v : values)
            q.addBindValue(v);
        for (int tries = 0; tries < 100; ++tries)
            if (q.exec())
                return true;
        return false;
    };
    const QString someRow = QStringLiteral("(select rowid from tbllog limit 1 offset ?)");
    auto offset = [&db, &rng] {
        QSqlQuery q(db);
        const int count = q.exec(QStringLiteral("select count(*) from tbllog")) && q.next() ? q.value(0).toInt() : 0;
        return static_cast<int>(rng() % static_cast<unsigned>(std::max(1, count)));
    };
    out << "ready\n";
    out.flush();
    char line[32];
    while (std::fgets(line, sizeof line, stdin)) {
        for (int n = std::atoi(line); n > 0; --n) {
            const unsigned what = rng() % 8;
            bool ok;
            if (what < 4) {
                const QString call = QStringLiteral("K%1%2%3").arg(rng() % 10).arg(QChar(static_cast<char16_t>(u'A' + rng() % 4))).arg(QChar(static_cast<char16_t>(u'A' + rng() % 26)));
                ok = run(QStringLiteral("insert into tblLog values (?,?,?,?,?,?,?,?,?)"),
                         {call, "59", pick(grids), "59", pick(own), "2026/06/13", time(what == 0), pick(bands),
                          rng() % 2 ? "CW" : "PH"});
            } else if (what == 4) {
                ok = run("update tbllog set gridr=? where rowid=" + someRow, {pick(grids), offset()});
            } else if (what == 5) {
                ok = run("update tbllog set uband=?, fldtime=? where rowid=" + someRow, {pick(bands), time(true), offset()});
            } else {
                ok = run("delete from tbllog where rowid=" + someRow, {offset()});
            }
            if (!ok)
                return 3;
        }
        out << "done\n";
        out.flush();
    }
    return 0;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    QTextStream err(stderr), out(stdout);
    if (a.size() == 4 && a.at(1) == QLatin1String("hold"))
        return hold(a.at(2), a.at(3));
    if (a.size() == 4 && a.at(1) == QLatin1String("exec")) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        db.setDatabaseName(a.at(2));
        return db.open() && QSqlQuery(db).exec(a.at(3)) ? 0 : 2;
    }
    if (a.size() == 4 && a.at(1) == QLatin1String("changes"))
        return changes(a.at(2), a.at(3).toUInt());
    if ((a.size() == 4 && a.at(1) == QLatin1String("key")) || (a.size() == 2 && a.at(1) == QLatin1String("keydown-killed")))
        return keying(a);
    if (a.size() == 3 && a.at(1) == QLatin1String("ptt-held"))
        return pttHeld(a.at(2));
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
