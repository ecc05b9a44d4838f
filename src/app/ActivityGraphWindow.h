#pragma once
// The activity graph window: the contact rate over the whole contest, one
// colour per band group, on a light or a black background. The view paints
// the plot; the window keeps the legend and the axis labels beside it.
#include "export/ActivityGraph.h"

#include <QDialog>
#include <array>

class ActivityGraphView;
class QLabel;
class QPushButton;

class ActivityGraphWindow : public QDialog {
    Q_OBJECT
public:
    explicit ActivityGraphWindow(QWidget *parent = nullptr);

    // Shows the graph of the contacts computed for it.
    void setData(const ActivityGraph::Data &data);

private:
    // Switches between the light and the black background.
    void toggleBackground();
    void applyBackground();
    // Sets the axis labels beside the plot wherever the view put it.
    void placeLabels();

    ActivityGraphView *plotView = nullptr;
    QLabel *legendCaption = nullptr;
    std::array<QLabel *, ActivityGraph::GroupCount> bandLabels{};
    // Along the time axis: the time of each grid line and its date below.
    std::array<QLabel *, ActivityGraph::LabelCount> timeLabels{};
    std::array<QLabel *, ActivityGraph::LabelCount> dateLabels{};
    // Up the rate axis, from zero; the ones above the top step stay empty
    // and hidden.
    std::array<QLabel *, ActivityGraph::RateLabelCount> rateLabels{};
    QPushButton *backgroundButton = nullptr;
};
