#pragma once

// Kind 11, "일일 교통정보 접수현황": the one-page sheet of a day's reports — handling hour by hour
// with the shares of the broadcast material, the grand totals per hour, and the counts by content
// kind and by reporter type with their shares of the day's total.

#include "platform/report/ReportForm.h"

#include <QString>

namespace tipdesk::db {
class Query;
}

namespace tipdesk::ledger {

// A share as the sheet prints it: the field's text rounded half away from zero on its decimal
// digits to one decimal (18.75 → "18.8"), with or without a trailing "%". An empty text (no row)
// stays empty.
QString FormatShare(const QString &text, bool percent);

class TFrmDay : public report::ReportForm {
    Q_OBJECT
public:
    explicit TFrmDay(QObject *owner);

    db::Query *qryReport; // reporter types
    db::Query *Query1;    // content kinds
    db::Query *Query2;    // handled in-house
    db::Query *Query3;    // broadcast, with shares of the broadcast material
    db::Query *Query4;    // not broadcast, with shares of the broadcast material
    db::Query *Query5;    // broadcast material count per hour column

    // Opens the queries for the day (YYYYMMDD) and sets the date line. Query4, the not-broadcast
    // row, decides whether there is anything to print.
    void Prepare(const QString &day, const QString &dateLine);

    // Handlers.
    void QRDBText106Print(report::Item &item, QString &value);
    void QRDBText111Print(report::Item &item, QString &value);
    void QRBand1BeforePrint(report::Band &band, bool &printBand);
};

} // namespace tipdesk::ledger
