#include "app/ScorePanel.h"

#include "app/ClickableLabel.h"
#include "app/Colors.h"
#include "app/Controls.h"
#include "app/GridMapPanel.h"
#include "log/Contest.h"
#include "log/GridMap.h"
#include "log/Score.h"
#include "platform/Clock.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

using Controls::label;

namespace {

ClickableLabel *bandLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *l = new ClickableLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setAlignment(Qt::AlignCenter);
    setBackground(l, bgrColor(UiColors::OtherBand));
    setTextColor(l, Qt::white);
    return l;
}

} // namespace

ScorePanel::ScorePanel(Contest &contest, QWidget *parent) : QGroupBox(parent), m_contest(contest)
{
    setObjectName(QStringLiteral("scorePanel"));
    auto *layout = new QVBoxLayout(this);
    auto *totals = new QGridLayout;
    m_contacts = label(this, "lblTotCon", QStringLiteral("0"));
    m_qsoPoints = label(this, "lblTotSec", QStringLiteral("0"));
    m_multipliers = label(this, "lblsectogo", QStringLiteral("0"));
    m_score = label(this, "lblTotScore", QStringLiteral("0"));
    m_rate60 = label(this, "lblAQSO60", QStringLiteral("0"));
    m_rate20 = label(this, "lblAQSO20", QStringLiteral("0"));
    const std::pair<QString, QLabel *> rows[] = {
        {QStringLiteral("Total Contacts ............"), m_contacts},
        {QStringLiteral("Total QSO Points ........"), m_qsoPoints},
        {QStringLiteral("Total Multipliers ..........."), m_multipliers},
        {QStringLiteral("Total Score.................."), m_score},
        {QStringLiteral("QSOs / Hr (last 60 min)"), m_rate60},
        {QStringLiteral("QSOs / Hr (last 20 min)"), m_rate20},
    };
    int row = 0;
    for (const auto &[caption, value] : rows) {
        totals->addWidget(new QLabel(caption, this), row, 0);
        totals->addWidget(value, row, 1);
        ++row;
    }
    layout->addLayout(totals);

    m_viewSwitch = Controls::button(this, "Command2", QStringLiteral("View Grids"));
    m_viewSwitch->setFocusPolicy(Qt::ClickFocus);
    layout->addWidget(m_viewSwitch);

    m_bandView = new QWidget(this);
    m_bandView->setObjectName(QStringLiteral("bandView"));
    auto *bands = new QGridLayout(m_bandView);
    bands->addWidget(label(m_bandView, "Label10", QStringLiteral("#Contacts / #Grids")), 0, 0, 1,
                     Bands::PanelCount);
    for (int i = 0; i < Bands::PanelCount; ++i) {
        const BandRow &r = Bands::row(i);
        m_bandCaptions[i] = bandLabel(m_bandView, r.captionLabel, QString::fromLatin1(r.menuCaption));
        m_bandCounts[i] = bandLabel(m_bandView, r.countLabel, QStringLiteral("0 / 0"));
        m_gridLists[i] = new QListWidget(m_bandView);
        m_gridLists[i]->setObjectName(QStringLiteral("List%1").arg(i + 1));
        m_gridLists[i]->setFocusPolicy(Qt::NoFocus);
        m_gridLists[i]->setMinimumWidth(60);
        // Thousands of grids are laid out without measuring each one.
        m_gridLists[i]->setUniformItemSizes(true);
        bands->addWidget(m_bandCaptions[i], 1, i);
        bands->addWidget(m_bandCounts[i], 2, i);
        bands->addWidget(m_gridLists[i], 3, i);
        connect(m_bandCaptions[i], &ClickableLabel::clicked, this, [this, i] { emit bandClicked(i); });
        connect(m_bandCounts[i], &ClickableLabel::clicked, this, [this, i] { emit bandClicked(i); });
    }
    // The long two-grid keys of a CQ rover fit with a smaller font.
    for (int i = 0; i < 2; ++i)
        m_gridLists[i]->viewport()->installEventFilter(this);
    layout->addWidget(m_bandView, 1);

    m_gridMap = new GridMapPanel(contest, this);
    m_gridMap->setVisible(false);
    layout->addWidget(m_gridMap, 1);

    m_bearing = label(this, "Label23");
    m_distance = label(this, "Label24");
    auto *bearingLine = new QHBoxLayout;
    bearingLine->addWidget(label(this, "Label14", QStringLiteral("Bearing")));
    bearingLine->addWidget(m_bearing);
    bearingLine->addSpacing(16);
    bearingLine->addWidget(label(this, "Label22", QStringLiteral("Miles")));
    bearingLine->addWidget(m_distance);
    bearingLine->addStretch();
    layout->addLayout(bearingLine);

    connect(m_viewSwitch, &QPushButton::clicked, this, &ScorePanel::switchView);
    connect(m_gridMap, &GridMapPanel::scrolled, this, &ScorePanel::doneWithControl);
}

bool ScorePanel::eventFilter(QObject *watched, QEvent *event)
{
    const Station &s = m_contest.station();
    if (event->type() == QEvent::MouseButtonRelease && s.contestType == 5 && s.isRover()) {
        for (int i = 0; i < 2; ++i) {
            if (watched != m_gridLists[i]->viewport())
                continue;
            QFont f = m_gridLists[i]->font();
            if (f.pointSize() > 6) {
                f.setPointSize(f.pointSize() - 1);
                m_gridLists[i]->setFont(f);
            }
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

void ScorePanel::showLog()
{
    for (int i = 0; i < Bands::PanelCount; ++i)
        showGridList(i);
    showRates();
    showTotals();
    m_gridMap->markWorked();
}

void ScorePanel::showArrivals()
{
    // Contacts that arrived only add to the tallies: the grid lists grow
    // at their ends, and the map's worked squares are marked again.
    for (int i = 0; i < Bands::PanelCount; ++i)
        showGridList(i);
    showRates();
    showTotals();
    m_gridMap->markWorked();
}

void ScorePanel::showGridList(int bandIndex)
{
    // Most changes add a grid or two at the end of a list: only those are
    // added, the list is rebuilt only when it changed otherwise.
    QListWidget *list = m_gridLists[bandIndex];
    const QStringList &grids = m_contest.tally().workedGrids(bandIndex);
    QStringList &shown = m_shownGrids[bandIndex];
    const bool grows = shown.size() <= grids.size() && std::equal(shown.cbegin(), shown.cend(), grids.cbegin());
    if (!grows) {
        list->clear();
        list->addItems(grids);
    } else if (shown.size() < grids.size()) {
        list->addItems(grids.mid(shown.size()));
    }
    shown = grids;
}

void ScorePanel::showTotals()
{
    const Station &s = m_contest.station();
    const ScoreTotals t = scoreTotals(m_contest.tally(), s.contestType, s.isRover());
    m_contacts->setText(QString::number(t.contacts));
    m_qsoPoints->setText(QString::number(t.qsoPoints));
    m_multipliers->setText(QString::number(t.multipliers));
    m_score->setText(QString::number(t.score));
    for (int i = 0; i < Bands::PanelCount; ++i)
        m_bandCounts[i]->setText(countLabelText(m_contest.tally(), i));
}

void ScorePanel::showRates()
{
    QDateTime utc = Clock::stationUtc(m_contest.station().utcOffsetHours);
    utc.setTime(QTime(utc.time().hour(), utc.time().minute(), utc.time().second()));
    const Rates r = m_rates.rates(m_contest.mirror(), utc);
    m_rate60->setText(QString::number(r.last60));
    m_rate20->setText(QString::number(r.last20PerHour));
}

void ScorePanel::showBand()
{
    const int current = Bands::indexOf(m_contest.station().currentBand);
    for (int i = 0; i < Bands::PanelCount; ++i) {
        const quint32 colour = i == current ? UiColors::CurrentBand : UiColors::OtherBand;
        setBackground(m_bandCaptions[i], bgrColor(colour));
        setBackground(m_bandCounts[i], bgrColor(colour));
    }
    m_gridMap->markWorked();
}

void ScorePanel::showStation()
{
    const Station &s = m_contest.station();
    const QString tip = s.contestType == 5 && s.isRover() ? QStringLiteral("Click list to reduce font size")
                                                          : QString();
    m_gridLists[0]->setToolTip(tip);
    m_gridLists[1]->setToolTip(tip);
    m_gridMap->fillSquares();
}

void ScorePanel::addContact(int bandIndex, const QString &newGridKey)
{
    if (newGridKey.isEmpty())
        return;
    if (bandIndex < Bands::PanelCount) {
        m_gridLists[bandIndex]->addItem(newGridKey);
        m_shownGrids[static_cast<size_t>(bandIndex)].append(newGridKey);
    }
    if (bandIndex == Bands::indexOf(m_contest.station().currentBand))
        m_gridMap->markWorked();
}

void ScorePanel::showBearing(const QString &grid)
{
    if (grid.size() < 2) {
        m_bearing->clear();
        m_distance->clear();
        return;
    }
    const Station &s = m_contest.station();
    if (const auto texts = bearingTextsForGrid(s.latitude, s.longitude, grid)) {
        m_bearing->setText(texts->first);
        m_distance->setText(texts->second);
    }
}

void ScorePanel::showView()
{
    const bool map = m_contest.station().view == QLatin1String("View Bands");
    m_viewSwitch->setText(map ? QStringLiteral("View Bands") : QStringLiteral("View Grids"));
    m_bandView->setVisible(!map);
    m_gridMap->setVisible(map);
}

void ScorePanel::switchView()
{
    const bool showMap = m_viewSwitch->text() == QLatin1String("View Grids");
    m_contest.station().view = showMap ? QStringLiteral("View Bands") : QStringLiteral("View Grids");
    showView();
    m_contest.savePreferences();
    emit doneWithControl();
}
