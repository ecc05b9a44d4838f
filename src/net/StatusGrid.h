#pragma once
// Who is on which band and mode, as the network window shows it: one column
// for each of the fourteen bands from 50 MHz to 120 GHz, three cells each
// (phone, CW, digital). A cell is free or holds the name of the station last
// placed there.
#include <QString>
#include <array>

class StatusGrid {
public:
    static constexpr int Columns = 14;
    enum Row { Phone = 0, Cw = 1, Digital = 2, Rows = 3 };

    struct Cell {
        QString name;
        bool occupied = false;
    };

    void clear();
    // Frees every cell holding this name (letter case aside).
    void clearStation(const QString &name);
    // Puts the name into its band's cell for the mode ("PH", "CW", "DIG");
    // a band without a column or another mode places nothing.
    void place(const QString &name, const QString &band, const QString &mode);
    const Cell &cell(int column, int row) const { return m_cells[column][row]; }
    // The column of a band label, -1 when it has none.
    static int columnOf(const QString &band);
    static int rowOf(const QString &mode);

    // The warning for a station choosing the band: another station occupies
    // one of the band's cells. Empty when there is none; a later row's
    // warning wins over an earlier one.
    QString alsoOperatingWarning(const QString &band, const QString &ownName) const;

private:
    std::array<std::array<Cell, Rows>, Columns> m_cells{};
};
