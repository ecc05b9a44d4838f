#pragma once
// The station setup window: own call, grid, UTC offset, position, contest,
// fixed or rover, and the path of the shared log. Done opens the log through
// the function the main window gives it and stays open when that fails.
#include <QDialog>
#include <functional>

class QLineEdit;
class QPushButton;
class QRadioButton;
struct Station;

class frmStationID : public QDialog {
    Q_OBJECT
public:
    explicit frmStationID(QWidget *parent = nullptr);

    // Opens the log at the path; on failure returns false with the reason.
    std::function<bool(const QString &path, QString *error)> openLog;

    // Fills the fields from the settings (step 2 of the setup).
    void fillFrom(const Station &s, const QString &defaultLogPath);
    // The checked contest, 1..5.
    int contestType() const;
    bool rover() const;

    QLineEdit *Text1 = nullptr; // own call
    QLineEdit *Text5 = nullptr; // own grid
    QLineEdit *Text6 = nullptr; // hours for UTC
    QLineEdit *Text2 = nullptr; // longitude
    QLineEdit *Text3 = nullptr; // latitude
    QLineEdit *Text8 = nullptr; // log path
    QRadioButton *Option1 = nullptr, *Option2 = nullptr, *Option3 = nullptr, *Option4 = nullptr,
                 *Option7 = nullptr;
    QRadioButton *Option5 = nullptr, *Option6 = nullptr;
    QPushButton *Command1 = nullptr; // Done
    QPushButton *Command2 = nullptr; // Browse
    QPushButton *Command3 = nullptr; // Cancel
    QPushButton *Command4 = nullptr; // Help

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    static QString helpText();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void reject() override;
};
