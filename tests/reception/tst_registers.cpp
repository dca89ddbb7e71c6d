#include "RegisterFixture.h"

#include <QtTest>

using namespace tipdesk;
using namespace tipdesk::test;

namespace {

Report report(int seq, const QString &when, const QString &type, const QString &id, const QString &content,
              const QString &speed, const QString &comments)
{
    Report r{};
    r.seq = seq;
    r.when = when;
    r.type = type;
    r.id = id;
    r.content = content;
    r.speed = speed;
    r.comments = comments;
    r.send = QStringLiteral("0");
    r.broad = QStringLiteral("0");
    return r;
}

// 3 February 2004: who is listed where. Sequence numbers run against the clock in places.
std::vector<Report> filterDay()
{
    const QString d = QStringLiteral("2004-02-03 ");
    return {
        report(100, d + "23:59:59", "4", "40001", "1", "0", "직원 마감 직전"),
        report(101, d + "08:00:00", "6", "60001", "E", "0", "현재 고정제보처"),
        report(102, d + "08:10:00", "6", "60006", "E", "0", "지난 고정제보처"),
        report(103, d + "08:20:00", "6", "60090", "E", "0", "명부에 없는 고정제보처"),
        report(104, d + "08:30:00", "6", "60007", "E", "0", "CUR 없는 고정제보처"),
        report(105, d + "08:40:00", "6", "60008", "E", "0", "소문자 y 고정제보처"),
        report(106, d + "09:00:00", "1", "10002", "3", "0", "떠난 통신원"),
        report(107, d + "09:10:00", "3", "30001", "B", "0", "시민 안내 요청"),
        report(108, d + "09:20:00", "8", "80001", "D", "0", "기관의 통보"),
        report(109, d + "09:30:00", "3", "30002", "Z", "5", "시민 분실물"),
        report(110, d + "09:40:00", "6", "60002", "B", "2", "고정제보처 습득물 안내"),
        report(111, d + "09:50:00", "2", "20001", "E", QString(), "분실 코드 없음"),
        report(112, d + "00:00:00", "5", "50001", "A", "0", "자정 접수"),
        report(113, "2004-02-02 23:59:59", "1", "10001", "E", "1", "전날 밤"),
        report(114, "2004-02-04 00:00:00", "1", "10001", "B", "1", "다음날 자정"),
        report(115, d + "12:00:00", "6", "60006", "D", "0", "지난 고정제보처의 기관 통보"),
        report(116, d + "12:10:00", "6", "60006", "A", "7", "지난 고정제보처의 도난차량"),
        // 6 February: fixed report points only. 7 February: no current fixed point, no guidance,
        // no lost property.
        report(120, "2004-02-06 10:00:00", "6", "60001", "B", "1", "고정제보처만 있는 날"),
        report(121, "2004-02-07 10:00:00", "6", "60006", "E", "0", "지난 제보처만"),
        report(122, "2004-02-07 10:10:00", "3", "30001", "1", QString(), "분실 코드 없는 시민"),
        report(123, "2004-02-07 10:20:00", "1", "10001", "A", "0", "분실 아닌 통신원"),
    };
}

// 10 February 2004: every code of the lists and some outside them.
std::vector<Report> codeDay()
{
    const auto d = [](int seq) { return QStringLiteral("2004-02-10 10:%1:00").arg(seq % 60, 2, 10, QLatin1Char('0')); };
    std::vector<Report> r;
    int seq = 200;
    for (const char *type : {"1", "2", "3", "4", "5", "7", "8", "Z", "9", "x"}) {
        r.push_back(report(seq, d(seq), QLatin1String(type), "10001", "1", "1",
                           QStringLiteral("제보자 ") + QLatin1String(type)));
        ++seq;
    }
    for (const char *content : {"1", "2", "3", "4", "A", "B", "Z", "E", "D", "C"}) {
        r.push_back(report(seq, d(seq), "1", "10001", QLatin1String(content), "0",
                           QStringLiteral("내용 ") + QLatin1String(content)));
        ++seq;
        r.push_back(report(seq, d(seq), "6", "60001", QLatin1String(content), "0",
                           QStringLiteral("고정 내용 ") + QLatin1String(content)));
        ++seq;
    }
    for (const char *speed : {"1", "2", "3", "4", "5", "6", "7", "8", "9"}) {
        r.push_back(report(seq, d(seq), "3", "30001", "Z", QLatin1String(speed),
                           QStringLiteral("유실물 ") + QLatin1String(speed)));
        ++seq;
    }
    return r;
}

// 11 February 2004: the sent and broadcast flags, for a correspondent and a fixed report point.
std::vector<Report> flagDay()
{
    const std::pair<QString, QString> flags[] = {{"1", QString()}, {"0", "1"}, {QString(), "0"}, {"2", ""}, {"1", "1"}};
    std::vector<Report> r;
    int seq = 300;
    for (int k = 0; k < 5; ++k)
        for (const char *type : {"1", "6"}) {
            Report x = report(seq, QStringLiteral("2004-02-11 11:%1:00").arg(seq % 60, 2, 10, QLatin1Char('0')),
                              QLatin1String(type),
                              QLatin1String(type) == QLatin1String("6") ? QStringLiteral("60001") : "10001", "E", "0",
                              QStringLiteral("표시 %1 %2").arg(k).arg(QLatin1String(type)));
            x.send = flags[k].first;
            x.broad = flags[k].second;
            r.push_back(x);
            ++seq;
        }
    return r;
}

// 5 January 2004: a morning and an evening report in every register.
std::vector<Report> maskDay()
{
    std::vector<Report> r;
    int seq = 400;
    for (const char *when : {"07:03:09", "21:45:59"})
        for (const char *type : {"3", "6"})
            r.push_back(report(seq++, QStringLiteral("2004-01-05 ") + QLatin1String(when), QLatin1String(type),
                               QLatin1String(type) == QLatin1String("6") ? QStringLiteral("60001") : "30001", "B", "1",
                               QStringLiteral("%1 %2").arg(QLatin1String(when), QLatin1String(type))));
    return r;
}

QString fixtureRows()
{
    return goldenRows() + insertReports(filterDay()) + insertReports(codeDay()) + insertReports(flagDay()) +
           insertReports(maskDay());
}

std::vector<PrintedRow> render(int kind, const QDate &day, bool approval = false)
{
    const std::optional<report::PageModel> model = RenderRequest(Request(kind, day, day, 0, approval));
    if (!model)
        return {};
    return PrintedRows(*model, kind);
}

QStringList texts(const std::vector<PrintedRow> &rows)
{
    QStringList t;
    for (const PrintedRow &r : rows)
        t << r.text(QStringLiteral("COMMENTS"));
    return t;
}

QStringList sourcesOn(const report::Page &page)
{
    QStringList s;
    for (const report::Primitive &p : page.items)
        s << p.source;
    return s;
}

// Page metrics of a register as the description gives them, in mm: margins, band heights, and
// the left edge and width of each frame rule in drawing order.
struct Metrics {
    double top, bottom, left, right;
    double pageHeader, title, columnHeader, detail;
    std::vector<std::pair<double, double>> rules;
};

Metrics metricsOf(int kind)
{
    switch (kind) {
    case 15:
        return {5, 5, 20, 5, 6.6, 33.7, 6.3, 6.0, {{0.0, 10.8}, {29.6, 19.6}, {178.6, 18.5}, {236.8, 17.9}}};
    case 16:
        return {20,  8,   20,
                5,   6.9, 33.7,
                6.0, 6.0, {{0.0, 10.8}, {29.6, 19.6}, {173.0, 15.9}, {204.5, 17.2}, {241.0, 7.7}, {256.1, 15.9}}};
    case 17:
        return {
            5, 5, 20, 5, 7.3, 32.7, 5.0, 5.0, {{0.0, 10.8}, {29.1, 18.3}, {174.1, 16.9}, {223.8, 17.5}, {249.0, 8.2}}};
    default:
        return {20, 8, 20, 5, 6.9, 18.5, 6.0, 6.3, {{10.9, 19.2}, {49.6, 32.1}, {217.0, 21.5}, {255.7, 16.2}}};
    }
}

bool near(double a, double b, double tolerance = 0.03)
{
    return qAbs(a - b) <= tolerance;
}

} // namespace

// The four day registers: which reports each lists, how their codes, marks, days and times print,
// the approval stamp, the page frame on every page, and long texts.
class TstRegisters : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void goldenPage_data();
    void goldenPage();
    void whichReportsAreListed_data();
    void whichReportsAreListed();
    void noDataGivesErr0158_data();
    void noDataGivesErr0158();
    void codeLabels_data();
    void codeLabels();
    void sentAndBroadcastMarks_data();
    void sentAndBroadcastMarks();
    void dayAndTimeMasks_data();
    void dayAndTimeMasks();
    void stampFollowsTheOption_data();
    void stampFollowsTheOption();
    void laterPagesAndTheFrame_data();
    void laterPagesAndTheFrame();
    void longTextsWrapAndMoveWhole_data();
    void longTextsWrapAndMoveWhole();

private:
    std::unique_ptr<StatsEnvironment> m_env;
};

// The registers only read: one database serves every case.
void TstRegisters::initTestCase()
{
    m_env = std::make_unique<StatsEnvironment>(fixtureRows());
}

void TstRegisters::init()
{
    m_env->ui().clear();
}

void TstRegisters::cleanupTestCase()
{
    m_env.reset();
}

void TstRegisters::goldenPage_data()
{
    AddGoldenRows({15, 16, 17, 20});
}

void TstRegisters::goldenPage()
{
    // The demo day has too few guidance and lost-property reports and no long texts.
    CheckGoldenRowOnCurrentDatabase(QStringLiteral("reception"));
}

void TstRegisters::whichReportsAreListed_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("listed");
    // By sequence number, the day from 00:00:00 to 23:59:59.
    QTest::newRow("16: all but fixed report points, members or not")
        << 16 << QStringList{"직원 마감 직전", "떠난 통신원",    "시민 안내 요청", "기관의 통보",
                             "시민 분실물",    "분실 코드 없음", "자정 접수"};
    QTest::newRow("17: current fixed report points only")
        << 17 << QStringList{"현재 고정제보처", "고정제보처 습득물 안내"};
    QTest::newRow("15: guidance and notifications from anyone")
        << 15 << QStringList{"시민 안내 요청", "기관의 통보", "고정제보처 습득물 안내", "지난 고정제보처의 기관 통보"};
    QTest::newRow("20: a lost-property code other than 0")
        << 20 << QStringList{"시민 분실물", "고정제보처 습득물 안내", "지난 고정제보처의 도난차량"};
}

void TstRegisters::whichReportsAreListed()
{
    QFETCH(int, kind);
    QFETCH(QStringList, listed);
    const std::vector<PrintedRow> rows = render(kind, QDate(2004, 2, 3));
    QCOMPARE(texts(rows), listed);
    for (int k = 0; k < int(rows.size()); ++k)
        QCOMPARE(rows[size_t(k)].text(QStringLiteral("#")), QString::number(k + 1));
}

void TstRegisters::noDataGivesErr0158_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QDate>("day");
    QTest::addColumn<int>("lines"); // 0: "ERR0158", nothing previewed
    const QDate fixedOnly(2004, 2, 6), pastMembers(2004, 2, 7), empty(2004, 2, 8);
    QTest::newRow("16, fixed report points only") << 16 << fixedOnly << 0;
    QTest::newRow("17, fixed report points only") << 17 << fixedOnly << 1;
    QTest::newRow("15, a fixed report point's guidance") << 15 << fixedOnly << 1;
    QTest::newRow("20, a fixed report point's lost property") << 20 << fixedOnly << 1;
    QTest::newRow("16, no current fixed point") << 16 << pastMembers << 2;
    QTest::newRow("17, no current fixed point") << 17 << pastMembers << 0;
    QTest::newRow("15, no guidance") << 15 << pastMembers << 0;
    QTest::newRow("20, codes 0 and null only") << 20 << pastMembers << 0;
    for (int kind : {15, 16, 17, 20})
        QTest::addRow("%d, no reports", kind) << kind << empty << 0;
}

void TstRegisters::noDataGivesErr0158()
{
    QFETCH(int, kind);
    QFETCH(QDate, day);
    QFETCH(int, lines);
    const std::optional<report::PageModel> run = RenderRequest(Request(kind, day));
    if (lines == 0) {
        QVERIFY(!run);
        return;
    }
    QVERIFY(run);
    QVERIFY(m_env->ui().entries.isEmpty());
    QCOMPARE(int(PrintedRows(*run, kind).size()), lines);
}

void TstRegisters::codeLabels_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("comments");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("label");
    const QString reporterLabels[][2] = {
        {"1", "통신원"}, {"2", "경찰제보처"}, {"3", "시민"}, {"4", "직원"}, {"5", "운영자"},
        {"7", "기타"},   {"8", "기관"},       {"Z", "기타"}, {"9", ""},     {"x", ""}};
    for (int kind : {16, 20})
        for (const auto &[code, label] : reporterLabels)
            QTest::addRow("%d reporter %s", kind, qPrintable(code))
                << kind << "제보자 " + code << "REPORTER_TYPE" << label;
    const QString contentLabels[][2] = {{"1", "공사"}, {"2", "행사"}, {"3", "사고"}, {"4", "기상"}, {"A", "원활"},
                                        {"B", "안내"}, {"Z", "기타"}, {"E", "정체"}, {"D", "기관"}, {"C", ""}};
    for (const auto &[code, label] : contentLabels) {
        QTest::addRow("16 content %s", qPrintable(code)) << 16 << "내용 " + code << "INCIDENT_TYPE" << label;
        QTest::addRow("17 content %s", qPrintable(code)) << 17 << "고정 내용 " + code << "INCIDENT_TYPE" << label;
    }
    QTest::newRow("15 guidance") << 15 << "내용 B"
                                 << "INCIDENT_TYPE"
                                 << "안내";
    QTest::newRow("15 notification") << 15 << "고정 내용 D"
                                     << "INCIDENT_TYPE"
                                     << "기관 통보";
    const QString speedLabels[][2] = {{"1", "분실"},           {"2", "습득"},       {"3", "도난차량"},
                                      {"4", "기타"},           {"5", "분실(처리)"}, {"6", "습득(처리)"},
                                      {"7", "도난차량(처리)"}, {"8", "기타(처리)"}, {"9", ""}};
    for (const auto &[code, label] : speedLabels)
        QTest::addRow("20 lost property %s", qPrintable(code)) << 20 << "유실물 " + code << "SPEED_T" << label;
}

void TstRegisters::codeLabels()
{
    QFETCH(int, kind);
    QFETCH(QString, comments);
    QFETCH(QString, field);
    QFETCH(QString, label);
    const std::vector<PrintedRow> rows = render(kind, QDate(2004, 2, 10));
    const PrintedRow *row = RowWithText(rows, comments);
    QVERIFY2(row, qPrintable(comments));
    QCOMPARE(row->text(field), label);
}

void TstRegisters::sentAndBroadcastMarks_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("broadcast");
    // Stored (SEND_FLAG, BROAD_FLAG): ("1", null), ("0", "1"), (null, "0"), ("2", ""), ("1", "1").
    const char *const marks[][2] = {{"*", ""}, {"", "*"}, {"", ""}, {"", ""}, {"*", "*"}};
    for (int kind : {16, 17})
        for (int k = 0; k < 5; ++k)
            QTest::addRow("%d flags %d", kind, k) << kind << k << marks[k][0] << marks[k][1];
}

void TstRegisters::sentAndBroadcastMarks()
{
    QFETCH(int, kind);
    QFETCH(int, flags);
    QFETCH(QString, sent);
    QFETCH(QString, broadcast);
    const std::vector<PrintedRow> rows = render(kind, QDate(2004, 2, 11));
    QCOMPARE(int(rows.size()), 5);
    const PrintedRow *row = RowWithText(rows, QStringLiteral("표시 %1 %2").arg(flags).arg(kind == 16 ? 1 : 6));
    QVERIFY(row);
    QCOMPARE(row->text(QStringLiteral("SEND_FLAG")), sent);
    QCOMPARE(row->text(QStringLiteral("BROAD_FLAG")), broadcast);
}

void TstRegisters::dayAndTimeMasks_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("comments");
    QTest::addColumn<QString>("dayField");
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("timeField");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QStringList>("labels"); // the unit labels printed on the line, in layout order
    QTest::newRow("16 morning") << 16 << "07:03:09 3"
                                << "DDAY"
                                << "01-05"
                                << "DTIME"
                                << "07:03" << QStringList{};
    QTest::newRow("16 evening") << 16 << "21:45:59 3"
                                << "DDAY"
                                << "01-05"
                                << "DTIME"
                                << "21:45" << QStringList{};
    const QStringList fixedLabels{"월", "일", "시", "분"};
    QTest::newRow("17 morning") << 17 << "07:03:09 6"
                                << "REPORT_DAY"
                                << "01    05"
                                << "REPORT_TIME"
                                << "07    03" << fixedLabels;
    QTest::newRow("17 evening") << 17 << "21:45:59 6"
                                << "REPORT_DAY"
                                << "01    05"
                                << "REPORT_TIME"
                                << "21    45" << fixedLabels;
    QTest::newRow("15 morning") << 15 << "07:03:09 3"
                                << "DDAY"
                                << "01   05"
                                << "DTIME"
                                << "07   03" << fixedLabels;
    QTest::newRow("15 evening") << 15 << "21:45:59 6"
                                << "DDAY"
                                << "01   05"
                                << "DTIME"
                                << "21   45" << fixedLabels;
    QTest::newRow("20 morning") << 20 << "07:03:09 3"
                                << "MMDD"
                                << "01월05일"
                                << "HHMI"
                                << "07시03분" << QStringList{};
    QTest::newRow("20 evening") << 20 << "21:45:59 6"
                                << "MMDD"
                                << "01월05일"
                                << "HHMI"
                                << "21시45분" << QStringList{};
}

void TstRegisters::dayAndTimeMasks()
{
    QFETCH(int, kind);
    QFETCH(QString, comments);
    QFETCH(QString, dayField);
    QFETCH(QString, day);
    QFETCH(QString, timeField);
    QFETCH(QString, time);
    QFETCH(QStringList, labels);
    const std::vector<PrintedRow> rows = render(kind, QDate(2004, 1, 5));
    const PrintedRow *row = RowWithText(rows, comments);
    QVERIFY2(row, qPrintable(comments));
    QCOMPARE(row->text(dayField), day);
    QCOMPARE(row->text(timeField), time);
    // The unit labels stand in the gaps: after the day's first figures, after its second, and so
    // on, each left of the next figures.
    QStringList printed;
    std::vector<double> at;
    for (const auto &[field, prims] : row->cells)
        if (field.startsWith(QLatin1String("QRLabel")))
            for (const report::Primitive &p : prims) {
                printed << p.text;
                at.push_back(p.rect.x());
            }
    QCOMPARE(printed.size(), labels.size());
    for (const QString &l : labels)
        QVERIFY2(printed.contains(l), qPrintable(l));
    if (!labels.isEmpty()) {
        const double dayLeft = row->first(dayField)->rect.x(), timeLeft = row->first(timeField)->rect.x();
        std::sort(at.begin(), at.end());
        QVERIFY(dayLeft < at[0] && at[1] < timeLeft && timeLeft < at[2]);
    }
}

void TstRegisters::stampFollowsTheOption_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QString>("stamp"); // the stamp's label; empty for a register without the box
    const std::pair<int, const char *> stamps[] = {{15, "QRLabel12"}, {16, "QRLabel4"}, {17, "QRLabel18"}};
    for (const auto &[kind, stamp] : stamps)
        for (bool ticked : {true, false})
            QTest::addRow("%d %s", kind, ticked ? "ticked" : "not ticked") << kind << ticked << QString(stamp);
    QTest::newRow("20 has no approval box") << 20 << true << QString();
}

void TstRegisters::stampFollowsTheOption()
{
    QFETCH(int, kind);
    QFETCH(bool, ticked);
    QFETCH(QString, stamp);
    const std::optional<report::PageModel> model = RenderRequest(Request(kind, QDate(2004, 1, 7), {}, 0, ticked));
    QVERIFY(model);
    const report::Page &page = model->pages.front();
    if (stamp.isEmpty()) {
        for (const QString &s : sourcesOn(page))
            QVERIFY2(!s.startsWith(QLatin1String("QRApproval")) && s != QLatin1String("QRShape13"), qPrintable(s));
        QVERIFY(!page.contains(QStringLiteral("전결")));
        return;
    }
    QCOMPARE(page.textsOf(stamp), ticked ? QStringList{"전결"} : QStringList{});
    const report::Primitive *frame = nullptr;
    for (const report::Primitive &p : page.items)
        if (p.source == QLatin1String("QRShape13"))
            frame = &p;
    QVERIFY(frame);
    QCOMPARE(frame->color, ticked ? QColor(Qt::black) : QColor(Qt::white));
    // The rest of the box prints either way.
    QCOMPARE(page.textsOf(QStringLiteral("QRApprovalCaption")).join(QString()), QStringLiteral("결재"));
    for (int k = 1; k <= 4; ++k)
        QCOMPARE(page.textsOf(QStringLiteral("QRApprovalTitle%1").arg(k)).size(), 1);
    QVERIFY(sourcesOn(page).contains(QStringLiteral("QRApprovalBox")));
    QVERIFY(sourcesOn(page).contains(QStringLiteral("QRApprovalHeader")));
}

void TstRegisters::laterPagesAndTheFrame_data()
{
    QTest::addColumn<int>("kind");
    for (int kind : {15, 16, 17, 20})
        QTest::addRow("%d", kind) << kind;
}

void TstRegisters::laterPagesAndTheFrame()
{
    QFETCH(int, kind);
    const std::optional<report::PageModel> model = RenderRequest(Request(kind, QDate(2004, 1, 7), {}, 0, true));
    QVERIFY(model);
    QCOMPARE(model->pageCount(), 2);
    const std::unique_ptr<report::Layout> layout = RegisterLayout(kind);
    const Metrics m = metricsOf(kind);
    QStringList captions, titleItems;
    for (const auto &i : layout->band(QStringLiteral("ColumnHeaderBand1"))->items)
        if (i->itemClass == report::ItemClass::Label)
            captions << i->caption;
    for (const auto &i : layout->band(QStringLiteral("QRBand1"))->items)
        titleItems << i->name;
    QVERIFY(titleItems.contains(QStringLiteral("QRLabel1")));
    QCOMPARE(titleItems.contains(QStringLiteral("QRApprovalBox")), kind != 20);

    const double dpi = 600; // the canvas of RenderRequest's default options
    const auto device = [dpi](double mm) { return std::lround(mm * 10 * dpi / 254.0) * 25.4 / dpi; };
    for (int page = 0; page < 2; ++page) {
        const report::Page &p = model->pages[size_t(page)];
        QCOMPARE(p.textsOf(QStringLiteral("QRSysData1")), QStringList{QString::number(page + 1)});
        for (const QString &c : std::as_const(captions))
            QVERIFY2(p.contains(c), qPrintable(c));
        // The title band, with the title, the approval box and the date line, on page 1 only.
        const QStringList sources = sourcesOn(p);
        for (const QString &name : std::as_const(titleItems))
            QCOMPARE(sources.contains(name), page == 0);

        // The column header stands right below the title band on page 1, the page header later.
        const double top = m.top + m.pageHeader + (page == 0 ? m.title : 0);
        const double bottom = 210 - m.bottom;
        bool headerLine = false;
        for (const report::Primitive &x : p.items)
            if (x.source == QLatin1String("ColumnHeaderBand1") && x.kind == report::Primitive::Kind::Line &&
                x.rect.top() == x.rect.bottom())
                headerLine = headerLine || near(x.rect.top(), top, 1e-6);
        QVERIFY2(headerLine, qPrintable(QString::number(top)));

        // The frame, drawn last: a thick outline, then a thin one per column rule in its order.
        std::vector<const report::Primitive *> frame;
        for (const report::Primitive &x : p.items)
            if (x.source == QLatin1String("OnEndPage"))
                frame.push_back(&x);
        QCOMPARE(frame.size(), m.rules.size() + 1);
        QCOMPARE(&p.items.back(), frame.back());
        const QRectF outline = frame[0]->rect;
        QVERIFY(near(outline.left(), device(m.left)) && near(outline.right(), device(297 - m.right)));
        QVERIFY(near(outline.top(), device(top)) && near(outline.bottom(), device(bottom)));
        QVERIFY(near(frame[0]->penWidth, 3 * 25.4 / dpi, 1e-9));
        for (size_t k = 0; k < m.rules.size(); ++k) {
            const QRectF r = frame[k + 1]->rect;
            QVERIFY2(near(r.left(), device(m.left + m.rules[k].first)), qPrintable(QString::number(k)));
            QVERIFY2(near(r.right(), device(m.left + m.rules[k].first + m.rules[k].second)),
                     qPrintable(QString::number(k)));
            QVERIFY(near(r.top(), device(top)) && near(r.bottom(), device(bottom)));
            QVERIFY(near(frame[k + 1]->penWidth, 25.4 / dpi, 1e-9));
        }
    }
}

void TstRegisters::longTextsWrapAndMoveWhole_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("moving");
    for (const GoldenRun &run : kGoldenRuns)
        QTest::addRow("%d", run.kind) << run.kind << run.rows << run.moving;
}

void TstRegisters::longTextsWrapAndMoveWhole()
{
    QFETCH(int, kind);
    QFETCH(int, rows);
    QFETCH(int, moving);
    const std::vector<PrintedRow> printed = render(kind, QDate(2004, 1, 7));
    QCOMPARE(int(printed.size()), rows);
    const Metrics m = metricsOf(kind);
    const auto squeezed = [](QString s) { return s.remove(u' ').remove(u'\n'); };
    for (int k = 0; k < rows; ++k) {
        const PrintedRow &row = printed[size_t(k)];
        // The record number counts on across pages.
        QCOMPARE(row.text(QStringLiteral("#")), QString::number(k + 1));
        const bool longText = k + 1 == 2 || k + 1 == moving;
        QCOMPARE(row.lines(QStringLiteral("COMMENTS")), longText ? 3 : 1);
        // Nothing of the text is lost, and every line stays inside its row.
        if (longText)
            QCOMPARE(squeezed(row.text(QStringLiteral("COMMENTS"))), squeezed(kLongText));
        for (const auto &[field, prims] : row.cells)
            for (const report::Primitive &p : prims) {
                QVERIFY2(p.rect.top() >= row.top && p.rect.bottom() <= row.bottom + 1e-6, qPrintable(field));
                // Only the text column has a second line.
                if (field != QLatin1String("COMMENTS"))
                    QCOMPARE(int(prims.size()), 1);
            }
        // The row grows with its text, and its rules with it; the next row starts at its foot.
        QVERIFY(near(row.bottom - row.top, m.detail, 1e-6) == !longText);
        if (k + 1 < rows && printed[size_t(k + 1)].page == row.page)
            QVERIFY(near(printed[size_t(k + 1)].top, row.bottom, 1e-6));
    }
    // The row that no longer fits at the foot of page 1 starts page 2, where a one-line row would
    // still have fitted.
    const PrintedRow &before = printed[size_t(moving - 2)];
    const PrintedRow &moved = printed[size_t(moving - 1)];
    QCOMPARE(before.page, 0);
    QCOMPARE(moved.page, 1);
    const double room = 210 - m.bottom - before.bottom;
    QVERIFY2(room >= m.detail && room < moved.bottom - moved.top, qPrintable(QString::number(room)));
    QVERIFY(near(moved.top, m.top + m.pageHeader + m.columnHeader, 1e-6));
}

QTEST_MAIN(TstRegisters)
#include "tst_registers.moc"
