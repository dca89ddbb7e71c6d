#include "stats/Export.h"

#include "app/Cp949.h"
#include "platform/db/BackendSelector.h"
#include "platform/db/Query.h"
#include "platform/report/Layout.h"
#include "stats/KindForm.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace tipdesk::stats {

namespace {

const ExportFile *exportOf(int kind)
{
    const KindDescriptor *d = FindKind(kind);
    return d && d->exportFile ? &*d->exportFile : nullptr;
}

// A line in code page 949 with its CR LF; returns the characters written as "?".
int append(QByteArray &bytes, const QString &line)
{
    const app::Cp949Bytes encoded = app::encodeCp949(line);
    bytes += encoded.bytes;
    bytes += "\r\n";
    return encoded.replaced;
}

} // namespace

bool IsExportKind(int kind)
{
    return exportOf(kind) != nullptr;
}

QString StripChar(const QString &text, QChar c)
{
    QString out;
    out.reserve(text.size());
    for (QChar ch : text)
        if (ch != c)
            out += ch;
    return out;
}

QString ExportValue(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= u' ')
        ++first;
    while (last > first && text.at(last - 1).unicode() <= u' ')
        --last;
    return StripChar(StripChar(text.mid(first, last - first), u'\r'), u'\n');
}

QString ExportFileName(int kind)
{
    const ExportFile *f = exportOf(kind);
    return f ? f->baseName + QStringLiteral(".txt") : QString();
}

QString ExportHeader(int kind)
{
    const ExportFile *f = exportOf(kind);
    return f ? f->header : QString();
}

QStringList ExportSql(const ReportRequest &request)
{
    const KindDescriptor *d = FindKind(request.kind);
    const ExportFile *f = exportOf(request.kind);
    if (!f)
        return {};
    // Only the statement is needed, not the report's bands.
    const QString &stem = f->layout;
    for (const report::QueryDef &q : report::loadLayoutQueries(report::layoutPath(stem)))
        if (q.name.compare(f->query, Qt::CaseInsensitive) == 0)
            return ComposeStatement(q, *d, request);
    throw report::ReportError(QStringLiteral("보고서 양식 %1 에 쿼리 %2 이(가) 없습니다").arg(stem, f->query));
}

QByteArray ExportBytes(int kind, db::Query &query, ExportResult *replacements)
{
    QByteArray bytes;
    int replaced = append(bytes, ExportHeader(kind));
    // A record is named by its first field, the identifier, and by the field under "이름".
    const qsizetype nameField = ExportHeader(kind).split(u'|').indexOf(QStringLiteral("이름")) - 1;
    query.first();
    for (int n = 1; !query.eof(); ++n, query.next()) {
        QString line = QString::number(n) + u'|';
        for (int i = 0; i < query.fieldCount(); ++i)
            line += ExportValue(query.field(i).asString()) + u'|';
        const int inLine = append(bytes, line);
        if (inLine > 0 && replacements) {
            if (replacements->replacedRecords++ == 0) {
                replacements->firstReplacedId = ExportValue(query.field(0).asString());
                if (nameField >= 0 && nameField < query.fieldCount())
                    replacements->firstReplacedName = ExportValue(query.field(int(nameField)).asString());
            }
        }
        replaced += inLine;
    }
    if (replacements)
        replacements->replaced = replaced;
    return bytes;
}

QString ExportFolder()
{
    // Where an operator looks for a saved file; never the program's own folder, which an
    // installation keeps read-only.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? db::dataFolder() : documents;
}

QString ExportResult::message() const
{
    switch (status) {
    case Status::Saved:
        return QDir::toNativeSeparators(path) + QStringLiteral(" 파일을 저장하였습니다.") +
               (replaced > 0 ? u'\n' + replacementNotice() : QString());
    case Status::NothingSelected:
        return QStringLiteral("저장 대상을 지정하십시요");
    case Status::NoData:
        return QStringLiteral("저장할 데이타가 없습니다.");
    case Status::Failed:
        break;
    }
    return QDir::toNativeSeparators(path) + QStringLiteral(" 파일을 저장하지 못했습니다: ") + error;
}

QString ExportResult::replacementNotice() const
{
    if (replaced == 0)
        return {};
    return app::cp949ReplacementNotice(
        replaced,
        QStringLiteral("레코드 %1개, 처음은 %2 %3").arg(replacedRecords).arg(firstReplacedId, firstReplacedName));
}

QString WriteWholeFile(const QString &path, const QByteArray &bytes)
{
    // The previous export stays until the new one is complete on disk. Unbuffered, so that a
    // short write (a full disk, a size limit) is seen here: a buffered flush can lose it and the
    // commit would then put a truncated file in place of the old one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0) {
            const QString error = file.errorString();
            file.cancelWriting(); // the temporary file goes with the object
            return error.isEmpty() ? QStringLiteral("쓰기 오류") : error;
        }
        written += n;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

ExportResult ExportReport(const ReportRequest &request, db::Query &query, const QString &folder)
{
    ExportResult result;
    if (!IsExportKind(request.kind)) {
        result.status = ExportResult::Status::NothingSelected;
        return result;
    }
    result.path = QDir(folder).filePath(ExportFileName(request.kind));
    query.close();
    query.setSql(ExportSql(request));
    query.open();
    if (query.isEmpty()) {
        result.status = ExportResult::Status::NoData;
        return result;
    }
    const QByteArray bytes = ExportBytes(request.kind, query, &result);
    query.close();
    // The user's documents folder may not exist yet on a fresh account; a folder that cannot be
    // made is reported by the write.
    QDir().mkpath(QFileInfo(result.path).absolutePath());
    result.error = WriteWholeFile(result.path, bytes);
    result.status = result.error.isEmpty() ? ExportResult::Status::Saved : ExportResult::Status::Failed;
    return result;
}

} // namespace tipdesk::stats
