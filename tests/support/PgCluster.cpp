#include "PgCluster.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <algorithm>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tipdesk::test {

namespace {

constexpr int kToolTimeoutMs = 120'000;
constexpr int kStartAttempts = 5;

bool isRoot()
{
    return geteuid() == 0;
}

bool hasServerBinaries(const QString &dir)
{
    for (const char *tool : {"initdb", "pg_ctl", "postgres"}) {
        if (!QFileInfo(dir + QLatin1Char('/') + QLatin1String(tool)).isExecutable())
            return false;
    }
    return true;
}

// Debian keeps each major version under /usr/lib/postgresql/<version>/bin; the highest one wins.
QString findBinDir()
{
    const QString overridden = qEnvironmentVariable("TIPDESK_PG_BINDIR");
    if (!overridden.isEmpty())
        return hasServerBinaries(overridden) ? overridden : QString();
    QStringList versions = QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString &a, const QString &b) { return a.toDouble() > b.toDouble(); });
    for (const QString &v : versions) {
        const QString dir = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(v);
        if (hasServerBinaries(dir))
            return dir;
    }
    return {};
}

// A port the kernel reports free on 127.0.0.1 now; the start is retried if someone takes it first.
int freePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return 0;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    close(fd);
    return port;
}

// A value of a libpq connection string, quoted when it needs to be.
QString conninfoValue(const QString &v)
{
    if (!v.isEmpty() && !v.contains(QLatin1Char(' ')) && !v.contains(QLatin1Char('\'')) &&
        !v.contains(QLatin1Char('\\')))
        return v;
    QString q = v;
    q.replace(QLatin1String("\\"), QLatin1String("\\\\")).replace(QLatin1String("'"), QLatin1String("\\'"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

QString quoteIdentifier(const QString &name)
{
    QString q = name;
    q.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// The server may not run as root: its folder then belongs to the unprivileged user, and every
// ancestor must let that user pass.
bool traversableByOthers(const QString &path)
{
    QDir d(path);
    for (;;) {
        struct stat st {};
        if (stat(QFile::encodeName(d.absolutePath()).constData(), &st) != 0 || !(st.st_mode & S_IXOTH))
            return false;
        if (d.isRoot())
            return true;
        d.cdUp();
    }
}

} // namespace

PgCluster::PgCluster(PgClusterOptions options) : m_options(std::move(options)), m_binDir(findBinDir())
{
}

PgCluster::~PgCluster()
{
    if (m_running)
        runServerTool(QStringLiteral("pg_ctl"),
                      {QStringLiteral("stop"), QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("-w"),
                       QStringLiteral("-D"), dataDir()},
                      kToolTimeoutMs);
    m_dir.reset();
    if (m_watchdogFd >= 0)
        close(m_watchdogFd);
}

QString PgCluster::skipReason() const
{
    return QStringLiteral("PostgreSQL server binaries not found (initdb, pg_ctl, postgres under "
                          "/usr/lib/postgresql/<version>/bin; Debian package postgresql): skipped");
}

QString PgCluster::dataDir() const
{
    return m_dir ? m_dir->filePath(QStringLiteral("data")) : QString();
}

bool PgCluster::fail(const QString &text)
{
    m_error = text;
    return false;
}

// Runs one of the server's programs, as the unprivileged user when the suite runs as root; psql,
// a client, runs as whoever we are.
PgCluster::Run PgCluster::runServerTool(const QString &tool, const QStringList &args, int timeoutMs,
                                        const QProcessEnvironment &env)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setProcessEnvironment(env);
    if (m_dir)
        p.setWorkingDirectory(m_dir->path());
    const QString program = m_binDir + QLatin1Char('/') + tool;
    if (isRoot() && tool != QLatin1String("psql"))
        p.start(QStringLiteral("runuser"),
                QStringList{QStringLiteral("-u"), systemUser(), QStringLiteral("--"), program} + args);
    else
        p.start(program, args);
    Run r;
    if (!p.waitForStarted(timeoutMs)) {
        r.output = QStringLiteral("%1: %2").arg(tool, p.errorString());
        return r;
    }
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(5000);
        r.output = QStringLiteral("%1 did not finish in %2 s").arg(tool).arg(timeoutMs / 1000);
        return r;
    }
    r.output = QString::fromLocal8Bit(p.readAll()).trimmed();
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return r;
}

bool PgCluster::prepareFolder()
{
    QString base = QDir::tempPath();
    if (isRoot() && !traversableByOthers(base))
        base = QStringLiteral("/tmp");
    m_dir = std::make_unique<QTemporaryDir>(base + QStringLiteral("/tipdesk-pg-XXXXXX"));
    if (!m_dir->isValid())
        return fail(QStringLiteral("cannot create a temporary folder under %1: %2").arg(base, m_dir->errorString()));
    if (isRoot()) {
        const passwd *pw = getpwnam(systemUser().toLocal8Bit().constData());
        if (!pw)
            return fail(QStringLiteral("the system user %1 is missing (scripts/setup.sh creates it); "
                                       "the PostgreSQL server does not run as root")
                            .arg(systemUser()));
        if (chown(QFile::encodeName(m_dir->path()).constData(), pw->pw_uid, pw->pw_gid) != 0)
            return fail(QStringLiteral("cannot hand %1 to %2").arg(m_dir->path(), systemUser()));
    }
    startWatchdog();
    return true;
}

// A detached shell that waits for this process to close its end of a pipe, which also happens when
// the test program crashes or is killed, and then stops a server still running and removes the folder.
void PgCluster::startWatchdog()
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return;
    const QByteArray script =
        "exec 3<&0\n"
        "( read -r _ || true\n"
        "  pidfile=\"$0/data/postmaster.pid\"\n"
        "  if [ -f \"$pidfile\" ]; then\n"
        "    p=$(head -n 1 \"$pidfile\")\n"
        "    if grep -q postgres \"/proc/$p/cmdline\" 2>/dev/null; then\n"
        "      kill -QUIT \"$p\"; i=0\n"
        "      while kill -0 \"$p\" 2>/dev/null && [ $i -lt 100 ]; do sleep 0.1; i=$((i+1)); done\n"
        "    fi\n"
        "  fi\n"
        "  rm -rf -- \"$0\" ) <&3 &\n";
    const QByteArray dir = QFile::encodeName(m_dir->path());
    const char *argv[] = {"/bin/sh", "-c", script.constData(), dir.constData(), nullptr};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[0], 0);
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, 1);
            dup2(null, 2);
        }
        setsid(); // out of the reach of signals sent to the test's process group
        execv(argv[0], const_cast<char *const *>(argv));
        _exit(127);
    }
    close(fds[0]);
    if (pid < 0) {
        close(fds[1]);
        return;
    }
    m_watchdogFd = fds[1];
    waitpid(pid, nullptr, 0); // the shell leaves its waiting part behind and returns at once
}

bool PgCluster::initdb()
{
    QStringList args{QStringLiteral("-D"),
                     dataDir(),
                     QStringLiteral("--locale=C"),
                     QStringLiteral("-E"),
                     QStringLiteral("UTF8"),
                     QStringLiteral("-U"),
                     user(),
                     QStringLiteral("--no-sync"),
                     QStringLiteral("--no-instructions")};
    const QString pwfile = m_dir->filePath(QStringLiteral("pwfile"));
    if (m_options.password.isEmpty()) {
        args << QStringLiteral("--auth=trust");
    } else {
        QFile f(pwfile);
        if (!f.open(QIODevice::WriteOnly) || f.write(m_options.password.toUtf8() + '\n') < 0)
            return fail(QStringLiteral("cannot write the password file for initdb"));
        f.close();
        if (isRoot()) {
            const passwd *pw = getpwnam(systemUser().toLocal8Bit().constData());
            if (!pw || chown(QFile::encodeName(pwfile).constData(), pw->pw_uid, pw->pw_gid) != 0)
                return fail(QStringLiteral("cannot hand the password file to %1").arg(systemUser()));
        }
        // initdb's --auth covers the socket and the host 127.0.0.1/32 lines alike.
        args << QStringLiteral("--auth=scram-sha-256") << QStringLiteral("--pwfile=") + pwfile;
    }
    const Run r = runServerTool(QStringLiteral("initdb"), args, kToolTimeoutMs);
    QFile::remove(pwfile);
    if (r.exitCode != 0)
        return fail(QStringLiteral("initdb failed: %1").arg(r.output));
    m_initialised = true;
    return true;
}

QString PgCluster::logTail() const
{
    QFile f(m_dir->filePath(QStringLiteral("log")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QStringList lines = QString::fromLocal8Bit(f.readAll()).trimmed().split(QLatin1Char('\n'));
    return lines.mid(std::max<qsizetype>(0, lines.size() - 15)).join(QLatin1Char('\n'));
}

bool PgCluster::startOnce(bool *portTaken)
{
    *portTaken = false;
    const QString options =
        QStringLiteral(
            "-p %1 -k '%2' -h 127.0.0.1 -c fsync=off -c synchronous_commit=off -c max_prepared_transactions=4 "
            "-c full_page_writes=off")
            .arg(m_port)
            .arg(m_dir->path());
    const Run r = runServerTool(QStringLiteral("pg_ctl"),
                                {QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("-D"),
                                 dataDir(), QStringLiteral("-o"), options, QStringLiteral("-l"),
                                 m_dir->filePath(QStringLiteral("log")), QStringLiteral("start")},
                                kToolTimeoutMs);
    if (r.exitCode == 0)
        return true;
    const QString log = logTail();
    *portTaken = log.contains(QLatin1String("Address already in use")) || log.contains(QLatin1String("could not bind"));
    return fail(
        QStringLiteral("the PostgreSQL server did not start on port %1: %2\n%3").arg(m_port).arg(r.output, log));
}

bool PgCluster::start()
{
    if (m_running)
        return true;
    if (!binariesFound())
        return fail(skipReason());
    if (!m_dir && !prepareFolder())
        return false;
    if (!m_initialised && !initdb())
        return false;
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        if (m_port == 0)
            m_port = freePort();
        if (m_port == 0)
            return fail(QStringLiteral("no free TCP port on 127.0.0.1"));
        bool portTaken = false;
        if (startOnce(&portTaken)) {
            m_running = true;
            m_error.clear();
            return true;
        }
        if (!portTaken)
            return false;
        m_port = 0;
    }
    return false;
}

bool PgCluster::stop()
{
    if (!m_running)
        return true;
    const Run r = runServerTool(QStringLiteral("pg_ctl"),
                                {QStringLiteral("stop"), QStringLiteral("-m"), QStringLiteral("fast"),
                                 QStringLiteral("-w"), QStringLiteral("-D"), dataDir()},
                                kToolTimeoutMs);
    if (r.exitCode != 0)
        return fail(QStringLiteral("pg_ctl stop failed: %1").arg(r.output));
    m_running = false;
    return true;
}

bool PgCluster::createDatabase(const QString &name)
{
    if (!m_running)
        return fail(QStringLiteral("the PostgreSQL server is not running"));
    const QString db = quoteIdentifier(name);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *v : {"PGSERVICE", "PGOPTIONS", "PGPASSFILE", "PGSSLMODE", "PGPASSWORD"})
        env.remove(QLatin1String(v));
    if (!m_options.password.isEmpty())
        env.insert(QStringLiteral("PGPASSWORD"), m_options.password); // never on the command line
    const Run r = runServerTool(
        QStringLiteral("psql"),
        {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
         QStringLiteral("-h"), host(), QStringLiteral("-p"), QString::number(m_port), QStringLiteral("-U"), user(),
         QStringLiteral("-d"), QStringLiteral("postgres"), QStringLiteral("-c"),
         QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(db), QStringLiteral("-c"),
         QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C'").arg(db)},
        kToolTimeoutMs, env);
    if (r.exitCode != 0)
        return fail(QStringLiteral("cannot create the database %1: %2").arg(name, r.output));
    return true;
}

QString PgCluster::conninfo(const QString &database) const
{
    QString s = QStringLiteral("host=%1 port=%2 dbname=%3 user=%4")
                    .arg(host())
                    .arg(m_port)
                    .arg(conninfoValue(database), user());
    if (!m_options.password.isEmpty())
        s += QStringLiteral(" password=") + conninfoValue(m_options.password);
    return s;
}

} // namespace tipdesk::test
