#include "app/frmEditCon.h"

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

frmEditCon::frmEditCon(const LogMirror &mirror, int editIndex, QWidget *parent)
    : QDialog(parent), m_mirror(mirror), m_index(editIndex)
{
    setObjectName(QStringLiteral("frmEditCon"));
    setWindowTitle(QStringLiteral("Edit Contact Entry"));
    setModal(true);
    if (editIndex >= 1 && editIndex <= mirror.recordCount())
        m_stored = mirror.at(editIndex);
    const QsoRecord &r = m_stored;
    txtEditCall = field(this, "txtEditCall", r.calls);
    txtEditNum = field(this, "txtEditNum", r.rsts);
    txtEditPre = field(this, "txtEditPre", r.grids);
    txtEditCk = field(this, "txtEditCk", r.rstr);
    txtEditSec = field(this, "txtEditSec", r.gridr);
    txtEditDate = field(this, "txtEditDate", r.flddate);
    txtEditTime = field(this, "txtEditTime", r.fldtime);
    txtEditBnd = field(this, "txtEditBnd", r.uband);
    txtEditMode = field(this, "txtEditMode", r.umode);
    Label1 = flag(this, "Label1", QStringLiteral("Dupe!"));
    Label2 = flag(this, "Label2", QStringLiteral("Invalid!"));
    Label3 = flag(this, "Label3", QStringLiteral("Invalid!"));
    Label5 = flag(this, "Label5", QStringLiteral("Invalid!"));
    cmdDone = new QPushButton(QStringLiteral("Done"), this);
    cmdDone->setObjectName(QStringLiteral("cmdDone"));
    cmdDone->setAutoDefault(false);
    cmdDeleteDupe = new QPushButton(QStringLiteral("Delete Dupe"), this);
    cmdDeleteDupe->setObjectName(QStringLiteral("cmdDeleteDupe"));
    cmdDeleteDupe->setAutoDefault(false);
    cmdDeleteDupe->setVisible(false);

    auto *grid = new QGridLayout;
    int row = 0;
    auto add = [&](const QString &caption, QLineEdit *e, QLabel *mark = nullptr) {
        grid->addWidget(new QLabel(caption, this), row, 0);
        grid->addWidget(e, row, 1);
        if (mark)
            grid->addWidget(mark, row, 2);
        ++row;
    };
    add(QStringLiteral("Callsign"), txtEditCall, Label1);
    add(QStringLiteral("Rst(S)"), txtEditNum);
    add(QStringLiteral("Grid(S)"), txtEditPre);
    add(QStringLiteral("Rst(R)"), txtEditCk);
    add(QStringLiteral("Grid(R)"), txtEditSec);
    add(QStringLiteral("Date"), txtEditDate, Label2);
    add(QStringLiteral("Time"), txtEditTime);
    add(QStringLiteral("Band"), txtEditBnd, Label3);
    add(QStringLiteral("Mode"), txtEditMode, Label5);
    auto *top = new QVBoxLayout(this);
    top->addWidget(new QLabel(QStringLiteral("Edit Contact:"), this));
    top->addLayout(grid);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdDeleteDupe);
    buttons->addStretch();
    buttons->addWidget(cmdDone);
    top->addLayout(buttons);

    for (QLineEdit *e : {txtEditCall, txtEditNum, txtEditPre, txtEditCk, txtEditSec, txtEditDate,
                         txtEditTime, txtEditBnd, txtEditMode})
        e->installEventFilter(this);
    connect(cmdDone, &QPushButton::clicked, this, &frmEditCon::cmdDone_Click);
    connect(cmdDeleteDupe, &QPushButton::clicked, this, [this] {
        hide();
        if (deleteDupe)
            deleteDupe();
        accept();
    });
}

QsoRecord frmEditCon::edited() const
{
    QsoRecord r;
    r.calls = txtEditCall->text().trimmed();
    r.rstr = txtEditCk->text();
    r.gridr = txtEditSec->text().trimmed();
    r.rsts = txtEditNum->text().trimmed();
    r.grids = txtEditPre->text();
    r.flddate = txtEditDate->text();
    r.fldtime = txtEditTime->text();
    r.uband = txtEditBnd->text();
    r.umode = txtEditMode->text();
    // The log is read back in the order of these texts: a date or time
    // typed in another form ("6/9/26", "9:30") is stored in the log's own.
    if (const auto d = DateTimeText::parseDate(r.flddate))
        r.flddate = DateTimeText::logDate(*d);
    if (const auto t = DateTimeText::parseTime(r.fldtime))
        r.fldtime = r.fldtime.count(u':') >= 2 ? DateTimeText::logTime(*t)
                                               : DateTimeText::shortLogTime(*t);
    return r;
}

void frmEditCon::cmdDone_Click()
{
    if (!DateTimeText::parseTime(txtEditTime->text())) {
        beep();
        msgBox(this, InvalidTimeText, InvalidTimeTitle);
        txtEditTime->setFocus();
        return;
    }
    if (!DateTimeText::parseDate(txtEditDate->text())) {
        beep();
        msgBox(this, InvalidDateText, InvalidDateTitle);
        txtEditDate->setFocus();
        return;
    }
    // The band and mode are checked on leaving their fields; Done checks them
    // too, so that nothing unreadable reaches the log.
    if (!checkLeave(txtEditBnd) || !checkLeave(txtEditMode))
        return;
    QsoRecord r = edited();
    // The window's own dupe test compares the fields as typed.
    QsoRecord typed = r;
    typed.calls = txtEditCall->text();
    typed.gridr = txtEditSec->text();
    if (editDupeOf(m_mirror, m_index, typed) > 0) {
        Label1->setVisible(true);
        cmdDeleteDupe->setVisible(true);
        beep();
        return;
    }
    Label1->setVisible(false);
    if (save)
        save(r);
    accept();
}

bool frmEditCon::checkLeave(QLineEdit *f)
{
    if (f == txtEditMode) {
        if (isModeCode(f->text())) {
            Label5->setVisible(false);
            return true;
        }
        beep();
        Label5->setVisible(true);
        f->setText(m_stored.umode);
        f->setFocus();
        return false;
    }
    if (f == txtEditBnd) {
        if (isBandLabel(f->text())) {
            Label3->setVisible(false);
            return true;
        }
        beep();
        Label3->setVisible(true);
        f->setText(m_stored.uband);
        f->setFocus();
        return false;
    }
    if (f == txtEditDate && !DateTimeText::parseDate(f->text())) {
        beep();
        msgBox(this, InvalidDateText, InvalidDateTitle);
        f->setFocus();
        return false;
    }
    if (f == txtEditTime && !DateTimeText::parseTime(f->text())) {
        beep();
        msgBox(this, InvalidTimeText, InvalidTimeTitle);
        f->setFocus();
        return false;
    }
    return true;
}

bool frmEditCon::eventFilter(QObject *watched, QEvent *event)
{
    auto *f = qobject_cast<QLineEdit *>(watched);
    if (!f)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        auto *e = static_cast<QKeyEvent *>(event);
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            cmdDone_Click();
            return true;
        }
        const QString t = e->text();
        if (t.size() != 1 || e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Tab ||
            e->key() == Qt::Key_Backtab)
            return false;
        const QChar c = t.at(0);
        if (f == txtEditCall && (c == u'\'' || c == u'"' || c == u' '))
            return true;
        if (f == txtEditDate && !(c == u'/' || c.isDigit()))
            return true;
        if (f == txtEditTime && !(c == u':' || c.isDigit()))
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
        if (f == txtEditDate || f == txtEditTime || f == txtEditBnd || f == txtEditMode) {
            // Checked once the focus has moved on; a field already waiting
            // for its check is not queued twice.
            m_pendingChecks.insert(f);
            QTimer::singleShot(0, this, [this, f] {
                checkLeave(f);
                m_pendingChecks.remove(f);
            });
        }
    }
    return QDialog::eventFilter(watched, event);
}
