#include "app/PostContestFields.h"

#include "app/Controls.h"
#include "app/EntryKeys.h"
#include "app/EntryValidator.h"
#include "log/Logging.h"
#include "platform/Clock.h"

#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

PostContestFields::PostContestFields(QWidget *panel) : QObject(panel)
{
    m_time = Controls::field(panel, "txtPostConTime", 5);
    m_date = Controls::field(panel, "txtPostConDate", 10);
    m_timeCaption = Controls::label(panel, "lblPostConTime", QStringLiteral("Time"));
    m_dateCaption = Controls::label(panel, "lblPostConDate", QStringLiteral("Date"));
    m_time->setValidator(new EntryValidator(EntryField::PostContestTime, m_time));
    m_date->setValidator(new EntryValidator(EntryField::PostContestDate, m_date));
    m_time->setMaximumWidth(150);
    m_date->setMaximumWidth(200);
    for (QLineEdit *f : {m_time, m_date})
        f->installEventFilter(this);
    setOn(false);
}

void PostContestFields::setOn(bool on)
{
    m_on = on;
    for (QWidget *w : {static_cast<QWidget *>(m_time), static_cast<QWidget *>(m_date),
                       static_cast<QWidget *>(m_timeCaption), static_cast<QWidget *>(m_dateCaption)})
        w->setVisible(on);
}

std::optional<QString> PostContestFields::stamp(QsoRecord &rec) const
{
    const auto date = postContestDate(m_date->text());
    if (!date)
        return EntryTexts::InvalidDate;
    const auto time = postContestTime(m_time->text());
    if (!time)
        return EntryTexts::InvalidTime;
    rec.flddate = *date;
    rec.fldtime = *time;
    return std::nullopt;
}

bool PostContestFields::eventFilter(QObject *watched, QEvent *event)
{
    auto *field = static_cast<QLineEdit *>(watched);
    if (event->type() == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
        if (field == m_date && field->text().isEmpty())
            field->setText(Clock::localNow().date().toString(QStringLiteral("yyyy/MM/dd")));
        QTimer::singleShot(0, field, [field] { field->selectAll(); });
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const int k = keyCode(static_cast<QKeyEvent *>(event));
    if (k == 0 || k == 9 || k == 8)
        return false;
    if (k == ' ') {
        emit spacePressed();
        return true;
    }
    if (k == 13) {
        emit enterPressed();
        return true;
    }
    // Digits and ":" in the time, digits and "/" in the date.
    const int lo = field == m_time ? '0' : '/';
    const int hi = field == m_time ? ':' : '9';
    return k < lo || k > hi;
}
