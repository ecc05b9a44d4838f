#pragma once
// A throwaway PostgreSQL server for tests and benchmarks: a cluster made with
// the packaged initdb in a temporary folder, listening on a free port of
// 127.0.0.1 (its Unix socket in the same folder), stopped and removed when
// the program ends, also when a signal ends it. The server refuses to run as
// root, so a root test run starts it as the system's postgres user.
//
// The folder is named FolderPrefix... and holds the process id of the
// program that made it: a server left behind by a program that died without
// stopping it (killed, or ended by a timeout) is stopped and its folder
// removed by the next program that starts one.
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class PgServer {
public:
    // The one server of this program, started on first use; durable keeps
    // the server's syncs to disk (for figures), tests run without them.
    static PgServer &get(bool durable = false);
    static constexpr const char *FolderPrefix = "halvern-pg-";
    // Stops and removes the servers in `parent` whose programs are gone;
    // how many there were.
    static int removeAbandoned(const QString &parent);

    bool running() const { return m_running; }
    // Why there is no server (the packages are missing, it did not start).
    QString whyNot() const { return m_why; }

    // The address of database name on this server.
    QString url(const QString &database) const;
    // A new empty database; its address.
    QString newDatabase();
    // A new database holding an empty log; its address.
    QString newLog();

    // Stops the server (every client is cut off) and starts it again on the
    // same port.
    bool stop();
    bool start();

    ~PgServer();

private:
    explicit PgServer(bool durable);
    bool run(const QString &program, const QStringList &args, QString *output = nullptr);
    void watchForSignals();
    QString m_bin;
    QTemporaryDir m_dir;
    QString m_data;
    int m_port = 0;
    bool m_asPostgresUser = false;
    bool m_durable = false;
    bool m_running = false;
    QString m_why;
    int m_databases = 0;
};
