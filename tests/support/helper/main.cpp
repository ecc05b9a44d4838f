// A second copy of the program's log code in its own process, for tests in
// which several copies share one log file.
//   halvern_test_helper insert LOG CALL GRIDR OWNGRID BAND MODE COUNT
//     inserts COUNT contacts CALL<n> one by one through the log store.
#include "log/LogStore.h"

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
    err << "usage: halvern_test_helper insert LOG CALL GRIDR OWNGRID BAND MODE COUNT\n";
    return 1;
}
