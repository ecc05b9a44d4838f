#include "spots/BandPlan.h"

#include "log/Folders.h"
#include "platform/AtomicFile.h"
#include "platform/SeqFile.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <algorithm>
#include <cmath>

BandPlan BandPlan::parse(const QByteArray &data)
{
    BandPlan plan;
    SeqReader r(data);
    plan.effective = r.nextText().value_or(QString()).trimmed();
    while (r.remaining() >= 5) {
        BandPlanRow row;
        row.band = r.nextText()->trimmed();
        const QString licence = r.nextText()->trimmed().toUpper();
        row.licence = licence.isEmpty() ? QChar() : licence.at(0);
        row.mode = r.nextText()->trimmed().toUpper();
        const auto lower = r.nextNumber(), upper = r.nextNumber();
        if (!lower || !upper || !std::isfinite(*lower) || !std::isfinite(*upper) || std::abs(*lower) > 1e6 ||
            std::abs(*upper) > 1e6)
            break;
        if (plan.rows.size() >= MaxRows)
            break;
        row.lowerHz = std::llround(*lower * 1e6);
        row.upperHz = std::llround(*upper * 1e6);
        plan.rows << row;
    }
    return plan;
}

BandPlan BandPlan::read(const QString &file)
{
    const auto f = WholeFile::read(file, WholeFile::SettingsLimit);
    return f.ok() ? parse(f.data) : BandPlan{};
}

QString BandPlan::path() { return QDir(Folders::workDir()).filePath(QStringLiteral("BandPlan.txt")); }

bool BandPlan::install(QString *error)
{
    if (QFile::exists(path()))
        return true;
    QFile shipped(QStringLiteral(":/BandPlan.txt"));
    if (!shipped.open(QIODevice::ReadOnly)) {
        if (error)
            *error = shipped.errorString();
        return false;
    }
    return writeFileAtomically(path(), shipped.readAll(), error);
}

QString BandPlan::rigModeFor(qint64 hz) const
{
    for (const BandPlanRow &r : rows) {
        if (r.licence != QLatin1Char('E') || !(r.lowerHz < hz && hz < r.upperHz))
            continue;
        if (r.band == QLatin1String("160"))
            return {};
        if (r.mode != QLatin1String("PH"))
            return r.mode;
        const bool lower = r.band == QLatin1String("80") || r.band == QLatin1String("60") ||
                           r.band == QLatin1String("40");
        return lower ? QStringLiteral("LSB") : QStringLiteral("USB");
    }
    return {};
}

QString privilegeMHzText(qint64 hz)
{
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    return english.toString(double(hz) / 1e6, 'f', 3);
}

QList<PrivilegeBar> BandPlan::chart(QChar licence) const
{
    QList<PrivilegeBar> bars;
    for (const BandPlanRow &band : rows) {
        if (band.licence != QLatin1Char('O') || band.upperHz <= band.lowerHz)
            continue;
        PrivilegeBar bar;
        bar.band = band.band;
        bar.toolTip = band.band + QStringLiteral("  ") + privilegeMHzText(band.lowerHz) + QStringLiteral(" - ") +
                      privilegeMHzText(band.upperHz);
        const double span = double(band.upperHz - band.lowerHz);
        for (const BandPlanRow &r : rows) {
            if (r.licence != licence || r.band != band.band)
                continue;
            PrivilegeSegment s;
            // A segment that reaches past its band is cut at the bar's ends.
            const qint64 lo = std::clamp(r.lowerHz, band.lowerHz, band.upperHz);
            const qint64 hi = std::clamp(r.upperHz, band.lowerHz, band.upperHz);
            s.start = double(lo - band.lowerHz) / span;
            s.width = double(std::max<qint64>(hi - lo, 0)) / span;
            s.caption = privilegeMHzText(r.lowerHz) + QStringLiteral(" - ") + privilegeMHzText(r.upperHz);
            s.cw = r.mode == QLatin1String("CW");
            s.toolTip = (s.cw ? QStringLiteral("CW  ") : QStringLiteral("PH  ")) + s.caption;
            bar.segments << s;
        }
        bars << bar;
    }
    return bars;
}
