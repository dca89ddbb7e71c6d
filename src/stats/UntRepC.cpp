#include "stats/UntRepC.h"

#include "platform/db/Query.h"
#include "platform/report/Layout.h"
#include "stats/UStatHUBp.h"

#include <QDateEdit>

namespace tipdesk::stats {

QPointer<TFrmRepC> FrmRepC;

namespace {

// The kind's statement without its order line; "Where" ends where the period literal follows.
struct PeriodStatement {
    QStringList head; // up to and including the "Where ... Between " line (without the literal)
    QStringList tail; // the lines between the period and the order line
    const char *orderByCount;
    const char *orderById;
    const char *orderByOrganisation; // null: the same as by identifier
};

const PeriodStatement &statementOf(int kind)
{
    static const PeriodStatement kinds[] = {
        // 21: correspondents
        {{"Select RPT_ID, RPT_NAME, SUM( REPORT_COUNT ) RSUM", "From STAT_HUB_RPT", "Where STAT_DAY Between "},
         {"Group By RPT_ID, RPT_NAME"},
         "Order By SUM( REPORT_COUNT ) Desc, RPT_ID, RPT_NAME",
         "Order By RPT_ID, RPT_NAME, SUM( REPORT_COUNT ) Desc ",
         nullptr},
        // 22: correspondents by organisation. The outer join keeps a correspondent without a
        // role, but the inner join on ORGANIZATION removes it again.
        {{"Select R.RPT_ID, O.NAME, RO.ORGANIZATION_ID, R.RPT_NAME, SUM( R.REPORT_COUNT ) RSUM",
          "From STAT_HUB_RPT R, ROLE RO, ORGANIZATION O ", "Where R.STAT_DAY Between "},
         {"  And R.RPT_ID = RO.INDIVIDUAL_ID(+)", "  And RO.ORGANIZATION_ID = O.ORGANIZATION_ID",
          "Group By R.RPT_ID, RO.ORGANIZATION_ID, O.NAME, R.RPT_NAME"},
         "Order By RSUM Desc, R.RPT_ID, RO.ORGANIZATION_ID, O.NAME, R.RPT_NAME",
         "Order By R.RPT_ID, RO.ORGANIZATION_ID, O.NAME, R.RPT_NAME, RSUM Desc ",
         "Order By RO.ORGANIZATION_ID, RSUM Desc, R.RPT_ID, R.RPT_NAME "},
        // 23: fixed report points
        {{"Select ORG_ID RPT_ID, ORG_NAME RPT_NAME, SUM( REPORT_COUNT ) RSUM", "From STAT_HUB_ORG",
          "Where STAT_DAY Between "},
         {"Group By ORG_ID, ORG_NAME"},
         "Order By SUM( REPORT_COUNT ) Desc, ORG_ID, ORG_NAME",
         "Order By ORG_ID, ORG_NAME, SUM( REPORT_COUNT ) Desc ",
         nullptr},
        // 24: police report points
        {{"Select POL_ID RPT_ID, POL_NAME RPT_NAME, SUM( REPORT_COUNT ) RSUM", "From STAT_HUB_POL",
          "Where STAT_DAY Between "},
         {"Group By POL_ID, POL_NAME"},
         "Order By SUM( REPORT_COUNT ) Desc, POL_ID, POL_NAME",
         "Order By POL_ID, POL_NAME, SUM( REPORT_COUNT ) Desc",
         nullptr},
        // 25: receiving operators
        {{"Select OP_ID RPT_ID, OP_NAME RPT_NAME, SUM( REPORT_COUNT ) RSUM", "From STAT_HUB_OP",
          "Where STAT_DAY Between "},
         {"Group By OP_ID, OP_NAME"},
         "Order By SUM( REPORT_COUNT ) Desc, OP_ID, OP_NAME",
         "Order By OP_ID, OP_NAME, SUM( REPORT_COUNT ) Desc",
         nullptr},
        // 26: citizens, counted from the received reports by the day they were made
        {{"Select INDIVIDUAL_ID RPT_ID, REPORTER_NAME RPT_NAME, Count(*) RSUM", "From REPORT_REQUISITION",
          "Where To_char(REPORT_DATE, 'YYYYMMDD') Between "},
         {"  And REPORTER_TYPE = '3' ", "Group By INDIVIDUAL_ID, REPORTER_NAME"},
         "Order By COUNT( * ) Desc, INDIVIDUAL_ID, REPORTER_NAME",
         "Order By INDIVIDUAL_ID, REPORTER_NAME, COUNT( * ) Desc",
         nullptr},
    };
    return kinds[kind - kFirstPeriodKind];
}

const PeriodKindTexts kTexts[] = {
    {"QRCoumm", "통신원별 제보현황 (기간)", "통신원번호"},
    {"QuickRep1", nullptr, nullptr},
    {"QRCoumm", "고정제보처별 제보현황 (기간)", "고정제보처번호"},
    {"QRCoumm", "경찰체보처별 제보현황 (기간)", "경찰제보처번호"},
    {"QRCoumm", "접수자별 제보현황 (기간)", "접수자번호"},
    {"QRCoumm", "시민별 제보현황 (기간)", "시민번호"},
};

QString dayDigits(const QDate &d)
{
    // Only a valid date gives eight digits; anything else would put user text in the statement.
    if (!d.isValid() || d.year() < 1 || d.year() > 9999)
        throw report::ReportError(QStringLiteral("기간이 올바르지 않습니다"));
    return d.toString(QStringLiteral("yyyyMMdd"));
}

} // namespace

QString PeriodLiteral(const QDate &start, const QDate &end)
{
    return u'\'' + dayDigits(start) + QStringLiteral("' And '") + dayDigits(end) + u'\'';
}

QString PeriodLine(const QDate &start, const QDate &end)
{
    return QStringLiteral("기 간 : ") + start.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" ~ ") +
           end.toString(QStringLiteral("yyyy-MM-dd"));
}

QStringList PeriodTotalsSql(int kind, const QDate &start, const QDate &end, int sortOrder)
{
    if (!IsPeriodTotalsKind(kind))
        return {};
    const PeriodStatement &s = statementOf(kind);
    QStringList lines = s.head;
    lines.last() += PeriodLiteral(start, end);
    lines += s.tail;
    const char *order = s.orderByCount;
    if (sortOrder == SortById)
        order = s.orderById;
    else if (sortOrder == SortByOrganisation)
        order = s.orderByOrganisation ? s.orderByOrganisation : s.orderById;
    lines << QString::fromUtf8(order);
    return lines;
}

const PeriodKindTexts *PeriodKindTextsOf(int kind)
{
    return IsPeriodTotalsKind(kind) ? &kTexts[kind - kFirstPeriodKind] : nullptr;
}

TFrmRepC::TFrmRepC(QObject *owner, int kind) : ReportForm(owner), qryReportC(nullptr), m_kind(kind)
{
    const PeriodKindTexts *texts = PeriodKindTextsOf(kind);
    if (!texts)
        throw report::ReportError(QStringLiteral("기간합계 보고서가 아닙니다: %1").arg(kind));
    setObjectName(QStringLiteral("FrmRepC"));
    loadLayout(QStringLiteral(":/reports/UntRepC_%1.json").arg(QLatin1String(texts->printed)));
    qryReportC = query(QStringLiteral("qryReportC"));
    FrmRepC = this;
}

TFrmRepC::~TFrmRepC() = default;

void TFrmRepC::OpenPeriodTotals(const QDate &start, const QDate &end, int sortOrder)
{
    qryReportC->close();
    qryReportC->sql().clear();
    for (const QString &line : PeriodTotalsSql(m_kind, start, end, sortOrder))
        qryReportC->sql() << line;
    qryReportC->open();
}

void TFrmRepC::SetTexts(const QDate &start, const QDate &end)
{
    const PeriodKindTexts *texts = PeriodKindTextsOf(m_kind);
    if (texts->title)
        label(QStringLiteral("QRLabel1"))->setCaption(QString::fromUtf8(texts->title));
    if (texts->firstColumn)
        label(QStringLiteral("QRLabel3"))->setCaption(QString::fromUtf8(texts->firstColumn));
    label(m_kind == 22 ? QStringLiteral("QRLabel8") : QStringLiteral("QRLDay"))->setCaption(PeriodLine(start, end));
}

PreparedReport PrepareFrmRepC(TfStatHUBp &console)
{
    const QDate start = console.DateTimePicker1->date();
    const QDate end = console.DateTimePicker2->date();
    auto *form = new TFrmRepC(&console, ReportKind);
    form->OpenPeriodTotals(start, end, console.sortOrder());
    if (!form->qryReportC->isEmpty())
        form->SetTexts(start, end);
    return {form, form->qryReportC, true};
}

} // namespace tipdesk::stats
