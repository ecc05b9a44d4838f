#pragma once
// Appending another log or a text backup to the shared log: the operator
// names the file, chooses whether contacts the log already holds are left
// out, and appends. The reading and appending are Append's; this window asks
// and tells.
#include <QDialog>
#include <functional>

class LogStore;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CombineLogsDialog : public QDialog {
    Q_OBJECT
public:
    explicit CombineLogsDialog(LogStore &store, QWidget *parent = nullptr);

    // Reloads the main window's copy of the log after records went in.
    std::function<void()> reload;

private:
    void browseForFile();
    void appendFile();
    // Turning the duplicate filter off is asked first.
    void confirmUnfiltered(bool checked);

    LogStore &m_store;
    QLabel *pathLabel = nullptr;
    QLabel *appendsWarning = nullptr;
    QLabel *clearFirstWarning = nullptr;
    QLabel *carefulWarning = nullptr;
    QLineEdit *pathField = nullptr;
    QPushButton *browseButton = nullptr;
    QPushButton *appendButton = nullptr;
    QPushButton *doneButton = nullptr;
    QCheckBox *eliminateDuplicatesBox = nullptr;
};
