#include "FixtureDb.h"
#include "app/CommonDM.h"
#include "app/Schema.h"
#include "platform/db/BackendSelector.h"
#include "platform/db/Clock.h"
#include "platform/db/Query.h"
#include "platform/report/Fonts.h"
#include "platform/ui/UiService.h"
#include "reception/UAcIn.h"

#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>

using namespace tipdesk;
using reception::TAcIn;

namespace {

// One received report; fields left alone take everyday values.
struct Report {
    QString num;
    QString date; // "YYYY-MM-DD HH:MM:SS"
    QString type = QStringLiteral("1");
    QString incident = QStringLiteral("A");
    QString operatorName = QStringLiteral("김접수");
    QString registerName = QStringLiteral("박처리");
    QVariant send = QStringLiteral("1");
    QVariant broad = QStringLiteral("1");
    QString reporter = QStringLiteral("홍길동");
    QString comments = QStringLiteral("정체 심함");
};

QString literal(const QVariant &v)
{
    if (v.isNull())
        return QStringLiteral("NULL");
    QString s = v.toString();
    s.replace(u'\'', QStringLiteral("''"));
    return u'\'' + s + u'\'';
}

QString insertReports(const QList<Report> &reports)
{
    QString sql;
    int seq = 0;
    for (const Report &r : reports) {
        sql += QStringLiteral("INSERT INTO REPORT_REQUISITION (REQUISITION_NUM, SEQ_NUM, REPORT_DATE, REGISTE_DATE, "
                              "REPORTER_TYPE, REPORTER_NAME, INCIDENT_TYPE, COMMENTS, OPERATOR_NAME, REGISTER_NAME, "
                              "SEND_FLAG, BROAD_FLAG) VALUES (%1, %2, %3, %3, %4, %5, %6, %7, %8, %9, %10, %11);\n")
                   .arg(literal(r.num), QString::number(++seq), literal(r.date), literal(r.type), literal(r.reporter),
                        literal(r.incident), literal(r.comments), literal(r.operatorName), literal(r.registerName))
                   .arg(literal(r.send), literal(r.broad));
    }
    return sql;
}

// A browser over a fresh database holding the given reports, with boxes recorded and the
// clock fixed.
struct Desk {
    explicit Desk(const QList<Report> &reports, const QString &extraSql = QString())
        : fx(app::schemaScript() + insertReports(reports) + extraSql)
    {
        db::setEmbeddedOverride(fx.path());
        dataModule = std::make_unique<app::TDataMod1>();
        form = std::make_unique<TAcIn>();
    }
    ~Desk()
    {
        form.reset();
        dataModule.reset();
        db::setEmbeddedOverride(QString());
    }

    // The texts of one grid column, every row fetched.
    QStringList column(int c) const
    {
        QAbstractItemModel *m = form->gridModel();
        while (m->canFetchMore({}))
            m->fetchMore({});
        QStringList texts;
        for (int r = 0; r < m->rowCount(); ++r)
            texts.append(m->index(r, c).data().toString());
        return texts;
    }
    QStringList numbers() const { return column(0); }

    void choose(const QString &kind, const QString &value)
    {
        form->ComboBox1->setCurrentText(kind);
        form->ComboBox3->setCurrentText(value);
    }

    test::FixtureDb fx;
    ui::ScopedRecordingUi boxes;
    std::unique_ptr<app::TDataMod1> dataModule;
    std::unique_ptr<TAcIn> form;
};

// Types into an emptied entry; ">" is the right arrow key.
void typeInto(QLineEdit *entry, const QString &keys)
{
    entry->clear();
    for (const QChar k : keys) {
        if (k == u'>')
            QTest::keyClick(entry, Qt::Key_Right);
        else
            QTest::keyClicks(entry, QString(k));
    }
}

QDateTime at(const QString &text)
{
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// Reports of one day, one per reporter type and content code, with every processing class.
QList<Report> aDayOfReports()
{
    const QString day = QStringLiteral("2026-03-10 ");
    return {
        {.num = "T1", .date = day + "09:00:00", .type = "1", .incident = "E", .send = "1", .broad = "1"},
        {.num = "T2", .date = day + "09:01:00", .type = "2", .incident = "A", .send = "1", .broad = QVariant()},
        {.num = "T3", .date = day + "09:02:00", .type = "3", .incident = "3", .send = "1", .broad = "0"},
        {.num = "T4", .date = day + "09:03:00", .type = "4", .incident = "1", .send = "0", .broad = "0"},
        {.num = "T5", .date = day + "09:04:00", .type = "5", .incident = "2", .send = QVariant(), .broad = "1"},
        {.num = "T6", .date = day + "09:05:00", .type = "6", .incident = "4", .send = "0", .broad = QVariant()},
        {.num = "T7", .date = day + "09:06:00", .type = "7", .incident = "B", .send = "1", .broad = "1"},
        {.num = "T8", .date = day + "09:07:00", .type = "8", .incident = "D", .send = "1", .broad = QVariant()},
        {.num = "T9", .date = day + "09:08:00", .type = "Z", .incident = "Z", .send = "0", .broad = "1"},
    };
}

} // namespace

class TstAcIn : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { report::installFontSubstitutes(); }
    void init() { db::Clock::setFixed(at(QStringLiteral("2026-03-10 14:20:00"))); }
    void cleanup() { db::Clock::clearFixed(); }

    void opensEmptyWithItsInitialTexts();
    void firstSearchListsTheLastHourOldestFirst();
    void lastHourCrossesDayMonthAndYearEnds_data();
    void lastHourCrossesDayMonthAndYearEnds();
    void todayRunsToTheLastWholeMinute();
    void criteria_data();
    void criteria();
    void processingClasses_data();
    void processingClasses();
    void operatorListsAreTheSameForBothKinds();
    void operatorNameIsBoundNotSpliced_data();
    void operatorNameIsBoundNotSpliced();
    void searchWithoutValueAsksForOne();
    void otherCriterionTextOnlyClearsTheValues();
    void periodEntriesAreNormalised_data();
    void periodEntriesAreNormalised();
    void periodEntryWithFewerThanFiveNumbersIsRefused_data();
    void periodEntryWithFewerThanFiveNumbersIsRefused();
    void radioButtonsEnableThePeriodEntries();
    void databaseErrorLeavesTheGridEmpty_data();
    void databaseErrorLeavesTheGridEmpty();
    void onlyCutCellsHaveTooltips();
    void screenshot();
};

void TstAcIn::opensEmptyWithItsInitialTexts()
{
    Desk d(QList<Report>{{.num = "A1", .date = "2026-03-10 14:00:00"}});
    TAcIn &f = *d.form;
    QCOMPARE(f.windowTitle(), QStringLiteral("제보접수상황"));
    QCOMPARE(f.ComboBox1->currentText(), QStringLiteral("선택조건"));
    QCOMPARE(f.ComboBox3->currentText(), QStringLiteral("검색기준"));
    QCOMPARE(f.ComboBox3->count(), 0);
    QCOMPARE(f.ComboBox8->currentText(), QStringLiteral("처리조건"));
    QVERIFY(f.RadioButton4->isChecked());
    QVERIFY(!f.MaskSt->isEnabled() && !f.MaskEn->isEnabled());
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    // Nothing is read until the first search; the entries show now to the minute.
    QVERIFY(!f.QueryAcep->active());
    QCOMPARE(d.numbers(), QStringList());
    QCOMPARE(f.MaskSt->text(), QStringLiteral("2026-03-10 14:20"));
    QCOMPARE(f.MaskEn->text(), QStringLiteral("2026-03-10 14:20"));
    QStringList titles;
    for (int c = 0; c < f.gridModel()->columnCount(); ++c)
        titles << f.gridModel()->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(titles, (QStringList{"접수번호", "제보일자", "제보자", "제보자유형", "접수자", "    접수내용"}));
    QCOMPARE(f.DBGrid1->columnWidth(1), 135);
    QCOMPARE(f.DBGrid1->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(f.DBGrid1->editTriggers(), QAbstractItemView::NoEditTriggers);
}

void TstAcIn::firstSearchListsTheLastHourOldestFirst()
{
    Desk d({
        {.num = "A5", .date = "2026-03-10 14:20:00", .type = "3", .reporter = "시민1", .comments = "사고 처리중"},
        {.num = "A0", .date = "2026-03-10 13:19:59"},
        {.num = "A2", .date = "2026-03-10 13:50:00"},
        {.num = "A6", .date = "2026-03-10 14:20:30"},
        {.num = "A1", .date = "2026-03-10 13:20:00", .type = "6", .operatorName = "이접수"},
        {.num = "A7", .date = "2026-03-10 15:00:00"},
    });
    d.form->SearchBtnClick();
    QCOMPARE(d.boxes->entries.size(), 0);
    QCOMPARE(d.numbers(), (QStringList{"A1", "A2", "A5"}));
    QCOMPARE(d.column(1), (QStringList{"2026-03-10 13:20", "2026-03-10 13:50", "2026-03-10 14:20"}));
    QCOMPARE(d.column(2).last(), QStringLiteral("시민1"));
    QCOMPARE(d.column(3), (QStringList{"고정제보처", "통신원", "시민"}));
    QCOMPARE(d.column(4).first(), QStringLiteral("이접수"));
    QCOMPARE(d.column(5).last(), QStringLiteral("사고 처리중"));
    // The busy cursor was shown and taken back.
    QCOMPARE(d.boxes->busyDepth, 0);
    QCOMPARE(d.boxes->busyChanges, 2);
}

void TstAcIn::lastHourCrossesDayMonthAndYearEnds_data()
{
    QTest::addColumn<QString>("now");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("1 March") << "2026-03-01 00:30:00"
                             << "2026-02-28 23:30" << QStringList{"F2", "F3"};
    QTest::newRow("1 March, leap year") << "2024-03-01 00:30:00"
                                        << "2024-02-29 23:30" << QStringList{"L2", "L3"};
    QTest::newRow("1 January") << "2026-01-01 00:30:00"
                               << "2025-12-31 23:30" << QStringList{"J2", "J3"};
    QTest::newRow("mid-day") << "2026-03-10 14:20:00"
                             << "2026-03-10 13:20" << QStringList{};
}

void TstAcIn::lastHourCrossesDayMonthAndYearEnds()
{
    QFETCH(QString, now);
    QFETCH(QString, start);
    QFETCH(QStringList, found);
    const QDateTime when = at(now);
    QCOMPARE(reception::lastHour(when).start, start);
    QCOMPARE(reception::lastHour(when).end, now.left(16));

    db::Clock::setFixed(when);
    Desk d({
        {.num = "F1", .date = "2026-02-28 23:29:00"},
        {.num = "F2", .date = "2026-02-28 23:30:00"},
        {.num = "F3", .date = "2026-03-01 00:30:00"},
        {.num = "L1", .date = "2024-02-29 23:29:59"},
        {.num = "L2", .date = "2024-02-29 23:30:00"},
        {.num = "L3", .date = "2024-03-01 00:10:00"},
        {.num = "J1", .date = "2025-12-31 23:00:00"},
        {.num = "J2", .date = "2025-12-31 23:45:00"},
        {.num = "J3", .date = "2026-01-01 00:29:00"},
    });
    d.form->SearchBtnClick();
    QCOMPARE(d.boxes->entries.size(), 0);
    QCOMPARE(d.numbers(), found);
}

void TstAcIn::todayRunsToTheLastWholeMinute()
{
    Desk d({
        {.num = "D0", .date = "2026-03-09 23:59:59"},
        {.num = "D1", .date = "2026-03-10 00:00:00"},
        {.num = "D3", .date = "2026-03-10 23:59:30"},
        {.num = "D2", .date = "2026-03-10 23:59:00"},
        {.num = "D4", .date = "2026-03-11 00:00:00"},
    });
    d.form->RadioButton5->setChecked(true);
    d.form->SearchBtnClick();
    QCOMPARE(d.boxes->entries.size(), 0);
    QCOMPARE(d.numbers(), (QStringList{"D1", "D2"}));
}

void TstAcIn::criteria_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QStringList>("found");
    const QStringList all{"T1", "T2", "T3", "T4", "T5", "T6", "T7", "T8", "T9"};
    QTest::newRow("citizen") << "제보자별"
                             << "시민"
                             << " and  REPORTER_TYPE = '3'" << QStringList{"T3"};
    QTest::newRow("correspondent") << "제보자별"
                                   << "통신원"
                                   << " and  REPORTER_TYPE = '1'" << QStringList{"T1"};
    QTest::newRow("institution") << "제보자별"
                                 << "기관"
                                 << " and  REPORTER_TYPE = '8'" << QStringList{"T8"};
    // "기타" picks code 7 only; the other "기타" code Z is not offered.
    QTest::newRow("other reporter") << "제보자별"
                                    << "기타"
                                    << " and  REPORTER_TYPE = '7'" << QStringList{"T7"};
    QTest::newRow("typed reporter") << "제보자별"
                                    << "아무개"
                                    << "" << all;
    QTest::newRow("institution notice") << "제보종류별"
                                        << "기관통보"
                                        << " and  INCIDENT_TYPE = 'D'" << QStringList{"T8"};
    QTest::newRow("congestion") << "제보종류별"
                                << "정체"
                                << " and  INCIDENT_TYPE = 'E'" << QStringList{"T1"};
    QTest::newRow("accident") << "제보종류별"
                              << "사고"
                              << " and  INCIDENT_TYPE = '3'" << QStringList{"T3"};
    QTest::newRow("other content") << "제보종류별"
                                   << "기타"
                                   << " and  INCIDENT_TYPE = 'Z'" << QStringList{"T9"};
    QTest::newRow("everything") << "전체별"
                                << "검색기준"
                                << "" << all;
}

void TstAcIn::criteria()
{
    QFETCH(QString, kind);
    QFETCH(QString, value);
    QFETCH(QString, condition);
    QFETCH(QStringList, found);
    Desk d(aDayOfReports());
    d.form->RadioButton5->setChecked(true);
    d.choose(kind, value);
    d.form->SearchBtnClick();
    QCOMPARE(d.boxes->entries.size(), 0);
    QCOMPARE(d.numbers(), found);
    const QString sql = d.form->QueryAcep->sqlText();
    if (!condition.isEmpty())
        QVERIFY2(sql.contains(condition + QStringLiteral(" Order By REPORT_DATE ")), qPrintable(sql));
    else
        QVERIFY2(!sql.contains(QStringLiteral("REPORTER_TYPE =")) && !sql.contains(QStringLiteral("INCIDENT_TYPE =")),
                 qPrintable(sql));
}

void TstAcIn::processingClasses_data()
{
    QTest::addColumn<QString>("processing");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("broadcast") << "방송" << QStringList{"T1", "T5", "T7", "T9"};
    // A null broadcast flag counts as not broadcast.
    QTest::newRow("not broadcast") << "비보도" << QStringList{"T2", "T3", "T8"};
    QTest::newRow("sent") << "전송" << QStringList{"T1", "T2", "T3", "T7", "T8"};
    // A null send flag is neither sent nor handled internally.
    QTest::newRow("internal") << "자체처리" << QStringList{"T4", "T6", "T9"};
    QTest::newRow("all") << "전체" << QStringList{"T1", "T2", "T3", "T4", "T5", "T6", "T7", "T8", "T9"};
}

void TstAcIn::processingClasses()
{
    QFETCH(QString, processing);
    QFETCH(QStringList, found);
    Desk d(aDayOfReports());
    d.form->RadioButton5->setChecked(true);
    d.form->ComboBox8->setCurrentText(processing);
    d.form->SearchBtnClick();
    QCOMPARE(d.boxes->entries.size(), 0);
    QCOMPARE(d.numbers(), found);
}

void TstAcIn::operatorListsAreTheSameForBothKinds()
{
    const QString people = QStringLiteral("INSERT INTO INDIVIDUAL VALUES ('9', '나중운영', 'A', 'Y');"
                                          "INSERT INTO INDIVIDUAL VALUES ('1', '통신원갑', '1', 'Y');"
                                          "INSERT INTO INDIVIDUAL VALUES ('3', '김철수', '5', 'Y');"
                                          "INSERT INTO INDIVIDUAL VALUES ('2', '이영희', 'A', 'N');"
                                          "INSERT INTO INDIVIDUAL VALUES ('4', '시민을', '3', 'Y');");
    Desk d(
        QList<Report>{{.num = "R1", .date = "2026-03-10 10:00:00", .operatorName = "김철수", .registerName = "이영희"},
                      {.num = "R2", .date = "2026-03-10 11:00:00", .operatorName = "이영희", .registerName = "김철수"}},
        people);
    TAcIn &f = *d.form;
    QStringList lists[2];
    const QString kinds[2] = {QStringLiteral("접수자별"), QStringLiteral("처리자별")};
    for (int i = 0; i < 2; ++i) {
        f.ComboBox1->setCurrentText(kinds[i]);
        QCOMPARE(f.ComboBox3->currentText(), QStringLiteral("세부검색"));
        for (int r = 0; r < f.ComboBox3->count(); ++r)
            lists[i] << f.ComboBox3->itemText(r);
    }
    // Operators (types 5 and A) only, in the order the server returns them.
    db::Query byServer(QStringLiteral("commonDB"),
                       {QStringLiteral("select individual_name from individual where type = '5' or type = 'A'")});
    byServer.open();
    QStringList served;
    for (; !byServer.eof(); byServer.next())
        served << byServer.field(0).asString();
    QCOMPARE(QSet<QString>(served.begin(), served.end()), (QSet<QString>{"나중운영", "김철수", "이영희"}));
    QCOMPARE(lists[0], served);
    QCOMPARE(lists[1], lists[0]);

    f.RadioButton5->setChecked(true);
    d.choose(QStringLiteral("처리자별"), QStringLiteral("이영희"));
    f.SearchBtnClick();
    QCOMPARE(d.numbers(), QStringList{"R1"});
    d.choose(QStringLiteral("접수자별"), QStringLiteral("이영희"));
    f.SearchBtnClick();
    QCOMPARE(d.numbers(), QStringList{"R2"});
    QCOMPARE(d.boxes->entries.size(), 0);
}

void TstAcIn::operatorNameIsBoundNotSpliced_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("quote, receiver") << "접수자별"
                                     << "O'Neil" << QStringList{"Q1"};
    QTest::newRow("quote, processor") << "처리자별"
                                      << "D'Arcy" << QStringList{"Q2"};
    QTest::newRow("condition smuggled in") << "접수자별"
                                           << "x' or '1'='1" << QStringList{};
    QTest::newRow("plain name") << "접수자별"
                                << "김접수" << QStringList{"Q2"};
}

void TstAcIn::operatorNameIsBoundNotSpliced()
{
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(QStringList, found);
    Desk d(QList<Report>{{.num = "Q1", .date = "2026-03-10 10:00:00", .operatorName = "O'Neil"},
                         {.num = "Q2", .date = "2026-03-10 11:00:00", .registerName = "D'Arcy"}});
    d.form->RadioButton5->setChecked(true);
    d.choose(kind, name);
    d.form->SearchBtnClick();
    QCOMPARE(d.boxes->entries.size(), 0);
    QCOMPARE(d.numbers(), found);
    QVERIFY(!d.form->QueryAcep->sqlText().contains(name));
}

void TstAcIn::searchWithoutValueAsksForOne()
{
    Desk d(QList<Report>{{.num = "A1", .date = "2026-03-10 14:00:00"}},
           QStringLiteral("INSERT INTO MESSAGE VALUES ('INF0067', '알림', '세부 검색조건을 선택하십시오.');"));
    d.form->ComboBox1->setCurrentText(QStringLiteral("제보자별"));
    d.form->SearchBtnClick();
    QCOMPARE(d.boxes->entries.size(), 1);
    QCOMPARE(d.boxes->entries[0].title, QStringLiteral("알림"));
    QCOMPARE(d.boxes->entries[0].text, QStringLiteral("세부 검색조건을 선택하십시오."));
    QCOMPARE(d.boxes->entries[0].icon, ui::Icon::Information);
    QVERIFY(!d.form->QueryAcep->active());
    QCOMPARE(d.boxes->busyChanges, 0);
}

void TstAcIn::otherCriterionTextOnlyClearsTheValues()
{
    Desk d(QList<Report>{});
    TAcIn &f = *d.form;
    f.ComboBox1->setCurrentText(QStringLiteral("제보종류별"));
    QStringList values;
    for (int r = 0; r < f.ComboBox3->count(); ++r)
        values << f.ComboBox3->itemText(r);
    QCOMPARE(values, (QStringList{"정체", "원활", "사고", "공사", "행사", "기상", "안내", "기관통보", "기타"}));
    f.ComboBox1->setCurrentText(QStringLiteral("제보자별"));
    values.clear();
    for (int r = 0; r < f.ComboBox3->count(); ++r)
        values << f.ComboBox3->itemText(r);
    QCOMPARE(values, (QStringList{"통신원", "경찰제보처", "시민", "직원", "운영자", "고정제보처", "기타", "기관"}));
    f.ComboBox1->setEditText(QStringLiteral("제보"));
    QCOMPARE(f.ComboBox3->count(), 0);
    f.ComboBox1->setCurrentText(QStringLiteral("전체별"));
    QCOMPARE(f.ComboBox3->count(), 0);
    QCOMPARE(f.ComboBox3->currentText(), QStringLiteral("검색기준"));
}

void TstAcIn::periodEntriesAreNormalised_data()
{
    // Keys typed into the masked entries; ">" steps over a digit position and leaves it empty.
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("normalStart");
    QTest::addColumn<QString>("normalEnd");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("every digit") << "202603100901"
                                 << "202603100904"
                                 << "2026-03-10 09:01"
                                 << "2026-03-10 09:04" << QStringList{"T2", "T3", "T4", "T5"};
    QTest::newRow("blanks") << "20263>109>1>"
                            << "2026031009>4"
                            << "2026-03-10 09:01"
                            << "2026-03-10 09:04" << QStringList{"T2", "T3", "T4", "T5"};
    QTest::newRow("reversed") << "202603100904"
                              << "202603100901"
                              << "2026-03-10 09:04"
                              << "2026-03-10 09:01" << QStringList{};
}

void TstAcIn::periodEntriesAreNormalised()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, normalStart);
    QFETCH(QString, normalEnd);
    QFETCH(QStringList, found);
    Desk d(aDayOfReports());
    d.form->RadioButton6->setChecked(true);
    typeInto(d.form->MaskSt, start);
    typeInto(d.form->MaskEn, end);
    QTest::keyClick(d.form->MaskEn, Qt::Key_Return); // Enter searches as the button does
    QVERIFY2(d.boxes->entries.isEmpty(), qPrintable(d.form->MaskSt->text() + u'|' + d.form->MaskEn->text()));
    QCOMPARE(d.form->MaskSt->text(), normalStart);
    QCOMPARE(d.form->MaskEn->text(), normalEnd);
    QCOMPARE(d.numbers(), found);

    // The rules on their own: year as it is, the last number is the minute.
    QCOMPARE(reception::normalisePeriodEntry(QStringLiteral("2026/3/1 7h 8m 45")).value_or(QString()),
             QStringLiteral("2026-03-01 07:45"));
    QCOMPARE(reception::normalisePeriodEntry(QStringLiteral("0999-12-31 23:59")).value_or(QString()),
             QStringLiteral("999-12-31 23:59"));
}

void TstAcIn::periodEntryWithFewerThanFiveNumbersIsRefused_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("named");
    QTest::newRow("start emptied") << ""
                                   << "2026-03-10 09:04"
                                   << "시작";
    QTest::newRow("start without minute") << "2026-03-10 09:  "
                                          << "2026-03-10 09:04"
                                          << "시작";
    QTest::newRow("end without hour") << "2026-03-10 09:01"
                                      << "2026-03-10   :  "
                                      << "종료";
}

void TstAcIn::periodEntryWithFewerThanFiveNumbersIsRefused()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, named);
    Desk d(aDayOfReports());
    d.form->SearchBtnClick(); // a first result, which the refused search must not leave behind
    QVERIFY(d.form->QueryAcep->active());
    d.boxes->clear();
    d.form->RadioButton6->setChecked(true);
    d.form->MaskSt->setText(start);
    d.form->MaskEn->setText(end);
    const QString before = d.form->QueryAcep->sqlText();
    d.form->SearchBtnClick();
    QCOMPARE(d.boxes->entries.size(), 1);
    QCOMPARE(d.boxes->entries[0].kind, ui::RecordingUiService::Kind::Message);
    QVERIFY2(d.boxes->entries[0].text.contains(named), qPrintable(d.boxes->entries[0].text));
    QVERIFY(!d.form->QueryAcep->active());
    QCOMPARE(d.form->QueryAcep->sqlText(), before);
    QCOMPARE(d.numbers(), QStringList());
    QCOMPARE(d.boxes->busyChanges, 0);
}

void TstAcIn::radioButtonsEnableThePeriodEntries()
{
    Desk d(QList<Report>{});
    TAcIn &f = *d.form;
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.RadioButton6->click();
    QVERIFY(f.MaskSt->isEnabled() && f.MaskEn->isEnabled());
    QCOMPARE(QApplication::focusWidget(), f.MaskSt);
    f.RadioButton5->click();
    QVERIFY(!f.MaskSt->isEnabled() && !f.MaskEn->isEnabled());
    f.RadioButton6->click();
    f.RadioButton4->click();
    QVERIFY(!f.MaskSt->isEnabled() && !f.MaskEn->isEnabled());
    f.CloseBtn->click();
    QVERIFY(!f.isVisible());
}

void TstAcIn::databaseErrorLeavesTheGridEmpty_data()
{
    // A period typed into the start entry ("" keeps "금일"), a table to take away, and what the
    // database layer's text must say.
    QTest::addColumn<QString>("startKeys");
    QTest::addColumn<bool>("dropTable");
    QTest::addColumn<QString>("says");
    QTest::newRow("table gone") << "" << true << "REPORT_REQUISITION";
    QTest::newRow("month 13") << "202613100900" << false << "month";
    QTest::newRow("30 February") << "202602300900" << false << "month";
}

void TstAcIn::databaseErrorLeavesTheGridEmpty()
{
    QFETCH(QString, startKeys);
    QFETCH(bool, dropTable);
    QFETCH(QString, says);
    Desk d(aDayOfReports());
    d.form->RadioButton5->setChecked(true);
    d.form->SearchBtnClick();
    QCOMPARE(d.numbers().size(), 9);
    if (dropTable)
        d.fx.run(QStringLiteral("ALTER TABLE REPORT_REQUISITION RENAME TO GONE;"));
    if (!startKeys.isEmpty()) {
        d.form->RadioButton6->setChecked(true);
        typeInto(d.form->MaskSt, startKeys);
        typeInto(d.form->MaskEn, QStringLiteral("202603102359"));
    }
    d.boxes->clear();
    d.form->SearchBtnClick();
    QCOMPARE(d.boxes->entries.size(), 1);
    QCOMPARE(d.boxes->entries[0].kind, ui::RecordingUiService::Kind::Error);
    QVERIFY2(d.boxes->entries[0].text.contains(says, Qt::CaseInsensitive), qPrintable(d.boxes->entries[0].text));
    QCOMPARE(d.numbers(), QStringList());
    // The busy cursor was taken back although the search failed.
    QCOMPARE(d.boxes->busyDepth, 0);
    QCOMPARE(d.boxes->busyChanges, 2);
}

// Numbers and dates show whole: only a cut cell has a tooltip. The status line counts every row.
void TstAcIn::onlyCutCellsHaveTooltips()
{
    QList<Report> reports(1234, Report{.num = "2612100001", .date = "2026-03-10 14:00:00"});
    reports[0].comments = QString(300, u'정');
    Desk d(reports);
    d.form->SearchBtnClick(); // the last hour
    QCOMPARE(d.form->StatusBar1->currentMessage(), QStringLiteral("1,234건"));
    QStringList tips;
    for (const int column : {0, 1, 5}) {
        const QPoint at = d.form->DBGrid1->visualRect(d.form->gridModel()->index(0, column)).center();
        QHelpEvent help(QEvent::ToolTip, at, d.form->DBGrid1->viewport()->mapToGlobal(at));
        QApplication::sendEvent(d.form->DBGrid1->viewport(), &help);
        tips << (QToolTip::isVisible() ? QToolTip::text() : QString());
    }
    QCOMPARE(tips, (QStringList{"", "", reports[0].comments}));
}

void TstAcIn::screenshot()
{
    Desk d(aDayOfReports());
    TAcIn &f = *d.form;
    f.RadioButton5->setChecked(true);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.SearchBtnClick();
    f.DBGrid1->selectRow(2);
    const QImage shot = f.grab().toImage();
    QCOMPARE(f.frameGeometry().size(), QSize(800, 600));
    QCOMPARE(shot.size(), f.size());
    // The grid's empty area below the rows is light yellow.
    const QPoint below = f.DBGrid1->viewport()->mapTo(&f, QPoint(300, f.DBGrid1->viewport()->height() - 5));
    QCOMPARE(shot.pixelColor(below), QColor(255, 255, 196));
    const QString dir = qEnvironmentVariable("TIPDESK_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        QVERIFY(shot.save(QDir(dir).filePath(QStringLiteral("browser.png"))));
}

QTEST_MAIN(TstAcIn)
#include "tst_acin.moc"
