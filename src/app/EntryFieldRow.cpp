#include "app/EntryFieldRow.h"

#include "app/Colors.h"
#include "app/Controls.h"
#include "app/EntryValidator.h"
#include "app/PostContestFields.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

using Controls::field;
using Controls::label;

EntryFieldRow EntryFieldRow::build(QWidget *panel)
{
    EntryFieldRow row;
    row.call = field(panel, "txtCall", 13);
    row.receivedReport = field(panel, "txtRSTR", 3);
    row.grid = field(panel, "txtSec", 8);
    row.sentReport = field(panel, "txtRSTS", 3);
    auto *post = row.postContest = new PostContestFields(panel);
    QFont entryFont = panel->font();
    entryFont.setPointSize(entryFont.pointSize() + 6);
    entryFont.setBold(true);
    for (QLineEdit *e : {row.call, row.receivedReport, row.grid, row.sentReport, post->timeField(), post->dateField()})
        e->setFont(entryFont);
    row.call->setMinimumWidth(220);
    for (QLineEdit *e : {row.receivedReport, row.sentReport})
        e->setMaximumWidth(90);
    row.grid->setMaximumWidth(150);
    const std::pair<QLineEdit *, EntryField> rules[] = {
        {row.call, EntryField::Call},
        {row.receivedReport, EntryField::Report},
        {row.grid, EntryField::Grid},
        {row.sentReport, EntryField::Report},
    };
    for (const auto &[edit, rule] : rules)
        edit->setValidator(new EntryValidator(rule, edit));
    row.newGridMark = label(panel, "Label3", QStringLiteral("New"));
    row.newGridMark->setVisible(false);
    setTextColor(row.newGridMark, Qt::red);
    row.clear = Controls::button(panel, "cmdClear", QStringLiteral("&Clear"));
    row.clear->setFocusPolicy(Qt::ClickFocus);

    auto *fields = row.layout = new QGridLayout;
    fields->addWidget(label(panel, "lblCallCaption", QStringLiteral("Call")), 0, 0);
    fields->addWidget(label(panel, "lblRstrCaption", QStringLiteral("Rcvd")), 0, 1);
    fields->addWidget(label(panel, "lblSecCaption", QStringLiteral("Grid")), 0, 2);
    fields->addWidget(label(panel, "lblRstsCaption", QStringLiteral("Sent")), 0, 3);
    fields->addWidget(post->timeCaption(), 0, 4);
    fields->addWidget(post->dateCaption(), 0, 5);
    fields->addWidget(row.call, 1, 0);
    fields->addWidget(row.receivedReport, 1, 1);
    fields->addWidget(row.grid, 1, 2);
    fields->addWidget(row.sentReport, 1, 3);
    fields->addWidget(post->timeField(), 1, 4);
    fields->addWidget(post->dateField(), 1, 5);
    fields->addWidget(row.newGridMark, 1, 6);
    fields->addWidget(row.clear, 1, 7);
    fields->setColumnStretch(8, 1);
    QWidget::setTabOrder(row.call, row.receivedReport);
    QWidget::setTabOrder(row.receivedReport, row.grid);
    QWidget::setTabOrder(row.grid, row.sentReport);
    QWidget::setTabOrder(row.sentReport, post->timeField());
    QWidget::setTabOrder(post->timeField(), post->dateField());
    return row;
}
