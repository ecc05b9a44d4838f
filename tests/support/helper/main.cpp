// A second copy of the program's log code in its own process, for tests in
// which several copies share one log file.
//   halvern_test_helper insert LOG CALL GRIDR OWNGRID BAND MODE COUNT
//     inserts COUNT contacts CALL<n> one by one through the log store.
//   halvern_test_helper log LOG PREFIX COUNT MODE BAND...
//     prints "ready", waits for one line on its input, then logs PREFIX<n>
//     (grid FN31, own grid FN20) on every BAND for n = 0..COUNT-1 through the
//     binding dupe check and prints "logged L dupes D retried R". An attempt
//     that fails (the log stayed locked too long) is tried again, as the
//     operator would press Enter again; exits 4 when one keeps failing.
#include "log/LogStore.h"
#include "log/Logging.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    QTextStream err(stderr);
    if (a.size() >= 9 && a.at(1) == QLatin1String("insert")) {
        LogStore store;
        QString e;
        if (!store.open(a.at(2), &e)) {
            err << "open: " << e << "\n";
            return 2;
        }
        const int n = a.at(8).toInt();
        for (int i = 0; i < n; ++i) {
            QsoRecord r;
            r.calls = a.at(3) + QString::number(i);
            r.rstr = QStringLiteral("59");
            r.gridr = a.at(4);
            r.rsts = QStringLiteral("59");
            r.grids = a.at(5);
            r.flddate = QStringLiteral("2026/06/13");
            r.fldtime = QStringLiteral("18:00:00");
            r.uband = a.at(6);
            r.umode = a.at(7);
            if (!store.insert(r, &e)) {
                err << "insert: " << e << "\n";
                return 3;
            }
        }
        return 0;
    }
    if (a.size() >= 7 && a.at(1) == QLatin1String("log")) {
        LogStore store;
        QString e;
        if (!store.open(a.at(2), &e)) {
            err << "open: " << e << "\n";
            return 2;
        }
        QTextStream out(stdout);
        out << "ready\n";
        out.flush();
        char go[16];
        if (!std::fgets(go, sizeof go, stdin))
            return 5;
        const int n = a.at(4).toInt();
        int logged = 0, dupes = 0, retried = 0;
        for (int i = 0; i < n; ++i) {
            for (int b = 6; b < a.size(); ++b) {
                QsoRecord r;
                r.calls = a.at(3) + QString::number(i);
                r.rstr = r.rsts = QStringLiteral("59");
                r.gridr = QStringLiteral("FN31");
                r.grids = QStringLiteral("FN20");
                r.flddate = QStringLiteral("2026/06/13");
                r.fldtime = QStringLiteral("18:00:00");
                r.uband = a.at(b);
                r.umode = a.at(5);
                LogAttempt at = logContact(store, r);
                for (int tries = 1; at.outcome == LogAttempt::Failed; ++tries) {
                    if (tries == 20) {
                        err << "log: " << at.error << "\n";
                        return 4;
                    }
                    ++retried;
                    at = logContact(store, r);
                }
                ++(at.outcome == LogAttempt::Logged ? logged : dupes);
            }
        }
        out << "logged " << logged << " dupes " << dupes << " retried " << retried << "\n";
        return 0;
    }
    err << "usage: halvern_test_helper insert LOG CALL GRIDR OWNGRID BAND MODE COUNT\n";
    return 1;
}
