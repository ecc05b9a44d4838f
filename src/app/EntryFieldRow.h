#pragma once
// The row of entry fields as the operator sees it: captions over the call,
// received report, grid and sent report (each with its typing rule), the
// post-contest time and date, the "New" grid mark and Clear, in a large bold
// font, with Tab going through the fields in that order.
class PostContestFields;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

struct EntryFieldRow {
    QLineEdit *call = nullptr;
    QLineEdit *receivedReport = nullptr;
    QLineEdit *grid = nullptr;
    QLineEdit *sentReport = nullptr;
    QLabel *newGridMark = nullptr;
    QPushButton *clear = nullptr;
    PostContestFields *postContest = nullptr;
    QGridLayout *layout = nullptr;

    // Makes the row's controls as children of panel; the layout is the
    // caller's to place.
    static EntryFieldRow build(QWidget *panel);
};
