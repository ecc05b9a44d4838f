#pragma once
// The File menu's commands that write the log to files or bring other logs
// in: the Cabrillo entry, ADIF and general-logger export, combine and
// restore, archive, and the activity graph. Each reloads the shared log
// first where the file must hold the other PCs' latest contacts.
#include <QObject>

class Contest;
class QWidget;
struct MainMenus;

class LogFileCommands : public QObject {
    Q_OBJECT
public:
    LogFileCommands(QWidget *window, Contest &contest, MainMenus &menus);

private:
    void writeCabrillo();
    void exportAdif();
    void exportForOrrery();
    void combineLogs();
    void archiveLog();
    void showActivityGraph();

    QWidget *m_window;
    Contest *m_contest;
};
