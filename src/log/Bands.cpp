#include "log/Bands.h"

namespace {
// clang-format off
const std::array<BandRow, Bands::Count> rows{{
    {"50 M",  "mnu160",  "50 MHz",  "lbl160",  "lbl50",  49.9999f,  54.0001f,  "50",  "6M"},
    {"144 M", "mnu80",   "144 MHz", "lbl80",   "lbl144", 143.9999f, 148.0001f, "144", "2M"},
    {"222 M", "mnu40",   "222 MHz", "lbl40",   "lbl222", 218.9999f, 225.0001f, "222", "1.25M"},
    {"432 M", "mnu20",   "432 MHz", "lbl20",   "lbl432", 419.9999f, 450.0001f, "432", "70CM"},
    {"902 M", "mnu15",   "902 MHz", "lbl15",   "lbl902", 901.9999f, 928.0001f, "902", "33CM"},
    {"1.3 G", "mnu10",   "1.3 GHz", "lbl100",  "lbl13",  1239.9999f, 1300.0001f, "1.2", "23CM"},
    {"2.3 G", "mnu23",   "2.3 GHz", "Label15", "lbl23",  2300.0f,   2450.0f,   "2.3", "13CM"},
    {"3.5 G", "mnu35",   "3.5 GHz", "Label17", "lbl35",  3300.0f,   3500.0f,   "3.4", "9CM"},
    {"5.8 G", "mnu58",   "5.8 GHz", "Label18", "lbl58",  5650.0f,   5925.0f,   "5.7", "6CM"},
    {"10 G",  "mnu10g",  "10 GHz",  "Label19", "lbl10",  10000.0f,  10500.0f,  "10",  "3CM"},
    {"24 G",  "mnu24g",  "24 GHz",  nullptr,   nullptr,  0.0f,      0.0f,      "24",  "1.25CM"},
    {"47 G",  "mnu47g",  "47 GHz",  nullptr,   nullptr,  0.0f,      0.0f,      "47",  "6MM"},
    {"75 G",  "mnu75g",  "75 GHz",  nullptr,   nullptr,  0.0f,      0.0f,      "75",  "4MM"},
    {"120 G", "mnu120g", "120 GHz", nullptr,   nullptr,  0.0f,      0.0f,      "120", "2.5MM"},
    {"142 G", "mnu142g", "142 GHz", nullptr,   nullptr,  0.0f,      0.0f,      "142", "2MM"},
    {"241 G", "mnu241g", "241 GHz", nullptr,   nullptr,  0.0f,      0.0f,      "241", "1MM"},
    // ADIF's band for 300 GHz is "submm" (300 GHz to 7500 GHz).
    {"300 G", "mnu300g", "300 GHz", nullptr,   nullptr,  0.0f,      0.0f,      "300", "SUBMM"},
}};
// clang-format on
} // namespace

namespace Bands {

const std::array<BandRow, Count> &table() { return rows; }

const BandRow &row(int index) { return rows.at(static_cast<size_t>(index)); }

int indexOf(const QString &label)
{
    for (int i = 0; i < Count; ++i)
        if (label.compare(QLatin1String(rows[i].label), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString label(int index) { return QString::fromLatin1(row(index).label); }

std::optional<QString> labelNamed(const QString &text)
{
    auto compact = [](const QString &t) {
        QString out;
        for (const QChar c : t)
            if (!c.isSpace())
                out.append(c.toUpper());
        return out;
    };
    const QString t = compact(text);
    if (t.isEmpty())
        return std::nullopt;
    for (const BandRow &r : rows) {
        const QString label = QString::fromLatin1(r.label);
        // The label, the menu caption, or the bare number of the label.
        if (t == compact(label) || t == compact(QString::fromLatin1(r.menuCaption))
            || t == label.section(u' ', 0, 0))
            return label;
    }
    return std::nullopt;
}

QString cabrillo(const QString &label)
{
    const int i = indexOf(label);
    return i < 0 ? QString() : QString::fromLatin1(rows[i].cabrillo);
}

QString adif(const QString &label)
{
    const int i = indexOf(label);
    return i < 0 ? QString() : QString::fromLatin1(rows[i].adif);
}

QString labelForFrequency(float mhz)
{
    QString result;
    for (int i = 0; i < PanelCount; ++i) {
        const BandRow &r = rows[i];
        if (r.lowMHz < mhz && mhz < r.highMHz)
            result = QString::fromLatin1(r.label);
    }
    return result;
}

bool same(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

} // namespace Bands
