#pragma once

// The day registers' test database and what the tests read back from a printed register: reports
// written one by one, the fixed report points and code lists they refer to, and the lines of a
// register as they landed on the pages.

#include "../stats/KindTest.h"
#include "../stats/StatsFixture.h"
#include "platform/report/Layout.h"
#include "platform/report/PageModel.h"
#include "reports/common/Furniture.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QListWidget>
#include <map>
#include <vector>

namespace tipdesk::test {

// One REPORT_REQUISITION row; a null QString is a null column.
struct Report {
    int seq;
    QString when; // "YYYY-MM-DD HH:MM:SS"
    QString type; // REPORTER_TYPE
    QString id;   // INDIVIDUAL_ID
    QString content;
    QString subtype;
    QString comments;
    QString send;
    QString broad;
    QString speed;
    QString name = QStringLiteral("김민수");
    QString op = QStringLiteral("한지수");
};

inline QString sqlValue(const QString &v)
{
    if (v.isNull())
        return QStringLiteral("null");
    QString q = v;
    return u'\'' + q.replace(u'\'', QStringLiteral("''")) + u'\'';
}

inline QString insertReports(const std::vector<Report> &reports)
{
    QString s;
    for (const Report &r : reports)
        s += QStringLiteral("insert into REPORT_REQUISITION (REQUISITION_NUM, SEQ_NUM, REPORT_DATE, REPORTER_TYPE, "
                            "REPORTER_NAME, INDIVIDUAL_ID, INCIDENT_TYPE, INCIDENT_SUBTYPE, COMMENTS, OPERATOR_NAME, "
                            "SEND_FLAG, BROAD_FLAG, SPEED) values (%1, %2, %3, %4, %5, %6, %7, %8, %9, %10, %11, %12, "
                            "%13);\n")
                 .arg(sqlValue(QStringLiteral("R%1").arg(r.seq)), QString::number(r.seq), sqlValue(r.when),
                      sqlValue(r.type), sqlValue(r.name), sqlValue(r.id), sqlValue(r.content), sqlValue(r.subtype),
                      sqlValue(r.comments))
                 .arg(sqlValue(r.op), sqlValue(r.send), sqlValue(r.broad), sqlValue(r.speed));
    return s;
}

// Fixed report points 60001..60005 are current; 60006 is no longer current, 60007 has no CUR
// and 60008 a lower-case "y"; 60090 has no INDIVIDUAL row at all. Correspondent 10002 left.
inline const QString kMembers = QStringLiteral(
    "insert into INDIVIDUAL (INDIVIDUAL_ID, INDIVIDUAL_NAME, TYPE, CUR) values"
    " ('60001', '남산1호터널', '6', 'Y'), ('60002', '한남대교 북단', '6', 'Y'), ('60003', '서울역 고가', '6', 'Y'),"
    " ('60004', '영등포 로터리', '6', 'Y'), ('60005', '사당역', '6', 'Y'), ('60006', '옛 제보처', '6', 'N'),"
    " ('60007', '미정 제보처', '6', null), ('60008', '소문자 제보처', '6', 'y'),"
    " ('10001', '김민수', '1', 'Y'), ('10002', '박지훈', '1', 'N');\n");

// The detail lists of group "100", stored out of order, with a code of another group that a
// careless lookup would count: guidance 801..804, notifications 901..903, each under a heading.
inline const QString kBaseCodes = QStringLiteral(
    "insert into BASE_CODE (BAS_LCOD, BAS_SCOD, BAS_NAME) values"
    " ('100', '803', '주차장 안내'), ('100', '800', '안내서비스'), ('100', '801', '도로 소통 안내'),"
    " ('100', '804', '대중교통 안내'), ('100', '802', '우회도로 안내'),"
    " ('100', '902', '구청'), ('100', '900', '기관통보'), ('100', '903', '소방서'), ('100', '901', '경찰서'),"
    " ('001', '801', '다른 묶음의 이름');\n");

// A text that wraps over three lines in every register's text column.
inline const QString kLongText = QStringLiteral(
    "남부순환로 사당역에서 낙성대 방면 차량 고장으로 2개 차로가 막혀 있습니다. 견인차가 도착해 정리하는 중이며 "
    "운전자분들은 다른 길로 돌아가시는 편이 좋겠습니다. 30분쯤 전부터 계속 이런 상태입니다.");

// The golden day, 7 January 2004. Each register has a run of rows of its own (kept apart by
// reporter type, membership, content and lost-property code): the second row wraps over three
// lines and a row of the same text stands where only a one-line row still fits at the foot of
// page 1, so it moves whole to page 2.
struct GoldenRun {
    int kind;
    int rows;
    int moving; // 1-based position of the row that moves to page 2
};
inline const GoldenRun kGoldenRuns[] = {{15, 28, 24}, {16, 26, 21}, {17, 33, 29}, {20, 26, 22}};

inline std::vector<Report> goldenDay()
{
    const QString shortTexts[] = {QStringLiteral("올림픽대로 잠실 방면 정체"),
                                  QStringLiteral("강변북로 일산 방면 소통 원활"),
                                  QStringLiteral("내부순환로 정릉 부근 사고 처리 중"),
                                  QStringLiteral("동호대교 북단 공사로 1차로 통제"),
                                  QStringLiteral("서울역 앞 행사로 우회 바람"),
                                  QStringLiteral("한남대교 남단 차량 고장"),
                                  QStringLiteral("남산1호터널 눈길 서행")};
    const QString names[] = {QStringLiteral("김민수"), QStringLiteral("이서연"), QStringLiteral("최도윤"),
                             QStringLiteral("정하은")};
    const QString operators[] = {QStringLiteral("한지수"), QStringLiteral("오세진"), QStringLiteral("윤가람")};
    std::vector<Report> out;
    int seq = 0;
    for (const GoldenRun &run : kGoldenRuns) {
        for (int k = 1; k <= run.rows; ++k) {
            const int minutes = 5 * 60 + k * 35 + run.kind;
            Report r{};
            r.seq = ++seq;
            r.when = QStringLiteral("2004-01-07 %1:%2:%3")
                         .arg(minutes / 60 % 24, 2, 10, QLatin1Char('0'))
                         .arg(minutes % 60, 2, 10, QLatin1Char('0'))
                         .arg(k % 60, 2, 10, QLatin1Char('0'));
            r.comments = (k == 2 || k == run.moving) ? kLongText : shortTexts[k % 7];
            r.name = names[k % 4];
            r.op = operators[k % 3];
            r.send = k % 3 == 0 ? QStringLiteral("0") : QStringLiteral("1");
            r.broad = k % 4 == 0 ? QString() : k % 4 == 1 ? QStringLiteral("1") : QStringLiteral("0");
            r.speed = QStringLiteral("0");
            const QString contents[] = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                        QStringLiteral("4"), QStringLiteral("A"), QStringLiteral("E"),
                                        QStringLiteral("Z")};
            r.content = contents[k % 7];
            switch (run.kind) {
            case 16: {
                const QString types[] = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                         QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("7"),
                                         QStringLiteral("8"), QStringLiteral("Z")};
                r.type = types[k % 8];
                r.id = QStringLiteral("%1").arg(10000 + k);
                break;
            }
            case 17:
                r.type = QStringLiteral("6");
                r.id = QStringLiteral("6000%1").arg(1 + k % 5);
                break;
            case 15:
                // A fixed report point without a member row: in this register only.
                r.type = QStringLiteral("6");
                r.id = QStringLiteral("60090");
                r.content = k % 3 == 0 ? QStringLiteral("D") : QStringLiteral("B");
                r.subtype = QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("Z"),
                                        QStringLiteral("3"), QString(),           QStringLiteral("9")}[k % 6];
                break;
            case 20:
                r.type = QStringLiteral("6");
                r.id = QStringLiteral("60090");
                r.speed = QString::number(1 + k % 8);
                break;
            }
            out.push_back(r);
        }
    }
    return out;
}

inline QString goldenRows()
{
    return kMembers + kBaseCodes + insertReports(goldenDay());
}

// The console as the operator uses it: the outcome and, when a preview opened, its pages.
struct ConsoleRun {
    stats::TfStatHUBp::Outcome outcome = stats::TfStatHUBp::Outcome::None;
    report::PageModel model;
};

inline ConsoleRun RunConsole(int kind, const QDate &day, bool approval = false)
{
    ConsoleRun run;
    report::setPreviewHook([&](report::ReportForm &form) { run.model = form.render(); });
    stats::TfStatHUBp console;
    console.DateTimePicker1->setDate(day);
    console.DateTimePicker2->setDate(day);
    console.ListBox1->setCurrentRow(kind);
    console.CheckBox1->setChecked(approval);
    console.SBPreviewClick();
    report::setPreviewHook(nullptr);
    run.outcome = console.lastOutcome();
    return run;
}

// A register's layout as the program loads it.
inline std::unique_ptr<report::Layout> RegisterLayout(int kind)
{
    common::RegisterConstructs();
    return report::loadLayout(report::layoutPath(QLatin1String(stats::FindKind(kind)->layout)));
}

// One printed line of a register: its cells by data field ("#" for the record number, the item
// name for labels), the page it is on and its band's extent from the band's frame.
struct PrintedRow {
    int page = -1; // 0-based
    double top = 0;
    double bottom = 0;
    std::map<QString, std::vector<report::Primitive>> cells;

    QString text(const QString &field) const
    {
        QStringList lines;
        if (auto it = cells.find(field); it != cells.end())
            for (const report::Primitive &p : it->second)
                lines << p.text;
        return lines.join(u'\n');
    }
    int lines(const QString &field) const
    {
        auto it = cells.find(field);
        return it == cells.end() ? 0 : int(it->second.size());
    }
    const report::Primitive *first(const QString &field) const
    {
        auto it = cells.find(field);
        return it == cells.end() ? nullptr : &it->second.front();
    }
};

// The detail lines of a rendered register, page by page, in print order.
inline std::vector<PrintedRow> PrintedRows(const report::PageModel &model, const report::Layout &layout)
{
    const report::Band *detail = layout.band(QStringLiteral("DetailBand1"));
    std::map<QString, QString> fieldOf;
    for (const auto &i : detail->items) {
        if (i->itemClass == report::ItemClass::DBText)
            fieldOf[i->name] = i->dataField;
        else if (i->itemClass == report::ItemClass::SysData)
            fieldOf[i->name] = QStringLiteral("#");
        else
            fieldOf[i->name] = i->name;
    }
    std::vector<PrintedRow> rows;
    for (int page = 0; page < model.pageCount(); ++page) {
        PrintedRow *open = nullptr;
        for (const report::Primitive &p : model.pages[size_t(page)].items) {
            if (p.kind == report::Primitive::Kind::Text && fieldOf.count(p.source)) {
                const QString field = fieldOf[p.source];
                if (field == QLatin1String("#")) {
                    rows.push_back(PrintedRow{});
                    open = &rows.back();
                    open->page = page;
                }
                if (open)
                    open->cells[field].push_back(p);
            } else if (open && p.source == detail->name && p.kind == report::Primitive::Kind::Line &&
                       p.rect.left() == p.rect.right()) {
                // A vertical side of the band's frame: the line's full extent.
                open->top = p.rect.top();
                open->bottom = p.rect.bottom();
            }
        }
    }
    return rows;
}

inline std::vector<PrintedRow> PrintedRows(const report::PageModel &model, int kind)
{
    return PrintedRows(model, *RegisterLayout(kind));
}

// The rows of a register whose text column holds a given text.
inline const PrintedRow *RowWithText(const std::vector<PrintedRow> &rows, const QString &comments)
{
    for (const PrintedRow &r : rows)
        if (r.text(QStringLiteral("COMMENTS")) == comments)
            return &r;
    return nullptr;
}

} // namespace tipdesk::test
