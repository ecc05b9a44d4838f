#pragma once
// A station network of its own in the test process, playing another PC of
// the station on the loopback interface, with a clock that records what it
// was asked to set.
#include "net/StationNetwork.h"
#include "platform/ClockSetter.h"
#include "platform/NetHost.h"

#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

struct FakeClock : ClockSetter {
    std::vector<QDateTime> set;
    QString refusal;
    void setLocalTime(const QDateTime &local, std::function<void(const QString &)> done) override
    {
        if (refusal.isEmpty())
            set.push_back(local);
        done(refusal);
    }
};

struct NetPeer {
    // A PC named `name` whose server is ham1 at serverPort, on band and mode.
    NetPeer(const QString &name, quint16 serverPort, const QString &band, const QString &mode)
        : host(name), net(host, clock, 0, serverPort)
    {
        net.setServerName(QStringLiteral("ham1"));
        QObject::connect(&net, &StationNetwork::logAppended, [this](const QString &t) { log += t; });
        QObject::connect(&net, &StationNetwork::messageArrived, [this](const NetRecords::Message &m, bool here) {
            messages.push_back({m.text, here});
        });
        net.setOwnStatus(band, mode);
        net.enable();
    }
    QString cell(const char *band, int row) const
    {
        const StatusGrid::Cell &c = net.grid().cell(StatusGrid::columnOf(QLatin1String(band)), row);
        return c.occupied ? c.name : QString();
    }
    bool shows(const char *who) const
    {
        for (int c = 0; c < StatusGrid::Columns; ++c)
            for (int r = 0; r < StatusGrid::Rows; ++r)
                if (net.grid().cell(c, r).name == QLatin1String(who))
                    return true;
        return false;
    }
    LoopbackNetHost host;
    FakeClock clock;
    StationNetwork net;
    QString log;
    std::vector<std::pair<QString, bool>> messages;
};

inline bool eventually(const std::function<bool()> &condition) { return QTest::qWaitFor(condition, 10000); }
