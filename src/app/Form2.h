#pragma once
// The summary sheet: the entrant's category and postal details for the
// Cabrillo entry. It opens prefilled with the answers kept from last time,
// writes the file named after the own call and keeps the answers again.
#include "export/Cabrillo.h"
#include "log/QsoRecord.h"
#include "log/Station.h"

#include <QDialog>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

class Form2 : public QDialog {
    Q_OBJECT
public:
    // station: the own call, contest and rover flag; mirror: the contacts
    // written, as the main window holds them.
    Form2(const Station &station, const LogMirror &mirror, QWidget *parent = nullptr);

    // The claimed score as the main window shows it at the moment of writing.
    std::function<QString()> claimedScore;

    // The answers as the window holds them.
    Cabrillo::Header header() const;
    // Chooses the file, writes it, thanks the operator, closes the window and
    // keeps the answers. A cancelled dialog or a file that cannot be written
    // ends it quietly, the window staying open.
    void Command4_Click();

    QLabel *Label1 = nullptr;   // section caption
    QLineEdit *Text1 = nullptr; // ARRL/RAC section
    QLineEdit *Text2 = nullptr; // operators
    QLineEdit *Text5 = nullptr; // name
    QLineEdit *Text6 = nullptr; // address line 1
    QLineEdit *Text7 = nullptr; // address line 2
    QLineEdit *Text8 = nullptr; // e-mail
    QLineEdit *Text10 = nullptr; // club
    QPlainTextEdit *Text11 = nullptr; // soapbox

    QGroupBox *Frame2 = nullptr; // operator
    QGroupBox *Frame1 = nullptr; // band category
    QGroupBox *Frame3 = nullptr; // mode
    QGroupBox *Frame6 = nullptr; // power, or assisted in the CQ contest
    QRadioButton *Option1 = nullptr, *Option2 = nullptr, *Option3 = nullptr, *Option6 = nullptr,
                 *Option7 = nullptr, *Option4 = nullptr;
    QRadioButton *Option8 = nullptr, *Option5 = nullptr, *Option12 = nullptr, *Option13 = nullptr;
    QRadioButton *Option11 = nullptr, *Option10 = nullptr, *Option9 = nullptr;
    QRadioButton *Option18 = nullptr, *Option19 = nullptr;
    QPushButton *Command4 = nullptr; // write
    QPushButton *Command3 = nullptr; // done

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The operator buttons in the order of Cabrillo::Operator.
    QRadioButton *operatorButton(Cabrillo::Operator op) const;
    void storeAnswers() const;

    Station m_station;
    const LogMirror &m_mirror;
};
