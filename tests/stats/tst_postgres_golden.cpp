#include "KindTest.h"
#include "PgCluster.h"
#include "app/PostgresLoad.h"
#include "stats/ReportKinds.h"

#include <QtTest>

using namespace tipdesk;
using namespace tipdesk::test;

// Every kind's golden request rendered from the embedded file and from a PostgreSQL server holding
// the same rows: the pages must be the same, byte for byte, and where the golden page comes from
// the golden database, the server's pages are that page.
class TstPostgresGolden : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void samePages_data();
    void samePages();

private:
    PgCluster m_pg;
    QTemporaryDir m_dir;
    QString m_file;
};

namespace {

// The family whose folder holds a kind's golden page. The registers' and the period totals' pages
// come from fixtures of their own; the others' from the golden database.
QString family(int kind)
{
    if ((kind >= 8 && kind <= 14) || kind == 19)
        return QStringLiteral("ledger");
    if (kind >= 21)
        return QStringLiteral("periodtotals");
    if (kind == 15 || kind == 16 || kind == 17 || kind == 20)
        return QStringLiteral("reception");
    return QStringLiteral("summary");
}

// The pages of a kind's golden case as the program draws them on the backend chosen for it.
QString render(int kind)
{
    ui::ScopedRecordingUi recording;
    db::Clock::setFixed(QDateTime(QDate(2004, 2, 1), QTime(9, 30)));
    app::TDataMod1 dataMod;
    stats::TDMReport module;
    const GoldenCase c = GoldenCases(kind).constFirst();
    const std::optional<report::PageModel> model = RenderRequest(c.request);
    db::Clock::clearFixed();
    if (!recording->entries.isEmpty())
        return QStringLiteral("box: ") + recording->entries.constFirst().text;
    return model ? report::dumpText(*model) : QStringLiteral("no data");
}

} // namespace

void TstPostgresGolden::initTestCase()
{
    TIPDESK_START_PG(m_pg);
    QVERIFY2(m_pg.createDatabase(QStringLiteral("golden")), qPrintable(m_pg.error()));
    demo::DemoOptions o;
    o.out = m_file = m_dir.filePath(QStringLiteral("golden.db"));
    o.seed = 11;
    o.until = QDate(2004, 1, 10);
    o.days = 20;
    o.perDay = 40;
    demo::buildDemoDb(o);
    try {
        app::loadIntoPostgres(m_file, m_pg.conninfo(QStringLiteral("golden")));
    } catch (const std::exception &e) {
        QFAIL(e.what());
    }
}

void TstPostgresGolden::cleanupTestCase()
{
    db::setEmbeddedOverride(QString());
    db::setPostgresOverride(QString());
}

void TstPostgresGolden::samePages_data()
{
    QTest::addColumn<int>("kind");
    for (const stats::KindDescriptor *d : stats::AllKinds())
        QTest::newRow(qPrintable(QStringLiteral("kind%1").arg(d->kind, 2, 10, QLatin1Char('0')))) << d->kind;
}

void TstPostgresGolden::samePages()
{
    QFETCH(int, kind);
    db::setPostgresOverride(QString());
    db::setEmbeddedOverride(m_file);
    const QString embedded = render(kind);
    db::setEmbeddedOverride(QString());
    db::setPostgresOverride(m_pg.conninfo(QStringLiteral("golden")));
    const QString server = render(kind);
    db::setPostgresOverride(QString());
    QVERIFY2(!server.startsWith(QLatin1String("box: ")), qPrintable(server));
    const QString f = family(kind);
    const bool fromGoldenDatabase = f == QLatin1String("ledger") || f == QLatin1String("summary");
    QVERIFY2(!fromGoldenDatabase || server != QLatin1String("no data"), "the server found no rows");
    if (server != embedded) {
        const QStringList a = embedded.split(u'\n'), b = server.split(u'\n');
        qsizetype line = 0;
        while (line < a.size() && line < b.size() && a[line] == b[line])
            ++line;
        QFAIL(qPrintable(QStringLiteral("line %1:\n  embedded: %2\n  server:   %3")
                             .arg(line + 1)
                             .arg(a.value(line), b.value(line))));
    }
    if (fromGoldenDatabase)
        CompareGolden(server, QStringLiteral("tests/%1/golden/kind%2.txt").arg(f).arg(kind, 2, 10, QLatin1Char('0')));
}

QTEST_MAIN(TstPostgresGolden)
#include "tst_postgres_golden.moc"
