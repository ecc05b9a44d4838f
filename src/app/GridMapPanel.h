#pragma once
// The grid map: the squares around the own grid, those worked on the current
// band in the worked colour, scrolled a row or two columns at a time. A click
// on a square offers it as the grid received; hovering shows what was worked
// there.
#include "log/GridMap.h"

#include <QWidget>
#include <array>

class ClickableLabel;
class Contest;
class QPushButton;

class GridMapPanel : public QWidget {
    Q_OBJECT
public:
    explicit GridMapPanel(Contest &contest, QWidget *parent = nullptr);

    // Captions for the map around the own grid at the current scroll.
    void fillSquares();
    // The squares worked on the current band in the worked colour, the
    // others in the remaining colour.
    void markWorked();
    void scroll(float rows, float columns);

signals:
    void gridClicked(const QString &grid);
    void summaryHovered(const QString &summary);
    void scrolled();

private:
    Contest &m_contest;
    std::array<ClickableLabel *, GridMapCells> m_squares{};
    float m_rowOffset = 0;    // whole rows north
    float m_columnOffset = 0; // degrees west
};
