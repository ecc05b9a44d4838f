// The spot store on a fixed clock: what the band map makes of it (scale,
// labels, age colours), eviction, re-spots, the own-call warning and the
// prefixes shown on the labels.
#include "platform/Clock.h"
#include "spots/SpotStore.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {
const QDateTime Start(QDate(2026, 6, 13), QTime(14, 0, 0));

struct FixedClock {
    FixedClock() { Clock::setFixed(Start, Start.addSecs(4 * 3600)); }
    ~FixedClock() { Clock::useSystem(); }
};

QString spotRecord(const QString &call, const QString &khz)
{
    return QStringLiteral("de W3LPL:     %1  %2").arg(khz, 8).arg(call, -13) + QStringLiteral("CW 599");
}

void add(SpotStore &s, const QString &call, const QString &khz) { s.add(call, khz, spotRecord(call, khz)); }
} // namespace

TEST(SpotStore, CallPrefixes)
{
    const std::pair<const char *, const char *> cases[] = {
        {"JA1XYZ", "JA1"}, {"K1ABC", "K1"},   {"4X4AB", "4X4"}, {"VE3/K1ABC", "VE3"},
        {"K1ABC/P", "P"},  {"K1ABC/4", "K4"}, {"K1", ""},       {"ABCD", "ABCD"},
    };
    for (const auto &[call, prefix] : cases)
        EXPECT_EQ(SpotMap::callPrefix(QLatin1String(call)), QLatin1String(prefix)) << call;
}

TEST(SpotStore, ScaleOfTheBandMap)
{
    FixedClock clock;
    struct Case {
        const char *band;
        QStringList khz;
        QStringList marks; // the ends, or all five
    };
    const Case cases[] = {
        {"144 M", {"144200", "144300"}, {"144.199", "144.301"}},
        {"144 M", {"144200"}, {"144.000", "145.000", "146.000", "147.000", "148.000"}},
        {"144 M", {"144200", "144200.0"}, {"144.000", "148.000"}},
        {"432 M", {"144200", "432100", "50125"}, {"420.000", "427.500", "435.000", "442.500", "450.000"}},
        {"24 G", {"24048000"}, {"0.000", "0.000"}},
    };
    for (const Case &c : cases) {
        SpotStore s;
        for (int i = 0; i < c.khz.size(); ++i)
            add(s, QStringLiteral("K%1ABC").arg(i), c.khz[i]);
        const SpotMap::Scale scale = SpotMap::scale(QLatin1String(c.band), s);
        QStringList marks;
        for (int k = 0; k < 5; k += c.marks.size() == 2 ? 4 : 1)
            marks << scale.markText(k);
        EXPECT_EQ(marks, c.marks) << c.band << " " << c.khz.join(u' ').toStdString();
    }
}

TEST(SpotStore, AgesEvictionRespotsAndRemoval)
{
    FixedClock clock;
    SpotStore s;
    QSignalSpy changed(&s, &SpotStore::spotsChanged);
    // Arrivals 65, 25 and 5 minutes before the map is drawn.
    add(s, "W1OLD", "144150");
    Clock::advance(40 * 60 * 1000);
    add(s, "W2MID", "144160");
    Clock::advance(20 * 60 * 1000);
    add(s, "W3NEW", "144170");
    Clock::advance(5 * 60 * 1000);
    auto drawn = [&] {
        QStringList out;
        const auto labels = SpotMap::labels(s, SpotMap::scale("144 M", s), Clock::localNow(), 4);
        for (const auto &l : labels)
            out << l.caption + u' ' + l.colour.name();
        return out;
    };
    EXPECT_EQ(drawn(), (QStringList{"W3 #ffff80", "W2 #ffffff"}));
    const auto first = SpotMap::labels(s, SpotMap::scale("144 M", s), Clock::localNow(), 4).first();
    EXPECT_EQ(first.toolTip, "W3NEW  144.170  19:00:00");
    EXPECT_EQ(changed.count(), 3);

    // The same call again: only the newer shows.
    add(s, "W2MID", "144180");
    EXPECT_EQ(s.at(SpotStore::Size - 3).mhz, 0.0f);
    EXPECT_EQ(drawn(), (QStringList{"W2 #ffff80", "W3 #ffff80"}));
    // A left click takes it off.
    s.remove(SpotStore::Size - 1);
    EXPECT_EQ(drawn(), (QStringList{"W3 #ffff80"}));

    // 47 more: the first spot is the 51st back and has gone.
    for (int i = 0; i < 47; ++i)
        add(s, QStringLiteral("N%1X").arg(i), "50100");
    EXPECT_EQ(s.at(0).call, "W2MID");
    add(s, "N99X", "50100");
    EXPECT_EQ(s.at(0).call, "W3NEW");
    EXPECT_EQ(s.at(SpotStore::Size - 1).call, "N99X");
}

TEST(SpotStore, OwnCallSpottedEvenWithAGarbledFrequency)
{
    FixedClock clock;
    SpotStore s;
    s.setOwnCall("K1ABC");
    QSignalSpy warned(&s, &SpotStore::ownCallSpotted);
    QSignalSpy changed(&s, &SpotStore::spotsChanged);
    EXPECT_FALSE(s.add("k1abc", "14O25.0", "de W3LPL:  14O25.0  k1abc\rtrailer"));
    ASSERT_EQ(warned.count(), 1);
    EXPECT_EQ(warned.at(0).at(0).toString(), "de W3LPL:  14O25.0  k1abc\rtrailer");
    EXPECT_EQ(changed.count(), 0);
    EXPECT_TRUE(s.add("W1AW", "144200.5", spotRecord("W1AW", "144200.5")));
    EXPECT_EQ(warned.count(), 1);
    EXPECT_FLOAT_EQ(s.at(SpotStore::Size - 1).mhz, 144.2005f);
}

TEST(SpotStore, ListColumnsOfAClusterLine)
{
    // The columns as a cluster lays out its spot line, after "DX ".
    const QString line = QStringLiteral(
        "DX de W3LPL:    144200.0  K1ABC        CW 599 loud tropo              1234Z FM19");
    const QString record = line.mid(3).trimmed();
    const QStringList columns = SpotMap::listColumns(record);
    EXPECT_EQ(columns.at(2), "de W3LPL:  CW 599 loud tropo");
    EXPECT_EQ(columns.at(4), "1234");
    EXPECT_EQ(columns.at(5), "FM19");
    // A short record gives empty columns, not a fault.
    EXPECT_EQ(SpotMap::listColumns("de X:").at(4), "");
}
