// Halvern: start of the program.
#include "app/MainWindow.h"
#include "log/Folders.h"
#include "platform/TerminationWatch.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvern"));
    QApplication::setOrganizationName(QStringLiteral("Tarnwick_Software"));
    QApplication::setApplicationVersion(QStringLiteral(HALVERN_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Contest logger for VHF, UHF and microwave contests"));
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption workDir(QStringList{QStringLiteral("w"), QStringLiteral("workdir")},
                               QStringLiteral("Working folder for the preferences, the backup and "
                                              "the default log (default: the current folder)."),
                               QStringLiteral("folder"));
    parser.addOption(workDir);
    parser.process(app);
    if (parser.isSet(workDir)) {
        const QString dir = parser.value(workDir);
        if (!QDir().mkpath(dir) || !QDir::setCurrent(dir)) {
            qCritical("cannot use the working folder %s", qPrintable(dir));
            return 1;
        }
    }
    Folders::setWorkDir(QDir::currentPath());
    Folders::setDataFolders(Folders::findDataFolders());

    MainWindow window;
    // Ctrl+C, kill and a closed terminal end the program as Exit does; the
    // lines are released as the window goes.
    TerminationWatch termination;
    QObject::connect(&termination, &TerminationWatch::requested, &window, &MainWindow::endOnSignal);
    window.show();
    if (!window.startUp())
        return 0;
    return app.exec();
}
