#include "app/StationPanel.h"

#include "app/ClickableLabel.h"
#include "app/Controls.h"
#include "log/Contest.h"
#include "platform/Clock.h"

#include <QHBoxLayout>
#include <QLocale>

using Controls::label;

StationPanel::StationPanel(Contest &contest, QWidget *parent) : QWidget(parent), m_contest(contest)
{
    setObjectName(QStringLiteral("stationPanel"));
    m_localTime = label(this, "lblCurTime");
    m_amPm = label(this, "Label16");
    m_utcTime = label(this, "lblutctime");
    m_operatingTime = label(this, "lblttrack", QStringLiteral("00:00:00"));
    m_ownCall = label(this, "Label2");
    m_ownGrid = label(this, "Label4");
    m_band = label(this, "Label21");
    m_mode = new ClickableLabel(QString(), this);
    m_mode->setObjectName(QStringLiteral("Label30"));
    m_logOn = Controls::button(this, "cmdLogOn", QStringLiteral("&Log \"Time On\""));
    // Buttons take the focus only when clicked: Tab stays among the fields.
    m_logOn->setFocusPolicy(Qt::ClickFocus);
    QFont big = font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    for (QLabel *l : {m_ownCall, m_ownGrid, m_band, static_cast<QLabel *>(m_mode), m_utcTime})
        l->setFont(big);

    auto *line = new QHBoxLayout(this);
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(label(this, "lblLocalCaption", QStringLiteral("Local")));
    line->addWidget(m_localTime);
    line->addWidget(m_amPm);
    line->addSpacing(12);
    line->addWidget(label(this, "lblUtcCaption", QStringLiteral("UTC")));
    line->addWidget(m_utcTime);
    line->addSpacing(24);
    line->addWidget(m_ownCall);
    line->addWidget(m_ownGrid);
    line->addSpacing(24);
    line->addWidget(m_band);
    line->addWidget(m_mode);
    line->addStretch();
    line->addWidget(m_logOn);
    line->addWidget(m_operatingTime);

    connect(m_mode, &ClickableLabel::clicked, this, &StationPanel::modeClicked);
    connect(m_logOn, &QPushButton::clicked, this, &StationPanel::logOnClicked);
}

void StationPanel::showClocks()
{
    const QDateTime local = Clock::localNow();
    m_utcTime->setText(Clock::stationUtc(local, m_contest.station().utcOffsetHours)
                           .toString(QStringLiteral("HH:mm:ss")));
    // The 12-hour time without its AM/PM suffix, which has a label of its own.
    m_localTime->setText(QLocale::c().toString(local.time(), QStringLiteral("h:mm:ss AP")).chopped(3));
    m_amPm->setText(local.time().hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
    if (m_contest.loggedOn())
        m_operatingTime->setText(m_contest.operatingTimeText());
}

void StationPanel::showStation()
{
    m_ownCall->setText(m_contest.station().ownCall);
    m_ownGrid->setText(m_contest.station().ownGrid);
    showMode();
}

void StationPanel::showBand() { m_band->setText(m_contest.station().currentBand + QStringLiteral("Hz")); }

void StationPanel::showMode() { m_mode->setText(m_contest.station().currentMode); }

void StationPanel::showOperatingTime(const QString &text) { m_operatingTime->setText(text); }

void StationPanel::showLoggedOn(bool on)
{
    m_logOn->setText(on ? QStringLiteral("&Log \"Time Off\"") : QStringLiteral("&Log \"Time On\""));
}
