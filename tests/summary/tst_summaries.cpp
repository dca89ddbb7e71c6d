#include "../stats/KindTest.h"
#include "../stats/StatsFixture.h"
#include "platform/report/Layout.h"

#include <QDateEdit>
#include <QListWidget>
#include <QtTest>
#include <algorithm>

using namespace tipdesk;

namespace {

// The per-source statistics table of each summary kind.
struct KindTable {
    const char *table;
    const char *idColumn;
    const char *nameColumn;
    const char *title;
    const char *share[4]; // components printing the day, week, month and total shares
};

const KindTable kTables[4] = {
    {"STAT_HUB_RPT",
     "RPT_ID",
     "RPT_NAME",
     "통신원별제보현황",
     {"QRDBTextStrDay", "QRDBTextStrWeek", "QRDBTextStrMonth", "QRDBTextStrTotal"}},
    {"STAT_HUB_ORG",
     "ORG_ID",
     "ORG_NAME",
     "고정제보처별제보현황",
     {"QRDBTextStrDay", "QRDBTextStrWeek", "QRDBTextStrMonth", "QRDBTextStrTotal"}},
    {"STAT_HUB_POL", "POL_ID", "POL_NAME", "경찰제보처별제보현황", {"QRDBDayp", "QRDBWeekP", "QRDBMonP", "QRDBSumP"}},
    {"STAT_HUB_OP",
     "OP_ID",
     "OP_NAME",
     "접수자별제보현황",
     {"QRDBTextStrDay", "QRDBTextStrWeek", "QRDBTextStrMonth", "QRDBTextStrTotal"}},
};

const char *const kCounts[4] = {"QRDBTextDaySum", "QRDBTextWeekSum", "QRDBTextMonthSum", "QRDBTextTotal"};

struct Source {
    QString id;
    QString name;
    bool current;
};

struct Count {
    QString day;
    QString id;
    qint64 count;
};

struct Fixture {
    QList<Source> sources;
    QList<Count> counts;

    QString script(int kind) const
    {
        const KindTable &t = kTables[kind];
        QString s;
        for (const Source &src : sources)
            s += QStringLiteral("insert into INDIVIDUAL(INDIVIDUAL_ID, INDIVIDUAL_NAME, TYPE, CUR) values "
                                "('%1', '%2', '1', '%3');")
                     .arg(src.id, src.name, src.current ? QStringLiteral("Y") : QStringLiteral("N"));
        for (const Count &c : counts)
            s += QStringLiteral("insert into %1(STAT_DAY, %2, %3, REPORT_COUNT) values ('%4', '%5', '%6', %7);")
                     .arg(QLatin1String(t.table), QLatin1String(t.idColumn), QLatin1String(t.nameColumn), c.day, c.id,
                          nameOf(c.id))
                     .arg(c.count);
        return s;
    }

    QString nameOf(const QString &id) const
    {
        for (const Source &s : sources)
            if (s.id == id)
                return s.name;
        return {};
    }
};

// The reference periods of a day, worked out on the calendar.
struct Periods {
    QString day, weekStart, weekEnd, month;
    explicit Periods(const QString &key)
    {
        const QDate d = QDate::fromString(key, QStringLiteral("yyyyMMdd"));
        const QDate monday = d.addDays(1 - d.dayOfWeek() - 7);
        day = key;
        weekStart = monday.toString(QStringLiteral("yyyyMMdd"));
        weekEnd = monday.addDays(6).toString(QStringLiteral("yyyyMMdd"));
        month = d.addDays(-d.day()).toString(QStringLiteral("yyyyMM"));
    }
    bool in(int period, const QString &k) const
    {
        switch (period) {
        case 0:
            return k == day;
        case 1:
            return k >= weekStart && k <= weekEnd;
        case 2:
            return k.left(6) == month;
        default:
            return k <= day;
        }
    }
};

struct Row {
    QString id, name;
    qint64 sums[4] = {0, 0, 0, 0};
};

// The expected figures, computed from the rows the fixture put in the table.
struct Expected {
    qint64 periodSums[4] = {0, 0, 0, 0};
    QList<Row> rows;

    Expected(const Fixture &fx, const Periods &p)
    {
        for (const Count &c : fx.counts)
            for (int k = 0; k < 4; ++k)
                if (p.in(k, c.day))
                    periodSums[k] += c.count;
        for (const Source &s : fx.sources) {
            if (!s.current)
                continue;
            Row r{s.id, s.name};
            bool listed = false;
            for (const Count &c : fx.counts) {
                if (c.id != s.id)
                    continue;
                listed = listed || c.day <= p.day;
                for (int k = 0; k < 4; ++k)
                    if (p.in(k, c.day))
                        r.sums[k] += c.count;
            }
            if (listed)
                rows << r;
        }
        std::sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) { return a.sums[3] > b.sums[3]; });
    }
};

// The database's text of a share cut to one decimal: "37.8%", "50%", ".4%".
QString cutShare(qint64 count, qint64 sum)
{
    const qint64 tenths = sum == 0 ? 0 : count * 1000 / sum;
    if (tenths % 10 == 0)
        return QString::number(tenths / 10) + u'%';
    return (tenths < 10 ? QString() : QString::number(tenths / 10)) + u'.' + QString::number(tenths % 10) + u'%';
}

// Kind 2's share: one decimal, a half rounded away from zero.
QString roundedShare(qint64 count, qint64 sum)
{
    const qint64 tenths = sum == 0 ? 0 : (2 * count * 1000 + sum) / (2 * sum);
    return QStringLiteral("%1.%2%").arg(tenths / 10).arg(tenths % 10);
}

QString shareText(int kind, qint64 count, qint64 sum)
{
    return kind == 2 ? roundedShare(count, sum) : cutShare(count, sum);
}

QStringList textsOf(const report::PageModel &m, const QString &source)
{
    QStringList all;
    for (const report::Page &p : m.pages)
        all << p.textsOf(source);
    return all;
}

// Runs the console for a kind and day and returns the rendered pages.
report::PageModel renderKind(int kind, const QDate &day, stats::TfStatHUBp::Outcome *outcome = nullptr)
{
    report::PageModel model;
    report::setPreviewHook([&](report::ReportForm &form) { model = form.render(); });
    stats::TfStatHUBp console;
    console.DateTimePicker1->setDate(day);
    console.DateTimePicker2->setDate(day);
    console.ListBox1->setCurrentRow(kind);
    console.SBPreviewClick();
    report::setPreviewHook(nullptr);
    if (outcome)
        *outcome = console.lastOutcome();
    return model;
}

const QString kDay = QStringLiteral("20040107");
const QDate kDate(2004, 1, 7);

Fixture mixedFixture()
{
    Fixture fx;
    fx.sources = {{"S01", "김철수", true},
                  {"S02", "이영희", true},
                  {"S03", "박민수", false},
                  {"S04", "최지훈", true},
                  {"S05", "정수진", true}};
    fx.counts = {{"20040107", "S01", 5}, {"20040106", "S01", 1}, {"20040102", "S01", 3}, {"20031215", "S01", 4},
                 {"20031101", "S01", 2}, {"20040107", "S02", 3}, {"20031230", "S02", 6}, {"20031210", "S02", 7},
                 {"20040107", "S03", 2}, {"20031231", "S03", 1}, {"20030601", "S04", 7}, {"20040108", "S05", 9}};
    return fx;
}

} // namespace

// Kinds 0..3: rows, counts, shares and totals as the statistics tables give them.
class TstSummaries : public QObject {
    Q_OBJECT
private slots:
    void rowsMatchTheTables_data();
    void rowsMatchTheTables();
    void shareTexts_data();
    void shareTexts();
    void zeroPeriodSumStillPrints_data();
    void zeroPeriodSumStillPrints();
    void secondPageRepeatsTheFurniture();
    void goldenPages_data();
    void goldenPages();
};

void TstSummaries::rowsMatchTheTables_data()
{
    QTest::addColumn<int>("kind");
    for (int k = 0; k < 4; ++k)
        QTest::addRow("%d %s", k, kTables[k].table) << k;
}

void TstSummaries::rowsMatchTheTables()
{
    QFETCH(int, kind);
    const Fixture fx = mixedFixture();
    test::StatsEnvironment env(fx.script(kind));
    stats::TfStatHUBp::Outcome outcome{};
    const report::PageModel model = renderKind(kind, kDate, &outcome);
    QCOMPARE(outcome, stats::TfStatHUBp::Outcome::Shown);
    QVERIFY(env.ui().entries.isEmpty());

    const Expected want(fx, Periods(kDay));
    QCOMPARE(want.rows.size(), 3); // S03 is not current, S05 only counts after the day
    QStringList ids, names, numbers;
    QStringList counts[4], shares[4];
    qint64 totals[4] = {0, 0, 0, 0};
    for (int i = 0; i < want.rows.size(); ++i) {
        const Row &r = want.rows[i];
        ids << r.id;
        names << r.name;
        numbers << QString::number(i + 1);
        for (int k = 0; k < 4; ++k) {
            counts[k] << QString::number(r.sums[k]);
            shares[k] << shareText(kind, r.sums[k], want.periodSums[k]);
            totals[k] += r.sums[k];
        }
    }
    QCOMPARE(textsOf(model, QStringLiteral("QRDBTextId")), ids);
    QCOMPARE(textsOf(model, QStringLiteral("QRDBTextName")), names);
    QCOMPARE(textsOf(model, QStringLiteral("QRSysDataNo")), numbers);
    for (int k = 0; k < 4; ++k) {
        QCOMPARE(textsOf(model, QLatin1String(kCounts[k])), counts[k]);
        QCOMPARE(textsOf(model, QLatin1String(kTables[kind].share[k])), shares[k]);
        QCOMPARE(textsOf(model, QStringLiteral("QRExprSum%1").arg(k + 1)), QStringList{QString::number(totals[k])});
    }
    // The total row adds the listed sources only: less than the day's sum, which counts S03.
    QVERIFY(totals[0] < want.periodSums[0]);

    const report::Page &first = model.pages.front();
    QVERIFY(first.contains(QString::fromUtf8(kTables[kind].title)));
    if (kind == 2)
        QCOMPARE(first.textsOf(QStringLiteral("QRLDay")), QStringList{QStringLiteral("기준일 : 2004년 1월 7일 ")});
    else
        QCOMPARE(first.textsOf(QStringLiteral("QRDBTextJobDate")), QStringList{QStringLiteral("2004-01-07")});
}

void TstSummaries::shareTexts_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<qint64>("mine");
    QTest::addColumn<qint64>("others");
    QTest::addColumn<QString>("text");
    struct Case {
        const char *name;
        qint64 mine, others;
        const char *cut, *rounded;
    };
    const Case cases[] = {{"12.37", 1237, 8763, "12.3%", "12.4%"}, {"6.25", 1, 15, "6.2%", "6.3%"},
                          {"0.4", 4, 996, ".4%", "0.4%"},          {"one third", 1, 2, "33.3%", "33.3%"},
                          {"two thirds", 2, 1, "66.6%", "66.7%"},  {"all", 5, 0, "100%", "100.0%"}};
    for (int kind : {0, 2, 3, 1}) {
        for (const Case &c : cases)
            QTest::addRow("kind %d, %s", kind, c.name)
                << kind << c.mine << c.others << QString::fromUtf8(kind == 2 ? c.rounded : c.cut);
    }
}

void TstSummaries::shareTexts()
{
    QFETCH(int, kind);
    QFETCH(qint64, mine);
    QFETCH(qint64, others);
    QFETCH(QString, text);
    Fixture fx;
    fx.sources = {{"A01", "가", true}, {"B01", "나", true}};
    fx.counts = {{kDay, "A01", mine}, {kDay, "B01", others}};
    test::StatsEnvironment env(fx.script(kind));
    const report::PageModel model = renderKind(kind, kDate);
    const QStringList names = textsOf(model, QStringLiteral("QRDBTextName"));
    const QStringList shares = textsOf(model, QLatin1String(kTables[kind].share[0]));
    QCOMPARE(shares.size(), 2);
    QCOMPARE(shares[names.indexOf(QStringLiteral("가"))], text);
    // Independently of the table above.
    QCOMPARE(text, shareText(kind, mine, mine + others));
}

void TstSummaries::zeroPeriodSumStillPrints_data()
{
    QTest::addColumn<int>("kind");
    for (int k = 0; k < 4; ++k)
        QTest::addRow("%d", k) << k;
}

void TstSummaries::zeroPeriodSumStillPrints()
{
    QFETCH(int, kind);
    // The day's only rows count 0: the day sum is 0 while a listed source has a row that day.
    Fixture fx;
    fx.sources = {{"A01", "가", true}, {"B01", "나", true}};
    fx.counts = {{kDay, "A01", 0}, {kDay, "B01", 0}, {"20031101", "A01", 3}, {"20031102", "B01", 1}};
    test::StatsEnvironment env(fx.script(kind));
    stats::TfStatHUBp::Outcome outcome{};
    const report::PageModel model = renderKind(kind, kDate, &outcome);
    QVERIFY2(env.ui().entries.isEmpty(), env.ui().entries.isEmpty() ? "" : qPrintable(env.ui().entries[0].text));
    QCOMPARE(outcome, stats::TfStatHUBp::Outcome::Shown);
    const QString zero = kind == 2 ? QStringLiteral("0.0%") : QStringLiteral("0%");
    QCOMPARE(textsOf(model, QLatin1String(kTables[kind].share[0])), (QStringList{zero, zero}));
    QCOMPARE(textsOf(model, QLatin1String(kTables[kind].share[3])),
             (QStringList{shareText(kind, 3, 4), shareText(kind, 1, 4)}));
}

void TstSummaries::secondPageRepeatsTheFurniture()
{
    Fixture fx;
    for (int i = 1; i <= 60; ++i) {
        const QString id = QStringLiteral("R%1").arg(i, 3, 10, QLatin1Char('0'));
        fx.sources << Source{id, QStringLiteral("통신원%1").arg(i), true};
        fx.counts << Count{kDay, id, 100 + i};
    }
    test::StatsEnvironment env(fx.script(0));
    const report::PageModel model = renderKind(0, kDate);
    QVERIFY(model.pageCount() >= 2);
    const report::Page &p1 = model.pages[0];
    const report::Page &p2 = model.pages[1];
    QCOMPARE(p1.textsOf(QStringLiteral("QRSysData1")), QStringList{QStringLiteral("1")});
    QCOMPARE(p2.textsOf(QStringLiteral("QRSysData1")), QStringList{QStringLiteral("2")});
    QVERIFY(p1.contains(QStringLiteral("통신원별제보현황")));
    QVERIFY(!p2.contains(QStringLiteral("통신원별제보현황")));
    for (const QString &caption :
         {QStringLiteral("순번"), QStringLiteral("통신원번호"), QStringLiteral("일계"), QStringLiteral("총계")})
        QVERIFY2(p2.contains(caption), qPrintable(caption));
    // The rules of the column header and the rows are drawn on page 2 as well.
    int rules = 0;
    for (const report::Primitive &item : p2.items)
        rules += item.source == QLatin1String("QRShapeCh2") || item.source == QLatin1String("QRShapeDt5");
    QVERIFY(rules >= 2);
    // Row numbers go on across the page break, in descending order of the totals.
    const QStringList n1 = p1.textsOf(QStringLiteral("QRSysDataNo"));
    const QStringList n2 = p2.textsOf(QStringLiteral("QRSysDataNo"));
    QVERIFY(!n1.isEmpty() && !n2.isEmpty());
    QCOMPARE(n2.first().toInt(), n1.last().toInt() + 1);
    const QStringList all = textsOf(model, QStringLiteral("QRSysDataNo"));
    QCOMPARE(all.size(), 60);
    QCOMPARE(all.last(), QStringLiteral("60"));
    QCOMPARE(textsOf(model, QStringLiteral("QRDBTextId")).first(), QStringLiteral("R060"));
    // The total comes once, on the last page, over every row.
    QCOMPARE(model.pages.back().textsOf(QStringLiteral("QRExprSum1")), QStringList{QString::number(60 * 100 + 1830)});
}

void TstSummaries::goldenPages_data()
{
    test::AddGoldenRows({0, 1, 2, 3});
}

void TstSummaries::goldenPages()
{
    test::CheckGoldenRow(QStringLiteral("summary"));
}

QTEST_MAIN(TstSummaries)
#include "tst_summaries.moc"
