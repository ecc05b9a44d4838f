#pragma once
// The File menu's commands that write the log to files or bring other logs
// in: the Cabrillo entry, ADIF and general-logger export, combine and
// restore, archive, and the activity graph. The files written hold the
// shared log as it is when they are written, the other PCs' latest contacts
// included: the log is read afresh for them away from the window (FileJobs),
// so that the operator goes on logging meanwhile.
#include <QObject>

class Contest;
class FileJobs;
class QWidget;
struct MainMenus;

class LogFileCommands : public QObject {
    Q_OBJECT
public:
    LogFileCommands(QWidget *window, Contest &contest, MainMenus &menus);
    // The exports and copies under way.
    FileJobs &jobs() { return *m_jobs; }

private:
    void writeCabrillo();
    void exportAdif();
    void exportForOrrery();
    void combineLogs();
    void archiveLog();
    void showActivityGraph();

    // The log the files are made from.
    QString logPath() const;

    QWidget *m_window;
    Contest *m_contest;
    FileJobs *m_jobs;
};
