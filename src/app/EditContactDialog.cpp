#include "app/EditContactDialog.h"

#include "log/ContactList.h"
#include "log/DateTimeText.h"
#include "platform/Dialogs.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
QLineEdit *field(QWidget *p, const char *name, const QString &value)
{
    auto *e = new QLineEdit(value, p);
    e->setObjectName(QLatin1String(name));
    return e;
}
QLabel *flag(QWidget *p, const char *name, const QString &text)
{
    auto *l = new QLabel(text, p);
    l->setObjectName(QLatin1String(name));
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, Qt::red);
    l->setPalette(pal);
    l->setVisible(false);
    return l;
}
const QString InvalidDateText = QStringLiteral("You have entered an invalid date format!");
const QString InvalidDateTitle = QStringLiteral("Invalid Date Format!");
const QString InvalidTimeText = QStringLiteral("You have entered an invalid time format!");
const QString InvalidTimeTitle = QStringLiteral("Invalid Time Format!");
} // namespace

EditContactDialog::EditContactDialog(const LogMirror &mirror, int editIndex, QWidget *parent)
    : QDialog(parent), m_mirror(mirror), m_index(editIndex)
{
    setObjectName(QStringLiteral("frmEditCon"));
    setWindowTitle(QStringLiteral("Edit Contact Entry"));
    setModal(true);
    if (editIndex >= 1 && editIndex <= mirror.recordCount())
        m_stored = mirror.at(editIndex);
    const QsoRecord &r = m_stored;
    callField = field(this, "txtEditCall", r.calls);
    sentReportField = field(this, "txtEditNum", r.rsts);
    ownGridField = field(this, "txtEditPre", r.grids);
    receivedReportField = field(this, "txtEditCk", r.rstr);
    receivedGridField = field(this, "txtEditSec", r.gridr);
    dateField = field(this, "txtEditDate", r.flddate);
    timeField = field(this, "txtEditTime", r.fldtime);
    bandField = field(this, "txtEditBnd", r.uband);
    modeField = field(this, "txtEditMode", r.umode);
    dupeMark = flag(this, "Label1", QStringLiteral("Dupe!"));
    dateTimeMark = flag(this, "Label2", QStringLiteral("Invalid!"));
    bandMark = flag(this, "Label3", QStringLiteral("Invalid!"));
    modeMark = flag(this, "Label5", QStringLiteral("Invalid!"));
    doneButton = new QPushButton(QStringLiteral("Done"), this);
    doneButton->setObjectName(QStringLiteral("cmdDone"));
    doneButton->setAutoDefault(false);
    deleteDupeButton = new QPushButton(QStringLiteral("Delete Dupe"), this);
    deleteDupeButton->setObjectName(QStringLiteral("cmdDeleteDupe"));
    deleteDupeButton->setAutoDefault(false);
    deleteDupeButton->setVisible(false);

    auto *grid = new QGridLayout;
    int row = 0;
    auto add = [&](const QString &caption, QLineEdit *e, QLabel *mark = nullptr) {
        grid->addWidget(new QLabel(caption, this), row, 0);
        grid->addWidget(e, row, 1);
        if (mark)
            grid->addWidget(mark, row, 2);
        ++row;
    };
    add(QStringLiteral("Callsign"), callField, dupeMark);
    add(QStringLiteral("Rst(S)"), sentReportField);
    add(QStringLiteral("Grid(S)"), ownGridField);
    add(QStringLiteral("Rst(R)"), receivedReportField);
    add(QStringLiteral("Grid(R)"), receivedGridField);
    add(QStringLiteral("Date"), dateField, dateTimeMark);
    add(QStringLiteral("Time"), timeField);
    add(QStringLiteral("Band"), bandField, bandMark);
    add(QStringLiteral("Mode"), modeField, modeMark);
    auto *top = new QVBoxLayout(this);
    top->addWidget(new QLabel(QStringLiteral("Edit Contact:"), this));
    top->addLayout(grid);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(deleteDupeButton);
    buttons->addStretch();
    buttons->addWidget(doneButton);
    top->addLayout(buttons);

    for (QLineEdit *e : {callField, sentReportField, ownGridField, receivedReportField, receivedGridField, dateField,
                         timeField, bandField, modeField})
        e->installEventFilter(this);
    connect(doneButton, &QPushButton::clicked, this, &EditContactDialog::saveEdit);
    connect(deleteDupeButton, &QPushButton::clicked, this, [this] {
        hide();
        if (deleteDupe)
            deleteDupe();
        accept();
    });
}

QsoRecord EditContactDialog::editedContact() const
{
    QsoRecord r;
    r.calls = callField->text().trimmed();
    r.rstr = receivedReportField->text();
    r.gridr = receivedGridField->text().trimmed();
    r.rsts = sentReportField->text().trimmed();
    r.grids = ownGridField->text();
    r.flddate = dateField->text();
    r.fldtime = timeField->text();
    r.uband = bandField->text();
    r.umode = modeField->text();
    // The log is read back in the order of these texts: a date or time
    // typed in another form ("6/9/26", "9:30") is stored in the log's own.
    if (const auto d = DateTimeText::parseDate(r.flddate))
        r.flddate = DateTimeText::logDate(*d);
    if (const auto t = DateTimeText::parseTime(r.fldtime))
        r.fldtime = r.fldtime.count(u':') >= 2 ? DateTimeText::logTime(*t)
                                               : DateTimeText::shortLogTime(*t);
    return r;
}

void EditContactDialog::saveEdit()
{
    if (!DateTimeText::parseTime(timeField->text())) {
        beep();
        msgBox(this, InvalidTimeText, InvalidTimeTitle);
        timeField->setFocus();
        return;
    }
    if (!DateTimeText::parseDate(dateField->text())) {
        beep();
        msgBox(this, InvalidDateText, InvalidDateTitle);
        dateField->setFocus();
        return;
    }
    // The band and mode are checked on leaving their fields; Done checks them
    // too, so that nothing unreadable reaches the log.
    if (!checkField(bandField) || !checkField(modeField))
        return;
    // The window's own dupe test looks at the contact as it will be saved,
    // blanks trimmed, so that no twin gets in by a stray blank.
    const QsoRecord r = editedContact();
    if (editDupeOf(m_mirror, m_index, r) > 0) {
        dupeMark->setVisible(true);
        deleteDupeButton->setVisible(true);
        beep();
        return;
    }
    dupeMark->setVisible(false);
    if (save)
        save(r);
    accept();
}

bool EditContactDialog::checkField(QLineEdit *f)
{
    if (f == modeField) {
        if (isModeCode(f->text())) {
            modeMark->setVisible(false);
            return true;
        }
        beep();
        modeMark->setVisible(true);
        f->setText(m_stored.umode);
        f->setFocus();
        return false;
    }
    if (f == bandField) {
        if (isBandLabel(f->text())) {
            bandMark->setVisible(false);
            return true;
        }
        beep();
        bandMark->setVisible(true);
        f->setText(m_stored.uband);
        f->setFocus();
        return false;
    }
    if (f == dateField && !DateTimeText::parseDate(f->text())) {
        beep();
        msgBox(this, InvalidDateText, InvalidDateTitle);
        f->setFocus();
        return false;
    }
    if (f == timeField && !DateTimeText::parseTime(f->text())) {
        beep();
        msgBox(this, InvalidTimeText, InvalidTimeTitle);
        f->setFocus();
        return false;
    }
    return true;
}

bool EditContactDialog::eventFilter(QObject *watched, QEvent *event)
{
    auto *f = qobject_cast<QLineEdit *>(watched);
    if (!f)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        auto *e = static_cast<QKeyEvent *>(event);
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            saveEdit();
            return true;
        }
        // Shortcuts (Ctrl+A, Ctrl+C, Ctrl+V, Ctrl+Z...) and keys that type no
        // character (Backspace, Delete, Tab, the arrows, Home, End) are the
        // field's own editing keys; the rules below are for typed characters.
        const QString t = e->text();
        if (t.size() != 1 || !t.at(0).isPrint() ||
            (e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
            return false;
        const QChar c = t.at(0);
        if (f == callField && (c == u'\'' || c == u'"' || c == u' '))
            return true;
        if (f == dateField && !(c == u'/' || c.isDigit()))
            return true;
        if (f == timeField && !(c == u':' || c.isDigit()))
            return true;
        if (c >= u'a' && c <= u'z') {
            f->insert(QString(c.toUpper()));
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && !m_pendingChecks.contains(f) && isVisible()) {
        // Leaving a field with a bad value brings the focus back to it.
        auto *fe = static_cast<QFocusEvent *>(event);
        if (fe->reason() == Qt::ActiveWindowFocusReason || fe->reason() == Qt::PopupFocusReason)
            return false;
        if (f == dateField || f == timeField || f == bandField || f == modeField) {
            // Checked once the focus has moved on; a field already waiting
            // for its check is not queued twice.
            m_pendingChecks.insert(f);
            QTimer::singleShot(0, this, [this, f] {
                checkField(f);
                m_pendingChecks.remove(f);
            });
        }
    }
    return QDialog::eventFilter(watched, event);
}
