#include "app/GraphQSO.h"

#include "app/Colors.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// The light background of the plot and its legend.
const QColor LightBackground(0xf4, 0xf4, 0xec);
} // namespace

GraphQSO::GraphQSO(QWidget *parent) : QDialog(parent)
{
    using namespace ActivityGraph;
    setObjectName(QStringLiteral("GraphQSO"));
    setWindowTitle(Text::WindowTitle);

    auto *plotArea = new QWidget(this);
    plotArea->setObjectName(QStringLiteral("plotArea"));
    view = new ActivityGraphView(plotArea);
    view->setObjectName(QStringLiteral("view"));
    view->setLegendShown(false);

    Label1 = new QLabel(Text::AxisCaption, plotArea);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    auto *legend = new QVBoxLayout;
    legend->addWidget(Label1);
    for (int g = 0; g < GroupCount; ++g) {
        lblBnd[g] = new QLabel(GroupLabels.at(g), plotArea);
        lblBnd[g]->setObjectName(QStringLiteral("lblBnd_%1").arg(g));
        lblBnd[g]->setFont(bold);
        // Each curve is drawn in the colour of its group's label.
        setTextColor(lblBnd[g], ActivityGraphView::groupColor(g));
        legend->addWidget(lblBnd[g]);
    }
    legend->addStretch();

    auto *plotLayout = new QHBoxLayout(plotArea);
    plotLayout->addWidget(view, 1);
    plotLayout->addLayout(legend);

    Command1 = new QPushButton(Text::BlackButton, this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);

    auto *top = new QVBoxLayout(this);
    top->addWidget(plotArea, 1);
    top->addLayout(buttons);
    resize(900, 520);
    applyBackground();

    connect(Command1, &QPushButton::clicked, this, &GraphQSO::Command1_Click);
}

void GraphQSO::setData(const ActivityGraph::Data &data) { view->setData(data); }

void GraphQSO::Command1_Click()
{
    const bool black = Command1->text() == ActivityGraph::Text::BlackButton;
    Command1->setText(black ? ActivityGraph::Text::WhiteButton : ActivityGraph::Text::BlackButton);
    view->setBlackBackground(black);
    applyBackground();
}

void GraphQSO::applyBackground()
{
    const bool black = view->blackBackground();
    QWidget *plotArea = view->parentWidget();
    setBackground(plotArea, black ? QColor(Qt::black) : LightBackground);
    setTextColor(Label1, black ? QColor(Qt::white) : QColor(Qt::black));
}
