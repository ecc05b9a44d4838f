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

class StationSetupDialog : public QDialog {
    Q_OBJECT
public:
    explicit StationSetupDialog(QWidget *parent = nullptr);

    // Opens the log at the path; on failure returns false with the reason.
    std::function<bool(const QString &path, QString *error)> openLog;

    // Fills the fields from the settings; a log path shorter than three
    // characters is replaced by defaultLogPath.
    void fillFrom(const Station &s, const QString &defaultLogPath);

    // What the operator entered, each field's text as it stands (untrimmed).
    int contestType() const; // the checked contest, 1..5
    bool rover() const;
    QString ownCall() const;
    QString ownGrid() const;
    QString utcOffsetText() const;
    QString longitudeText() const;
    QString latitudeText() const;
    QString logPath() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Done: asks for a call and a grid square if they are missing, zeroes
    // non-numeric numbers, opens the log, publishes the station's identity
    // and closes the window.
    void acceptSetup();
    // Letters, digits and "/" only, blanks around it aside.
    bool ownCallIsValid() const;
    // Tells the operator what the field needs and puts the caret there.
    void refuse(QLineEdit *field, const QString &why);
    void browseForLog();
    static QString helpText();

    QLineEdit *callField = nullptr;
    QLineEdit *gridField = nullptr;
    QLineEdit *utcOffsetField = nullptr;
    QLineEdit *longitudeField = nullptr;
    QLineEdit *latitudeField = nullptr;
    QLineEdit *logPathField = nullptr;
    QRadioButton *januaryButton = nullptr;
    QRadioButton *juneButton = nullptr;
    QRadioButton *uhfButton = nullptr;
    QRadioButton *septemberButton = nullptr;
    QRadioButton *cqButton = nullptr;
    QRadioButton *fixedButton = nullptr;
    QRadioButton *roverButton = nullptr;
    QPushButton *doneButton = nullptr;
    QPushButton *browseButton = nullptr;
    QPushButton *cancelButton = nullptr;
    QPushButton *helpButton = nullptr;
};
