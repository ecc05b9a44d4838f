#pragma once
// The activity graph window: the contact rate over the whole contest, one
// colour per band group, on a light or a black background.
#include "export/ActivityGraph.h"

#include <QDialog>
#include <array>

class QLabel;
class QPushButton;

class GraphQSO : public QDialog {
    Q_OBJECT
public:
    explicit GraphQSO(QWidget *parent = nullptr);

    // Shows the graph of the contacts computed for it.
    void setData(const ActivityGraph::Data &data);

    // Switches between the light and the black background.
    void Command1_Click();

    ActivityGraphView *view = nullptr;
    QLabel *Label1 = nullptr; // legend caption
    std::array<QLabel *, ActivityGraph::GroupCount> lblBnd{};
    // Along the time axis: the time of each grid line and its date below.
    std::array<QLabel *, ActivityGraph::LabelCount> lblTime{};
    std::array<QLabel *, ActivityGraph::LabelCount> lblDate{};
    // Up the rate axis, from zero; the ones above the top step stay empty
    // and hidden.
    std::array<QLabel *, ActivityGraph::RateLabelCount> lblY{};
    QPushButton *Command1 = nullptr;

private:
    void applyBackground();
    // Sets the axis labels beside the plot wherever the view put it.
    void placeLabels();
};
