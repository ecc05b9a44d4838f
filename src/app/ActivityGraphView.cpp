#include "app/ActivityGraphView.h"

#include <QPainter>
#include <array>
#include <cmath>

ActivityGraphView::ActivityGraphView(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(480, 300);
}

void ActivityGraphView::setData(const ActivityGraph::Data &data)
{
    m_data = data;
    update();
    emit axesChanged();
}

void ActivityGraphView::setBlackBackground(bool black)
{
    m_black = black;
    update();
}

void ActivityGraphView::setLegendShown(bool shown)
{
    m_legend = shown;
    update();
    emit axesChanged();
}

void ActivityGraphView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    emit axesChanged();
}

QRect ActivityGraphView::plotRect() const
{
    if (!m_data.enough)
        return {};
    const QFontMetrics fm(font());
    // Left: the widest rate label. Bottom: a row of times and a row of dates.
    // Right: the legend, or else half of the last time label, which stands
    // centred on the right edge.
    const int timeWidth = fm.horizontalAdvance(QStringLiteral("00:00"));
    const int legendWidth =
        m_legend ? fm.horizontalAdvance(QStringLiteral("Other")) + 24 : timeWidth / 2;
    const int labelWidth = fm.horizontalAdvance(QStringLiteral("0000.0"));
    const QRect plot(labelWidth + 12, fm.height(), width() - legendWidth - labelWidth - 24,
                     height() - 3 * fm.height() - 16);
    if (plot.width() < 10 || plot.height() < 10)
        return {};
    return plot;
}

int ActivityGraphView::timeAxisX(int j) const
{
    // The first label stands on the frame's left line, the last on its right
    // line.
    const QRect plot = plotRect();
    return plot.left() + j * plot.width() / (ActivityGraph::LabelCount - 1);
}

int ActivityGraphView::rateAxisY(double rate) const
{
    // Zero lies on the frame's bottom line, the top of the scale on its top
    // line.
    const QRect plot = plotRect();
    const float top = scale().top;
    return plot.top() + plot.height() - static_cast<int>(std::lround(rate * plot.height() / top));
}

QColor ActivityGraphView::groupColor(int group)
{
    static const std::array<QColor, ActivityGraph::GroupCount> colors{
        QColor(0xd0, 0x20, 0x20), QColor(0x20, 0x50, 0xe0), QColor(0x10, 0xa0, 0x30),
        QColor(0xe0, 0x80, 0x00), QColor(0xa0, 0x30, 0xc0), QColor(0x00, 0xa0, 0xa0),
        QColor(0x80, 0x80, 0x80)};
    return group >= 0 && group < ActivityGraph::GroupCount ? colors[group] : QColor(0x80, 0x80, 0x80);
}

void ActivityGraphView::paintEvent(QPaintEvent *)
{
    using namespace ActivityGraph;
    QPainter p(this);
    const QColor background = m_black ? Qt::black : QColor(0xf4, 0xf4, 0xec);
    const QColor ink = m_black ? Qt::white : Qt::black;
    const QColor gridInk = m_black ? QColor(Qt::white) : QColor(0xc0, 0xc0, 0xc0);
    p.fillRect(rect(), background);
    const QRect plot = plotRect();
    if (plot.isEmpty())
        return;
    const Scale axis = scale();
    auto xOf = [&](double sample) { return plot.left() + (sample - 1) * plot.width() / (Steps - 1); };
    auto yOf = [&](double rate) { return plot.top() + plot.height() - rate * plot.height() / axis.top; };

    // Grid lines at every rate step and at every time label; the labels
    // themselves are the window's.
    p.setPen(gridInk);
    for (float v : rateSteps(axis)) {
        const int y = rateAxisY(v);
        p.drawLine(plot.left(), y, plot.right(), y);
    }
    for (int j = 0; j < LabelCount; ++j) {
        const int x = timeAxisX(j);
        p.drawLine(x, plot.top(), x, plot.bottom());
    }
    p.setPen(ink);
    p.drawRect(plot);

    // The curve, each piece in its band group's colour.
    for (int g = -1; g < GroupCount; ++g) {
        p.setPen(QPen(g < 0 ? gridInk : groupColor(g), 2));
        for (const auto &run : m_data.series(g)) {
            QPolygonF line;
            for (const QPointF &pt : run)
                line << QPointF(xOf(pt.x()), yOf(pt.y()));
            p.drawPolyline(line);
        }
    }

    // Legend: the caption and the group labels in their colours.
    if (!m_legend)
        return;
    const QFontMetrics fm(font());
    int y = plot.top();
    const int x = plot.right() + 12;
    p.setPen(ink);
    p.drawText(x, y + fm.ascent(), Text::AxisCaption);
    for (int g = 0; g < GroupCount; ++g) {
        y += fm.height() + 4;
        p.setPen(groupColor(g));
        p.drawText(x, y + fm.ascent(), GroupLabels.at(g));
    }
}
