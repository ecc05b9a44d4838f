// The start script on a machine where everything is installed, with the
// build tools played by stand-ins that note how they were called: it never
// calls the package tools, "run" builds the program alone, "test" builds
// everything.
#include "support/TestLog.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

bool writeScript(const QString &path, const QString &text)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(text.toUtf8());
    f.close();
    return f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(StartScript, InstalledMachineStartsWithoutAptAndBuildsWhatIsAskedFor)
{
    const QString source = QString::fromLocal8Bit(qgetenv("HALVERN_SOURCE_DIR"));
    ASSERT_FALSE(source.isEmpty());
    QTemporaryDir dir;
    const QString calls = dir.filePath("calls.txt");
    const QString tools = dir.filePath("tools");
    const QString build = dir.filePath("build");
    ASSERT_TRUE(QDir().mkpath(tools) && QDir().mkpath(build + "/src"));
    auto standIn = [&calls](const QString &name) {
        return QStringLiteral("#!/bin/sh\necho \"%1 $*\" >> '%2'\n").arg(name, calls);
    };
    for (const char *tool : {"cmake", "ctest", "apt-get", "sudo"})
        ASSERT_TRUE(writeScript(QDir(tools).filePath(tool), standIn(tool)));
    ASSERT_TRUE(writeScript(build + "/src/halvern", standIn("halvern")));

    const QString jobs = [] {
        QProcess p;
        p.start("nproc", {});
        p.waitForFinished();
        return QString::fromLatin1(p.readAllStandardOutput().trimmed());
    }();
    struct Case {
        const char *command;
        QStringList expected;
    } cases[] = {
        {"run", {"cmake --build " + build + " -j" + jobs + " --target halvern",
                 "halvern --workdir " + dir.filePath("work")}},
        {"test", {"cmake --build " + build + " -j" + jobs, "ctest --output-on-failure -j2"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.command);
        QFile::remove(calls);
        QProcess script;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PATH", tools + ":" + env.value("PATH"));
        env.insert("HALVERN_BUILD_DIR", build);
        env.insert("HALVERN_WORKDIR", dir.filePath("work"));
        script.setProcessEnvironment(env);
        script.start("bash", {QDir(source).filePath("halvern.sh"), c.command});
        ASSERT_TRUE(script.waitForFinished(60000));
        EXPECT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();

        QFile f(calls);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
        // The build folder is set up first; then come the calls that matter.
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_TRUE(lines.takeFirst().startsWith("cmake -S " + source));
        EXPECT_EQ(lines, c.expected);
    }
}

} // namespace
