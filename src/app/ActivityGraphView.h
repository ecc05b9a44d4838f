#pragma once
// Paints the graph of ActivityGraph::compute: the plot frame, the grid
// lines, the curve and the band legend. The time, date and rate labels are
// widgets of the window, set along the axes where timeAxisX and rateAxisY
// say; the margins around the plot leave room for them.
#include "export/ActivityGraph.h"

#include <QColor>
#include <QWidget>

class ActivityGraphView : public QWidget {
    Q_OBJECT
public:
    explicit ActivityGraphView(QWidget *parent = nullptr);

    void setData(const ActivityGraph::Data &data);
    const ActivityGraph::Data &data() const { return m_data; }
    void setBlackBackground(bool black);
    bool blackBackground() const { return m_black; }
    // Whether the band legend is painted beside the plot; a window that
    // shows the legend in labels of its own turns it off.
    void setLegendShown(bool shown);
    bool legendShown() const { return m_legend; }

    // The plot frame in the view's coordinates; empty while there is nothing
    // to draw or no room to draw it.
    QRect plotRect() const;
    // The rate axis of the data shown.
    ActivityGraph::Scale scale() const { return ActivityGraph::scaleFor(m_data.peak); }
    // Where time label j (0..LabelCount-1) and its grid line stand.
    int timeAxisX(int j) const;
    // The height of a rate on the rate axis.
    int rateAxisY(double rate) const;

    // The colour of each band group's curve and legend label.
    static QColor groupColor(int group);

signals:
    // The plot frame moved or the rate axis changed: labels along the axes
    // must follow.
    void axesChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    ActivityGraph::Data m_data;
    bool m_black = false;
    bool m_legend = true;
};
