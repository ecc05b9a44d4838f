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

    // The axis labels stand over the view's margins, where it leaves room
    // for them, and move with the plot.
    auto axisLabel = [this](const QString &name, int n, Qt::Alignment align) {
        auto *l = new QLabel(view);
        l->setObjectName(QStringLiteral("%1_%2").arg(name).arg(n));
        l->setAlignment(align);
        l->hide();
        return l;
    };
    for (int j = 0; j < LabelCount; ++j) {
        lblTime[j] = axisLabel(QStringLiteral("lblTime"), j, Qt::AlignCenter);
        lblDate[j] = axisLabel(QStringLiteral("lblDate"), j, Qt::AlignCenter);
    }
    for (int i = 0; i < RateLabelCount; ++i)
        lblY[i] = axisLabel(QStringLiteral("lblY"), i, Qt::AlignRight | Qt::AlignVCenter);
    connect(view, &ActivityGraphView::axesChanged, this, &GraphQSO::placeLabels);

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

void GraphQSO::setData(const ActivityGraph::Data &data)
{
    using namespace ActivityGraph;
    for (int j = 0; j < LabelCount; ++j) {
        lblTime[j]->setText(data.timeLabels.value(j));
        lblDate[j]->setText(data.dateLabels.value(j));
    }
    const std::vector<float> rates = rateSteps(scaleFor(data.peak));
    for (int i = 0; i < RateLabelCount; ++i)
        lblY[i]->setText(i < static_cast<int>(rates.size()) ? rateText(rates[i]) : QString());
    // The view tells when its axes are in place.
    view->setData(data);
}

void GraphQSO::placeLabels()
{
    const QRect plot = view->plotRect();
    auto place = [&plot](QLabel *l, const QRect &at) {
        l->setGeometry(at);
        l->setVisible(!plot.isEmpty() && !l->text().isEmpty());
    };
    for (int j = 0; j < ActivityGraph::LabelCount; ++j) {
        // Centred under its grid line, the date under the time.
        const int x = view->timeAxisX(j);
        const QSize time = lblTime[j]->sizeHint();
        const QRect timeAt(x - (time.width() - 1) / 2, plot.bottom() + 4, time.width(),
                           time.height());
        place(lblTime[j], timeAt);
        const QSize date = lblDate[j]->sizeHint();
        place(lblDate[j], QRect(x - (date.width() - 1) / 2, timeAt.bottom() + 3, date.width(),
                                date.height()));
    }
    const std::vector<float> rates = ActivityGraph::rateSteps(view->scale());
    for (int i = 0; i < ActivityGraph::RateLabelCount; ++i) {
        // Right-aligned against the axis, level with its grid line.
        const int y = i < static_cast<int>(rates.size()) ? view->rateAxisY(rates[i]) : 0;
        const QSize size = lblY[i]->sizeHint();
        place(lblY[i], QRect(plot.left() - 6 - size.width(), y - (size.height() - 1) / 2,
                             size.width(), size.height()));
    }
}

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
    const QColor ink = black ? QColor(Qt::white) : QColor(Qt::black);
    setTextColor(Label1, ink);
    for (int j = 0; j < ActivityGraph::LabelCount; ++j) {
        setTextColor(lblTime[j], ink);
        setTextColor(lblDate[j], ink);
    }
    for (QLabel *l : lblY)
        setTextColor(l, ink);
}
