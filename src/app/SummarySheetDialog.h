#pragma once
// The summary sheet: the entrant's category and postal details for the
// Cabrillo entry. It opens prefilled with the answers kept from last time,
// writes the file named after the own call and keeps the answers again.
#include "export/Cabrillo.h"
#include "log/Station.h"

#include <QDialog>
#include <array>
#include <functional>

class FileJobs;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

class SummarySheetDialog : public QDialog {
    Q_OBJECT
public:
    // station: the own call, contest and rover flag. The log at logPath is
    // read afresh on the jobs' thread, to be looked over when the window
    // opens and to be written.
    SummarySheetDialog(const Station &station, FileJobs &jobs, const QString &logPath, QWidget *parent = nullptr);

    // The claimed score as the main window shows it at the moment of writing.
    std::function<QString()> claimedScore;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Chooses the file and writes it away from the window; when it is
    // written, thanks the operator, closes the window and keeps the answers.
    // A cancelled dialog ends it quietly; a file that cannot be written is
    // told with its reason and the window stays open.
    void writeEntry();
    // The answers as the window holds them.
    Cabrillo::Header answers() const;
    static void storeAnswers(const Cabrillo::Header &answers);
    QRadioButton *operatorButton(Cabrillo::Operator op) const;

    Station m_station;
    FileJobs &m_jobs;
    QString m_logPath;

    QLabel *sectionLabel = nullptr;
    QLineEdit *sectionField = nullptr;
    QLineEdit *operatorsField = nullptr;
    QLineEdit *nameField = nullptr;
    QLineEdit *address1Field = nullptr;
    QLineEdit *address2Field = nullptr;
    QLineEdit *emailField = nullptr;
    QLineEdit *clubField = nullptr;
    QPlainTextEdit *soapboxField = nullptr;

    QGroupBox *operatorFrame = nullptr;
    QGroupBox *bandFrame = nullptr;
    QGroupBox *modeFrame = nullptr;
    QGroupBox *powerFrame = nullptr; // asks for assistance in the CQ contest
    // In the order of Cabrillo::Operator.
    std::array<QRadioButton *, 6> operatorButtons{};
    QRadioButton *allBandsButton = nullptr;
    QRadioButton *limitedBandsButton = nullptr;
    QRadioButton *threeBandButton = nullptr;
    QRadioButton *fmOnlyButton = nullptr;
    QRadioButton *mixedModeButton = nullptr;
    QRadioButton *cwModeButton = nullptr;
    QRadioButton *ssbModeButton = nullptr;
    // High and low power; non-assisted and assisted in the CQ contest.
    QRadioButton *highPowerButton = nullptr;
    QRadioButton *lowPowerButton = nullptr;
    QGroupBox *versionFrame = nullptr;
    QRadioButton *version3Button = nullptr;
    QRadioButton *version2Button = nullptr;
    QComboBox *stationBox = nullptr; // the 3.0 station kinds, in the order of Cabrillo::StationKind
    QLabel *checkLabel = nullptr; // what a log checker would object to
    QPushButton *writeButton = nullptr;
    QPushButton *doneButton = nullptr;
};
