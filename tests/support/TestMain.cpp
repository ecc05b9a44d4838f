// Test entry point: a QApplication on the offscreen platform, so that windows
// can be driven without a display, and a home of its own for each run so that
// no test reads or writes the user's files. The station network of a test's
// windows listens on a free port, never sets the real clock and announces
// nothing on the local network.
#include "app/StationNetworking.h"
#include "platform/ClockSetter.h"
#include "platform/SettingsStore.h"
#include "support/Waves.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
class RefusingClock : public ClockSetter {
public:
    void setLocalTime(const QDateTime &, std::function<void(const QString &)> done) override
    {
        done(QStringLiteral("not in tests"));
    }
};
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                   : qgetenv("QT_QPA_PLATFORM"));
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
    qputenv("XDG_DOCUMENTS_DIR", (home.path() + "/Documents").toUtf8());
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    SettingsStore::set(QStringLiteral("NetworkPort"), QStringLiteral("0"));
    RefusingClock refusingClock;
    // No computer list and no announcement from a test either.
    const QDBusConnection noBus(QStringLiteral("no bus"));
    StationNetworking::usePlatform(nullptr, &refusingClock, &noBus);
    // Windows play their sounds on a player that plays nothing and is done
    // at once, unless a test plugs in its own.
    useSilentPlayers();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
