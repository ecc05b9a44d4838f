#include "app/GridMapPanel.h"

#include "app/ClickableLabel.h"
#include "app/Colors.h"
#include "app/Controls.h"
#include "log/Bands.h"
#include "log/Contest.h"

#include <QGridLayout>
#include <QPushButton>

GridMapPanel::GridMapPanel(Contest &contest, QWidget *parent) : QWidget(parent), m_contest(contest)
{
    setObjectName(QStringLiteral("gridView"));
    auto *layout = new QGridLayout(this);
    layout->setSpacing(1);
    for (int i = 0; i < GridMapCells; ++i) {
        ClickableLabel *square = m_squares[i] = new ClickableLabel(QString(), this);
        square->setObjectName(QStringLiteral("lblGrid_%1").arg(i));
        square->setAlignment(Qt::AlignCenter);
        square->setMinimumWidth(42);
        layout->addWidget(square, 1 + i / GridMapColumns, 1 + i % GridMapColumns);
        connect(square, &ClickableLabel::clicked, this, [this, square] { emit gridClicked(square->text()); });
        connect(square, &ClickableLabel::hovered, this, [this, square] {
            emit summaryHovered(m_contest.gridSummary(square->text()));
        });
    }
    const struct {
        const char *name;
        const char *caption;
        int row, column;
        float rows, columns;
    } arrows[] = {{"Command7", "N", 0, 6, 1, 0},
                  {"Command4", "S", 16, 6, -1, 0},
                  {"Command5", "W", 8, 0, 0, 2},
                  {"Command6", "E", 8, 12, 0, -2}};
    for (const auto &a : arrows) {
        QPushButton *b = Controls::button(this, a.name, QString::fromLatin1(a.caption));
        b->setFocusPolicy(Qt::ClickFocus);
        layout->addWidget(b, a.row, a.column);
        const float rows = a.rows, columns = a.columns;
        connect(b, &QPushButton::clicked, this, [this, rows, columns] { scroll(rows, columns); });
    }
}

void GridMapPanel::fillSquares()
{
    const Station &s = m_contest.station();
    const auto captions = gridMapCaptions(s.latitude, s.longitude, m_rowOffset, m_columnOffset);
    if (captions[0].isEmpty())
        return;
    for (int i = 0; i < GridMapCells; ++i)
        m_squares[i]->setText(captions[i]);
}

void GridMapPanel::markWorked()
{
    // Each square takes the colour it should have; only the squares whose
    // colour changes are touched, so that marking again after every contact
    // redraws next to nothing.
    std::array<bool, GridMapCells> worked{};
    const int band = Bands::indexOf(m_contest.station().currentBand);
    if (band >= 0) {
        std::array<QString, GridMapCells> captions;
        for (int i = 0; i < GridMapCells; ++i)
            captions[i] = m_squares[i]->text();
        for (int i : workedCellIndexes(captions, m_contest.tally().workedGrids(band)))
            worked[static_cast<size_t>(i)] = true;
    }
    const QColor workedColour = bgrColor(static_cast<quint32>(m_contest.station().workedColor));
    const QColor remaining = bgrColor(static_cast<quint32>(m_contest.station().remainingColor));
    for (int i = 0; i < GridMapCells; ++i) {
        const QColor &c = worked[static_cast<size_t>(i)] ? workedColour : remaining;
        if (m_squares[i]->palette().color(QPalette::WindowText) != c)
            setTextColor(m_squares[i], c);
    }
}

void GridMapPanel::scroll(float rows, float columns)
{
    m_rowOffset += rows;
    m_columnOffset += columns;
    fillSquares();
    markWorked();
    emit scrolled();
}
