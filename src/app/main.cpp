// Halvern: start of the program.
#include "app/MainWindow.h"
#include "log/Folders.h"
#include "platform/LogEngine.h"
#include "platform/TerminationWatch.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <cstring>
#include <cstdio>

namespace {

// halvern --create-log URL: makes the log table in an existing database on a
// server (or a new empty log file), the one way a log is ever created.
// Needs no display.
int createLog(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Makes a new empty Halvern log."));
    parser.addHelpOption();
    QCommandLineOption create(QStringLiteral("create-log"),
                              QStringLiteral("Makes the log table in the existing database at the "
                                             "address (postgresql://user@host:port/dbname), or a "
                                             "new empty log file at the path."),
                              QStringLiteral("URL"));
    parser.addOption(create);
    // Accepted as in a normal start ("./halvern.sh run --create-log URL").
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("w"), QStringLiteral("workdir")},
                                        QStringLiteral("Ignored."), QStringLiteral("folder")));
    parser.process(app);
    const QString where = parser.value(create).trimmed();
    QString why;
    switch (LogEngine::createLog(where, &why)) {
    case LogEngine::Created::New:
        std::printf("The log was made: %s\n", qPrintable(where));
        return 0;
    case LogEngine::Created::AlreadyThere:
        std::printf("%s already holds a log; nothing was changed.\n", qPrintable(where));
        return 0;
    case LogEngine::Created::Failed:
        break;
    }
    std::fprintf(stderr, "No log was made at %s: %s\n", qPrintable(where), qPrintable(why));
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--create-log", 12) == 0)
            return createLog(argc, argv);

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
