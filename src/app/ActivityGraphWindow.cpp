#include "app/ActivityGraphWindow.h"

#include "app/ActivityGraphView.h"
#include "app/Colors.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// The light background of the plot and its legend.
const QColor LightBackground(0xf4, 0xf4, 0xec);
} // namespace

ActivityGraphWindow::ActivityGraphWindow(QWidget *parent) : QDialog(parent)
{
    using namespace ActivityGraph;
    setObjectName(QStringLiteral("GraphQSO"));
    setWindowTitle(Text::WindowTitle);

    auto *plotArea = new QWidget(this);
    plotArea->setObjectName(QStringLiteral("plotArea"));
    plotView = new ActivityGraphView(plotArea);
    plotView->setObjectName(QStringLiteral("view"));
    plotView->setLegendShown(false);

    legendCaption = new QLabel(Text::AxisCaption, plotArea);
    legendCaption->setObjectName(QStringLiteral("Label1"));
    QFont bold = legendCaption->font();
    bold.setBold(true);
    legendCaption->setFont(bold);
    auto *legend = new QVBoxLayout;
    legend->addWidget(legendCaption);
    for (int g = 0; g < GroupCount; ++g) {
        bandLabels[g] = new QLabel(GroupLabels.at(g), plotArea);
        bandLabels[g]->setObjectName(QStringLiteral("lblBnd_%1").arg(g));
        bandLabels[g]->setFont(bold);
        // Each curve is drawn in the colour of its group's label.
        setTextColor(bandLabels[g], ActivityGraphView::groupColor(g));
        legend->addWidget(bandLabels[g]);
    }
    legend->addStretch();

    // The axis labels stand over the view's margins, where it leaves room
    // for them, and move with the plot.
    auto axisLabel = [this](const QString &name, int n, Qt::Alignment align) {
        auto *l = new QLabel(plotView);
        l->setObjectName(QStringLiteral("%1_%2").arg(name).arg(n));
        l->setAlignment(align);
        l->hide();
        return l;
    };
    for (int j = 0; j < LabelCount; ++j) {
        timeLabels[j] = axisLabel(QStringLiteral("lblTime"), j, Qt::AlignCenter);
        dateLabels[j] = axisLabel(QStringLiteral("lblDate"), j, Qt::AlignCenter);
    }
    for (int i = 0; i < RateLabelCount; ++i)
        rateLabels[i] = axisLabel(QStringLiteral("lblY"), i, Qt::AlignRight | Qt::AlignVCenter);
    connect(plotView, &ActivityGraphView::axesChanged, this, &ActivityGraphWindow::placeLabels);

    auto *plotLayout = new QHBoxLayout(plotArea);
    plotLayout->addWidget(plotView, 1);
    plotLayout->addLayout(legend);

    backgroundButton = new QPushButton(Text::BlackButton, this);
    backgroundButton->setObjectName(QStringLiteral("Command1"));
    backgroundButton->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(backgroundButton);

    auto *top = new QVBoxLayout(this);
    top->addWidget(plotArea, 1);
    top->addLayout(buttons);
    resize(900, 520);
    applyBackground();

    connect(backgroundButton, &QPushButton::clicked, this, &ActivityGraphWindow::toggleBackground);
}

void ActivityGraphWindow::setData(const ActivityGraph::Data &data)
{
    using namespace ActivityGraph;
    for (int j = 0; j < LabelCount; ++j) {
        timeLabels[j]->setText(data.timeLabels.value(j));
        dateLabels[j]->setText(data.dateLabels.value(j));
    }
    const std::vector<float> rates = rateSteps(scaleFor(data.peak));
    for (int i = 0; i < RateLabelCount; ++i)
        rateLabels[i]->setText(i < static_cast<int>(rates.size()) ? rateText(rates[i]) : QString());
    // The view tells when its axes are in place.
    plotView->setData(data);
}

void ActivityGraphWindow::placeLabels()
{
    const QRect plot = plotView->plotRect();
    auto place = [&plot](QLabel *l, const QRect &at) {
        l->setGeometry(at);
        l->setVisible(!plot.isEmpty() && !l->text().isEmpty());
    };
    for (int j = 0; j < ActivityGraph::LabelCount; ++j) {
        // Centred under its grid line, the date under the time.
        const int x = plotView->timeAxisX(j);
        const QSize time = timeLabels[j]->sizeHint();
        const QRect timeAt(x - (time.width() - 1) / 2, plot.bottom() + 4, time.width(),
                           time.height());
        place(timeLabels[j], timeAt);
        const QSize date = dateLabels[j]->sizeHint();
        place(dateLabels[j], QRect(x - (date.width() - 1) / 2, timeAt.bottom() + 3, date.width(),
                                   date.height()));
    }
    const std::vector<float> rates = ActivityGraph::rateSteps(plotView->scale());
    for (int i = 0; i < ActivityGraph::RateLabelCount; ++i) {
        // Right-aligned against the axis, level with its grid line.
        const int y = i < static_cast<int>(rates.size()) ? plotView->rateAxisY(rates[i]) : 0;
        const QSize size = rateLabels[i]->sizeHint();
        place(rateLabels[i], QRect(plot.left() - 6 - size.width(), y - (size.height() - 1) / 2,
                                   size.width(), size.height()));
    }
}

void ActivityGraphWindow::toggleBackground()
{
    const bool black = backgroundButton->text() == ActivityGraph::Text::BlackButton;
    backgroundButton->setText(black ? ActivityGraph::Text::WhiteButton : ActivityGraph::Text::BlackButton);
    plotView->setBlackBackground(black);
    applyBackground();
}

void ActivityGraphWindow::applyBackground()
{
    const bool black = plotView->blackBackground();
    QWidget *plotArea = plotView->parentWidget();
    setBackground(plotArea, black ? QColor(Qt::black) : LightBackground);
    const QColor ink = black ? QColor(Qt::white) : QColor(Qt::black);
    setTextColor(legendCaption, ink);
    for (int j = 0; j < ActivityGraph::LabelCount; ++j) {
        setTextColor(timeLabels[j], ink);
        setTextColor(dateLabels[j], ink);
    }
    for (QLabel *l : rateLabels)
        setTextColor(l, ink);
}
