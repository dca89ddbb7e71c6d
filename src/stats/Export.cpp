#include "stats/Export.h"

#include "platform/db/Query.h"
#include "stats/UntRepC.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <QStringEncoder>
#include <memory>

namespace tipdesk::stats {

namespace {

QString g_exportFolder;

struct KindFile {
    int kind;
    const char *baseName;
    const char *idCaption; // between "순번|" and "|이름|기간 합계|"
};

const KindFile kFiles[] = {
    {18, "소속기간", nullptr},
    {21, "통신원기간", "통신원번호"},
    {22, "통신원소속기간", "통신원번호|소속명|소속ID"},
    {23, "고정기간", "고정제보처번호"},
    {24, "경찰기간", "경찰제보처번호"},
    {25, "접수자기간", "접수자번호"},
    {26, "시민기간", "시민번호"},
};

const KindFile *fileOf(int kind)
{
    for (const KindFile &f : kFiles)
        if (f.kind == kind)
            return &f;
    return nullptr;
}

QByteArray encode(const QString &line)
{
    QStringEncoder encoder("CP949", QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(line);
    bytes += "\r\n";
    return bytes;
}

} // namespace

bool IsExportKind(int kind)
{
    return fileOf(kind) != nullptr;
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
    const KindFile *f = fileOf(kind);
    return f ? QString::fromUtf8(f->baseName) + QStringLiteral(".txt") : QString();
}

QString ExportHeader(int kind)
{
    const KindFile *f = fileOf(kind);
    if (!f)
        return {};
    if (!f->idCaption)
        return QStringLiteral("순번|ID|소속|이름|기간 합계|");
    return QStringLiteral("순번|") + QString::fromUtf8(f->idCaption) + QStringLiteral("|이름|기간 합계|");
}

QStringList RoleExportSql(const QDate &start, const QDate &end)
{
    return {
        QStringLiteral("Select ROLE.REPORTER_ID,ORG.NAME, ROLE.REPORTER_NAME, "),
        QStringLiteral("       SUM( ROLE.REPORT_COUNT ) RCO "),
        QStringLiteral("From STAT_HUB_ROLE ROLE, ORGANIZATION ORG "),
        QStringLiteral("Where ROLE.ROLE_ID = ORG.ORGANIZATION_ID(+) "),
        QStringLiteral("  and ROLE.STAT_DAY Between ") + PeriodLiteral(start, end),
        QStringLiteral("  And role.Reporter_id in ( Select INDIVIDUAL_ID From INDIVIDUAL Where CUR = 'Y' )"),
        QStringLiteral("Group by ROLE.ROLE_ID, ROLE.REPORTER_ID, ORG.NAME, ROLE.REPORTER_NAME"),
        QStringLiteral("Order by ROLE.ROLE_ID, ROLE.REPORTER_ID, RCO desc"),
    };
}

QByteArray ExportBytes(int kind, db::Query &query)
{
    QByteArray bytes = encode(ExportHeader(kind));
    query.first();
    for (int n = 1; !query.eof(); ++n, query.next()) {
        QString line = QString::number(n) + u'|';
        for (int i = 0; i < query.fieldCount(); ++i)
            line += ExportValue(query.field(i).asString()) + u'|';
        bytes += encode(line);
    }
    return bytes;
}

QString ExportFolder()
{
    return g_exportFolder.isEmpty() ? QCoreApplication::applicationDirPath() : g_exportFolder;
}

void SetExportFolder(const QString &folder)
{
    g_exportFolder = folder;
}

QString ExportResult::message() const
{
    switch (status) {
    case Status::Saved:
        return QDir::toNativeSeparators(path) + QStringLiteral(" 파일을 저장하였습니다.");
    case Status::NothingSelected:
        return QStringLiteral("저장 대상을 지정하십시요");
    case Status::NoData:
        return QStringLiteral("저장할 데이타가 없습니다.");
    case Status::Failed:
        break;
    }
    return QDir::toNativeSeparators(path) + QStringLiteral(" 파일을 저장하지 못했습니다: ") + error;
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

ExportResult ExportReport(int kind, const QDate &start, const QDate &end, int sortOrder, db::Query &roleQuery,
                          QObject *owner)
{
    ExportResult result;
    if (!IsExportKind(kind)) {
        result.status = ExportResult::Status::NothingSelected;
        return result;
    }
    result.path = QDir(ExportFolder()).filePath(ExportFileName(kind));

    // The period totals form is this export's own and goes with it, whatever happens.
    std::unique_ptr<TFrmRepC> form;
    db::Query *query = &roleQuery;
    if (kind == kRoleKind) {
        roleQuery.close();
        roleQuery.sql().clear();
        roleQuery.sql() << RoleExportSql(start, end);
        roleQuery.open();
    } else {
        form = std::make_unique<TFrmRepC>(owner, kind);
        form->OpenPeriodTotals(start, end, sortOrder);
        query = form->qryReportC;
    }
    if (query->isEmpty()) {
        result.status = ExportResult::Status::NoData;
        return result;
    }
    const QByteArray bytes = ExportBytes(kind, *query);
    if (kind == kRoleKind)
        roleQuery.close();
    result.error = WriteWholeFile(result.path, bytes);
    result.status = result.error.isEmpty() ? ExportResult::Status::Saved : ExportResult::Status::Failed;
    return result;
}

} // namespace tipdesk::stats
