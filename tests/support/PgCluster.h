#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace tipdesk::test {

// A throwaway PostgreSQL server for one test program: initdb into a temporary folder
// (--locale=C, UTF8, --no-sync), its own free port on 127.0.0.1 plus a socket in that folder,
// run as the unprivileged system user "tipdesk-pg" when the suite runs as root. Stopped (pg_ctl
// stop -m immediate) and removed when destroyed; a detached watchdog does the same if the test
// program dies without running its destructors.
struct PgClusterOptions {
    QString password; // non-empty: scram-sha-256 authentication with this password for the superuser
};

class PgCluster {
public:
    explicit PgCluster(PgClusterOptions options = {});
    ~PgCluster();
    PgCluster(const PgCluster &) = delete;
    PgCluster &operator=(const PgCluster &) = delete;

    bool binariesFound() const { return !m_binDir.isEmpty(); }
    QString skipReason() const;
    bool start();
    bool stop();
    bool isRunning() const { return m_running; }
    QString error() const { return m_error; }
    QString host() const { return QStringLiteral("127.0.0.1"); }
    int port() const { return m_port; }
    QString user() const { return QStringLiteral("tipdesk"); }
    QString password() const { return m_options.password; }
    QString dataDir() const;
    // An empty database (UTF8, LC_COLLATE/LC_CTYPE 'C', from template0) named name; drops one of that
    // name first. Returns false + error() on failure.
    bool createDatabase(const QString &name);
    // libpq connection string, e.g. "host=127.0.0.1 port=55555 dbname=x user=tipdesk" (password included only when
    // set).
    QString conninfo(const QString &database) const;

    // The system user the server runs as when the suite runs as root.
    static QString systemUser() { return QStringLiteral("tipdesk-pg"); }

private:
    struct Run {
        int exitCode = -1;
        QString output;
    };
    Run runServerTool(const QString &tool, const QStringList &args, int timeoutMs,
                      const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());
    bool prepareFolder();
    bool initdb();
    bool startOnce(bool *portTaken);
    void startWatchdog();
    QString logTail() const;
    bool fail(const QString &text);

    PgClusterOptions m_options;
    QString m_binDir;
    std::unique_ptr<QTemporaryDir> m_dir;
    bool m_initialised = false;
    bool m_running = false;
    int m_port = 0;
    int m_watchdogFd = -1;
    QString m_error;
};

// In initTestCase(): starts the cluster or skips the whole program with the reason when the
// binaries are missing (QSKIP); fails (QFAIL) when they are there but the server does not start.
#define TIPDESK_START_PG(cluster)                                                                                      \
    do {                                                                                                               \
        if (!(cluster).binariesFound())                                                                                \
            QSKIP(qPrintable((cluster).skipReason()));                                                                 \
        if (!(cluster).start())                                                                                        \
            QFAIL(qPrintable((cluster).error()));                                                                      \
    } while (false)

} // namespace tipdesk::test
