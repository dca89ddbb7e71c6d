// The example site configuration the package installs in /etc/xdg/tipdesk, read as the program
// reads it: as shipped it defines nothing, so the embedded default stays in force; with its lines
// uncommented every key it names is one the program reads. And the tools' --help and --version,
// which help2man turns into their manual pages.
#include "platform/db/BackendSelector.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace tipdesk;

namespace {

QByteArray exampleText()
{
    QFile f(QStringLiteral(SITE_INI));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The file as a site administrator edits it: the ; before the group line and before every
// key=value line removed.
QByteArray uncommented(const QByteArray &text)
{
    static const QRegularExpression setting(QStringLiteral("^;(\\[\\w+\\]|\\w+=.*)$"),
                                            QRegularExpression::MultilineOption);
    return QString::fromUtf8(text).replace(setting, QStringLiteral("\\1")).toUtf8();
}

QString writeTemp(const QTemporaryDir &dir, const QByteArray &text)
{
    const QString path = dir.filePath(QStringLiteral("tipdesk.ini"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        return {};
    return path;
}

struct Run {
    int exitCode = -1;
    QString out;
};

Run runTool(const QString &path, const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(path, args);
    if (!p.waitForFinished(120000)) { // a guard against a hang, not a measure
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2, QString::fromUtf8(p.readAllStandardOutput())};
}

} // namespace

class TstPackaging : public QObject {
    Q_OBJECT
private slots:
    void exampleAsShippedDefinesNothing();
    void uncommentedExampleNamesOnlyKeysTheProgramReads();
    void toolAnswersVersionAndHelp_data();
    void toolAnswersVersionAndHelp();
};

void TstPackaging::exampleAsShippedDefinesNothing()
{
    const QByteArray text = exampleText();
    QVERIFY2(!text.isEmpty(), SITE_INI);
    QTemporaryDir dir;
    QSettings settings(writeTemp(dir, text), QSettings::IniFormat);
    QCOMPARE(settings.status(), QSettings::NoError);
    QCOMPARE(settings.allKeys(), QStringList());
    QVERIFY(!db::readAliasDefinition(settings, QStringLiteral("commonDB")));
}

void TstPackaging::uncommentedExampleNamesOnlyKeysTheProgramReads()
{
    QTemporaryDir dir;
    QSettings settings(writeTemp(dir, uncommented(exampleText())), QSettings::IniFormat);
    QCOMPARE(settings.status(), QSettings::NoError);
    QCOMPARE(settings.childGroups(), QStringList{QStringLiteral("commonDB")});
    settings.beginGroup(QStringLiteral("commonDB"));
    QStringList keys = settings.childKeys();
    settings.endGroup();
    keys.sort();
    // The alias definition's keys, as the README and the comments in the file describe them.
    QCOMPARE(keys, QStringList({"DatabaseName", "Driver", "HostName", "Password", "Path", "Port", "UserName"}));

    const std::optional<db::AliasDefinition> def = db::readAliasDefinition(settings, QStringLiteral("commonDB"));
    QVERIFY(def);
    QCOMPARE(def->driver, QStringLiteral("QOCI"));
    QVERIFY(!def->databaseName.isEmpty());
    QVERIFY(!def->hostName.isEmpty());
    QVERIFY(def->port > 0);
    QVERIFY(!def->userName.isEmpty());
    QVERIFY(!def->path.isEmpty());
}

void TstPackaging::toolAnswersVersionAndHelp_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::newRow("tipdesk-report") << "tipdesk-report" << TOOL_TIPDESK_REPORT;
    QTest::newRow("tipdesk-sql") << "tipdesk-sql" << TOOL_TIPDESK_SQL;
    QTest::newRow("tipdesk-demo-db") << "tipdesk-demo-db" << TOOL_TIPDESK_DEMO_DB;
    QTest::newRow("tipdesk-aggregate") << "tipdesk-aggregate" << TOOL_TIPDESK_AGGREGATE;
}

void TstPackaging::toolAnswersVersionAndHelp()
{
    QFETCH(QString, name);
    QFETCH(QString, path);

    const Run version = runTool(path, {QStringLiteral("--version")});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, name + QStringLiteral(" " TIPDESK_VERSION "\n"));

    // help2man reads the synopsis from the "Usage:" line and the options from the "Options:"
    // paragraph, on standard output.
    const Run help = runTool(path, {QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    const QStringList lines = help.out.split(u'\n');
    QVERIFY2(lines.first().startsWith(QStringLiteral("Usage: ")) && lines.first().contains(name),
             qPrintable(lines.first()));
    QVERIFY(lines.contains(QStringLiteral("Options:")));
    const auto described = [&](const QString &option) {
        return std::any_of(lines.begin(), lines.end(),
                           [&](const QString &l) { return l.startsWith(QStringLiteral("  ")) && l.contains(option); });
    };
    QVERIFY(described(QStringLiteral("--help")));
    QVERIFY(described(QStringLiteral("--version")));
    QVERIFY(described(QStringLiteral("--database")) || described(QStringLiteral("--out")));
}

QTEST_GUILESS_MAIN(TstPackaging)
#include "tst_packaging.moc"
