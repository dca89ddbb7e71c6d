#include "reports/ledger/untDay.h"

#include "platform/db/Query.h"
#include "platform/report/Layout.h"
#include "reports/summary/Furniture.h"
#include "reports/summary/UntPol.h"

namespace tipdesk::ledger {

namespace {

// The broadcast-material sums of Query5 and the parameters of Query3 and Query4 they fill.
const char *const kMaterial[][2] = {{"TOT", "tot"}, {"MORN", "morn"}, {"ENEN", "enen"}, {"T06", "t06"}, {"T07", "t07"},
                                    {"T08", "t08"}, {"T09", "t09"},   {"T10", "t10"},   {"T11", "t11"}, {"T12", "t12"},
                                    {"T13", "t13"}, {"T14", "t14"},   {"T15", "t15"},   {"T16", "t16"}, {"T17", "t17"},
                                    {"T18", "t18"}, {"T19", "t19"},   {"T20", "t20"},   {"T21", "t21"}};

void openForDay(db::Query &q, const QString &day)
{
    q.close();
    q.paramByName(QStringLiteral("start_day")).setAsString(day);
    q.open();
}

} // namespace

QString FormatShare(const QString &text, bool percent)
{
    if (text.trimmed().isEmpty())
        return {};
    QString out = summary::FormatSharePercent(text);
    if (!percent)
        out.chop(1);
    return out;
}

TFrmDay::TFrmDay(QObject *owner) : ReportForm(owner)
{
    setObjectName(QStringLiteral("TFrmDay"));
    onItemPrint(QStringLiteral("QRDBText106Print"),
                [this](report::Item &item, QString &value) { QRDBText106Print(item, value); });
    onItemPrint(QStringLiteral("QRDBText111Print"),
                [this](report::Item &item, QString &value) { QRDBText111Print(item, value); });
    onBandBeforePrint(QStringLiteral("QRBand1BeforePrint"),
                      [this](report::Band &band, bool &print) { QRBand1BeforePrint(band, print); });
    loadLayout(QStringLiteral(":/reports/untDay.json"));

    // The approval box stands at the right of the title band; its stamp sits 0.6 mm further
    // left and 0.4 mm higher in this sheet than in the other forms.
    report::Band *band1 = band(QStringLiteral("QRBand1"));
    report::placeApprovalBox(*this, band1, 1965, 146, report::kApprovalCaptionNarrow,
                             {QStringLiteral("QRApproval"), QStringLiteral("QRLabel21"), QStringLiteral("QRShape14")});
    report::Item *stamp = shape(QStringLiteral("QRShape14"));
    report::Item *stampText = label(QStringLiteral("QRLabel21"));
    const int dx = 2437 - stamp->left;
    const int dy = 258 - stamp->top;
    stamp->left += dx;
    stamp->top += dy;
    stampText->left += dx;
    stampText->top += dy;

    qryReport = query(QStringLiteral("qryReport"));
    Query1 = query(QStringLiteral("Query1"));
    Query2 = query(QStringLiteral("Query2"));
    Query3 = query(QStringLiteral("Query3"));
    Query4 = query(QStringLiteral("Query4"));
    Query5 = query(QStringLiteral("Query5"));
}

void TFrmDay::Prepare(const QString &day, const QString &dateLine)
{
    openForDay(*qryReport, day);
    openForDay(*Query5, day);
    openForDay(*Query1, day);
    openForDay(*Query2, day);

    // The broadcast and not-broadcast shares are of the broadcast material of the same column;
    // without a material row every divisor is 0 and every share test falls on a count of 0.
    for (db::Query *q : {Query3, Query4}) {
        q->close();
        q->paramByName(QStringLiteral("start_day")).setAsString(day);
        for (const auto &[param, field] : kMaterial)
            q->paramByName(QLatin1String(param))
                .setAsFloat(Query5->isEmpty() ? 0.0 : Query5->fieldByName(QLatin1String(field)).asFloat());
        q->open();
    }
    label(QStringLiteral("QRLabel37"))->setCaption(dateLine);
}

void TFrmDay::QRDBText106Print(report::Item &, QString &value)
{
    value = FormatShare(value, false);
}

void TFrmDay::QRDBText111Print(report::Item &, QString &value)
{
    value = FormatShare(value, true);
}

void TFrmDay::QRBand1BeforePrint(report::Band &, bool &)
{
    report::applyStampSwitch(*this, QStringLiteral("QRLabel21"), QStringLiteral("QRShape14"));
}

} // namespace tipdesk::ledger
