#include "app/MessageLines.h"

#include "app/Colors.h"
#include "app/Controls.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

MessageLines::MessageLines(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("messageLines"));
    QFont big = font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    m_message = Controls::label(this, "lblDialog", QStringLiteral("Select a band and mode from the menu bar!"));
    m_message->setFont(big);
    m_message->setMinimumHeight(32);
    setBackground(m_message, bgrColor(UiColors::DialogNormal));
    m_hint = Controls::label(this, "lblDupe");
    m_hint->setWordWrap(true);
    m_hint->setMinimumHeight(40);
    setBackground(m_hint, QColor());
    m_hintsButton = Controls::button(this, "cmdDup", QStringLiteral("On"));
    m_hintsButton->setToolTip(QStringLiteral("Displaying partial dupes slows the program on older pc's."));
    m_hintsButton->setFocusPolicy(Qt::ClickFocus);

    auto *dupeLine = new QHBoxLayout;
    dupeLine->addWidget(Controls::label(this, "lblDupeCaption", QStringLiteral("Possible Duplicates")));
    dupeLine->addWidget(m_hintsButton);
    dupeLine->addWidget(m_hint, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_message);
    layout->addLayout(dupeLine);

    connect(m_hintsButton, &QPushButton::clicked, this, [this] {
        m_hintsOn = !m_hintsOn;
        m_hintsButton->setText(m_hintsOn ? QStringLiteral("On") : QStringLiteral("Off"));
        setBackground(m_hint, QColor());
        emit hintsSwitched();
    });
}

void MessageLines::setMessage(const QString &text) { m_message->setText(text); }

void MessageLines::setMessage(const QString &text, quint32 bgr)
{
    m_message->setText(text);
    setMessageBackground(bgr);
}

void MessageLines::setMessageBackground(quint32 bgr) { setBackground(m_message, bgrColor(bgr)); }

void MessageLines::setHint(const QString &text, bool highlighted)
{
    m_hint->setText(text);
    if (highlighted)
        setBackground(m_hint, bgrColor(UiColors::DialogNormal));
}

void MessageLines::clearHintText() { m_hint->clear(); }

void MessageLines::resetHint()
{
    m_hint->clear();
    setBackground(m_hint, QColor());
}

void MessageLines::unhighlightHint() { setBackground(m_hint, QColor()); }

void MessageLines::setHintBackground(quint32 bgr) { setBackground(m_hint, bgrColor(bgr)); }
