#include "net/StatusGrid.h"

#include "log/Bands.h"

void StatusGrid::clear()
{
    for (auto &column : m_cells)
        for (Cell &c : column)
            c = Cell{};
}

void StatusGrid::clearStation(const QString &name)
{
    for (auto &column : m_cells)
        for (Cell &c : column)
            if (c.occupied && c.name.compare(name, Qt::CaseInsensitive) == 0)
                c = Cell{};
}

int StatusGrid::columnOf(const QString &band)
{
    const int i = Bands::indexOf(band.trimmed());
    return i >= 0 && i < Columns ? i : -1;
}

int StatusGrid::rowOf(const QString &mode)
{
    const QString m = mode.trimmed().toUpper();
    if (m == QLatin1String("PH"))
        return Phone;
    if (m == QLatin1String("CW"))
        return Cw;
    if (m == QLatin1String("DIG"))
        return Digital;
    return -1;
}

void StatusGrid::place(const QString &name, const QString &band, const QString &mode)
{
    const int column = columnOf(band);
    const int row = rowOf(mode);
    if (column < 0 || row < 0)
        return;
    m_cells[column][row] = Cell{name, true};
}

QString StatusGrid::alsoOperatingWarning(const QString &band, const QString &ownName) const
{
    const int column = columnOf(band);
    if (column < 0)
        return QString();
    static const char *const endings[Rows] = {" SSB!", " on CW!", " on digital!"};
    QString warning;
    for (int row = 0; row < Rows; ++row) {
        const Cell &c = m_cells[column][row];
        if (c.occupied && !c.name.contains(ownName, Qt::CaseInsensitive))
            warning = QStringLiteral("Be careful, ") + c.name + QStringLiteral(" is also operating on ") + band +
                      QLatin1String(endings[row]);
    }
    return warning;
}
