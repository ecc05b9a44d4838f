#include "app/PrivilegesWindow.h"

#include "app/Controls.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>

using namespace Controls;

namespace {
constexpr int NameWidth = 48, BarLeft = 56, BarWidth = 660, RowHeight = 30, BarHeight = 24;

struct ClassButton {
    const char *name, *caption;
    char letter;
    const char *heading;
};
constexpr ClassButton Classes[] = {
    {"cmdNovice", "Novice", 'N', "Novice Frequency Privileges"},
    {"cmdTechnician", "Technician", 'T', "Technician Frequency Privileges"},
    {"cmdTechPlus", "Tech +", 'P', "Technician Plus Frequency Privileges"},
    {"cmdGeneral", "General", 'G', "General Frequency Privileges"},
    {"cmdAdvanced", "Advanced", 'A', "Advanced Frequency Privileges"},
    {"cmdExtra", "Extra", 'E', "Extra Frequency Privileges"},
};

QLabel *coloured(QWidget *parent, const QString &name, const QString &text, const QColor &back,
                 const QColor &ink)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, back);
    p.setColor(QPalette::WindowText, ink);
    l->setPalette(p);
    l->setAlignment(Qt::AlignCenter);
    return l;
}
} // namespace

PrivilegesWindow::PrivilegesWindow(const BandPlan &plan, QWidget *parent) : QDialog(parent), m_plan(plan)
{
    setObjectName(QStringLiteral("frmBandPlan"));
    setWindowTitle(QStringLiteral("Frequency Privileges"));
    auto *layout = new QVBoxLayout(this);
    m_heading = label(this, "lblHeading");
    QFont big = m_heading->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 4);
    m_heading->setFont(big);
    layout->addWidget(m_heading, 0, Qt::AlignHCenter);
    layout->addWidget(label(this, "lblEffective", QStringLiteral("Frequencies Effective: ") + plan.effective),
                      0, Qt::AlignHCenter);

    m_chart = new QWidget(this);
    m_chart->setObjectName(QStringLiteral("picChart"));
    const int bands = int(plan.chart(QLatin1Char('O')).size());
    m_chart->setFixedSize(BarLeft + BarWidth + 8, std::max(bands, 1) * RowHeight + 8);
    layout->addWidget(m_chart);

    auto *legend = new QHBoxLayout;
    legend->addWidget(coloured(this, QStringLiteral("lblLegendPhone"), QStringLiteral("Phone"), QColor(0, 0xFF, 0),
                               Qt::black));
    legend->addWidget(coloured(this, QStringLiteral("lblLegendCW"), QStringLiteral("CW"), QColor(0, 0, 0xFF),
                               Qt::white));
    legend->addStretch(1);
    layout->addLayout(legend);

    auto *buttons = new QHBoxLayout;
    for (const ClassButton &c : Classes) {
        auto *b = button(this, c.name, QString::fromLatin1(c.caption));
        buttons->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, letter = c.letter] { showClass(QLatin1Char(letter)); });
    }
    auto *done = button(this, "cmdDone", QStringLiteral("Done"));
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(done);
    layout->addLayout(buttons);
    showClass(QLatin1Char('E'));
}

void PrivilegesWindow::showClass(QChar licence)
{
    for (const ClassButton &c : Classes)
        if (QLatin1Char(c.letter) == licence)
            m_heading->setText(QString::fromLatin1(c.heading));
    // The previous chart goes first.
    for (QLabel *old : m_chart->findChildren<QLabel *>())
        if (old->objectName().startsWith(QLatin1String("blbl")) || old->objectName().startsWith(QLatin1String("priv")) ||
            old->objectName().startsWith(QLatin1String("bnlb")))
            delete old;
    const QList<PrivilegeBar> bars = m_plan.chart(licence);
    int segmentCount = 0;
    for (int b = 0; b < bars.size(); ++b) {
        const PrivilegeBar &bar = bars[b];
        const int y = 4 + b * RowHeight;
        QLabel *barLabel = coloured(m_chart, QStringLiteral("blbl%1").arg(b), QString(), Qt::black, Qt::white);
        barLabel->setFrameShape(QFrame::Box);
        barLabel->setToolTip(bar.toolTip);
        barLabel->setGeometry(BarLeft, y, BarWidth, BarHeight);
        barLabel->show();
        for (const PrivilegeSegment &s : bar.segments) {
            QLabel *seg = coloured(m_chart, QStringLiteral("priv%1").arg(segmentCount++), s.caption,
                                   s.cw ? QColor(0, 0, 0xFF) : QColor(0, 0xFF, 0), s.cw ? Qt::white : Qt::black);
            seg->setFont(QFont(QStringLiteral("ARIAL NARROW"), 7));
            seg->setToolTip(s.toolTip);
            seg->setGeometry(BarLeft + int(s.start * BarWidth), y + 2, std::max(1, int(s.width * BarWidth)),
                             BarHeight - 4);
            seg->show();
            seg->raise();
        }
        QLabel *name = coloured(m_chart, QStringLiteral("bnlb%1").arg(b), bar.band, QColor(0xFF, 0xFF, 0), Qt::black);
        QFont bold(QStringLiteral("ARIAL"));
        bold.setBold(true);
        name->setFont(bold);
        name->setToolTip(bar.toolTip);
        name->setGeometry(4, y, NameWidth, BarHeight);
        name->show();
    }
}
