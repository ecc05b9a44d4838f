#pragma once
// A pair of connected pseudo-terminals made by socat, "dev" for the program
// and "peer" for the device the test plays, for the object's life.
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

struct PtyPair {
    QTemporaryDir dir;
    QProcess socat;
    QString dev = dir.filePath("dev"), peer = dir.filePath("peer");
    bool ready = false;
    PtyPair()
    {
        socat.start("socat", {"pty,raw,echo=0,link=" + dev, "pty,raw,echo=0,link=" + peer});
        ready = QTest::qWaitFor([&] { return QFileInfo::exists(dev) && QFileInfo::exists(peer); }, 5000);
    }
    ~PtyPair()
    {
        socat.terminate();
        socat.waitForFinished(5000);
    }
};
