#pragma once

// "File 저장": the figures of kind 18 (by organisation and correspondent) and of the period
// totals (kinds 21..26) written to a "|"-separated text file in code page 949 with CR LF line
// ends, one file per kind in the export folder. What a kind writes is its descriptor's
// export: the file name, the header and the layout statement it runs.

#include "stats/ReportRequest.h"

#include <QByteArray>
#include <QString>

namespace tipdesk::db {
class Query;
}

namespace tipdesk::stats {

struct KindDescriptor;

bool IsExportKind(int kind);

// The text without any occurrence of the character.
QString StripChar(const QString &text, QChar c);
// A value as it is written: leading and trailing blanks and control characters removed, then
// every carriage return and line feed inside it.
QString ExportValue(const QString &text);

// "통신원기간.txt" and so on; empty for a kind without export.
QString ExportFileName(int kind);
// The header line of the kind, without the line end.
QString ExportHeader(int kind);
// The statement the kind's export runs for the request's period and sort order, line by line.
QStringList ExportSql(const ReportRequest &request);

// Where the files go unless the operator's session says otherwise: the user's documents folder
// (the desk's data folder where there is none). The folder is made when a file is written.
QString ExportFolder();

struct ExportResult {
    enum class Status { Saved, NothingSelected, NoData, Failed };
    Status status = Status::Failed;
    QString path;  // the file, for Saved and Failed
    QString error; // the input/output error, for Failed
    // Characters code page 949 lacks, written as "?": how many, in how many records, and the
    // first such record's identifier and name.
    int replaced = 0;
    int replacedRecords = 0;
    QString firstReplacedId;
    QString firstReplacedName;
    // The text the user sees; for a saved file with replaced characters, the notice follows.
    QString message() const;
    // "CP949로 쓸 수 없는 문자 N개를 "?"로 바꾸어 썼습니다 (레코드 M개, 처음은 ID 이름)."; empty
    // when nothing was replaced.
    QString replacementNotice() const;
};

// The whole file for an open query: the header line and one line per row from the first, each
// ending in CR LF, in code page 949. Replaced characters are counted into `replacements`.
QByteArray ExportBytes(int kind, db::Query &query, ExportResult *replacements = nullptr);

// Writes the kind's file for the request's period (the end day is not checked against the
// start day; a reversed period finds nothing). The statement runs through the given query (the
// console's Query1) into the folder. An existing file is replaced only once the new one is
// complete: a failure leaves it as it was. Database errors propagate.
ExportResult ExportReport(const ReportRequest &request, db::Query &query, const QString &folder = ExportFolder());

// Writes bytes to the path through a temporary file beside it; returns the error text, empty on
// success.
QString WriteWholeFile(const QString &path, const QByteArray &bytes);

} // namespace tipdesk::stats
