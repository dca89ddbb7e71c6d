// Workbooks read back from their XML (unzip -p): numbers where figures were printed, text
// everywhere else, headings once, merged ranges where a text spans columns, no half-written file.
#include "../stats/KindTest.h"
#include "platform/report/Layout.h"
#include "platform/report/Workbook.h"

#include <QBuffer>
#include <QProcess>
#include <QRegularExpression>
#include <set>

using namespace tipdesk;
using namespace tipdesk::test;

namespace {

QByteArray entry(const QString &xlsx, const QString &name)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), xlsx, name});
    return unzip.waitForFinished() && unzip.exitCode() == 0 ? unzip.readAllStandardOutput() : QByteArray();
}

const auto isNumber = [](const QVariant &v) { return v.typeId() == QMetaType::Double; };

// One worksheet as libxlsxwriter writes it: values (double or QString) by row (from 1) and
// column (its letters read in base 36: A is 10, AA comes after Z), and merged ranges' first cells.
struct Sheet {
    std::map<std::pair<int, int>, QVariant> cells;
    std::set<std::pair<int, int>> mergedFrom;
    QString path;

    std::optional<std::pair<int, int>> find(const QString &text, int *count = nullptr) const
    {
        std::optional<std::pair<int, int>> first;
        for (const auto &[at, v] : cells)
            if (!isNumber(v) && v.toString() == text && (count ? ++*count : 1) && !first)
                first = at;
        return first;
    }
};

Sheet readSheet(const QString &xlsx, int index)
{
    static const QRegularExpression t(QStringLiteral("<t[^>]*>([^<]*)</t>")),
        c(QStringLiteral("<c r=\"([A-Z]+)([0-9]+)\"([^>/]*)><v>([^<]*)</v>")),
        merge(QStringLiteral("<mergeCell ref=\"([A-Z]+)([0-9]+):"));
    const auto at = [](auto &m) { return std::pair(m.captured(2).toInt(), m.captured(1).toInt(nullptr, 36)); };
    QStringList shared;
    for (const auto &m : t.globalMatch(QString::fromUtf8(entry(xlsx, QStringLiteral("xl/sharedStrings.xml")))))
        shared << m.captured(1).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    Sheet sheet{{}, {}, xlsx};
    const QString xml = QString::fromUtf8(entry(xlsx, QStringLiteral("xl/worksheets/sheet%1.xml").arg(index)));
    for (const auto &m : c.globalMatch(xml))
        sheet.cells[at(m)] = m.captured(3).contains(QStringLiteral("t=\"s\""))
                                 ? QVariant(shared.value(m.captured(4).toInt()))
                                 : QVariant(m.captured(4).toDouble());
    for (const auto &m : merge.globalMatch(xml))
        sheet.mergedFrom.insert(at(m));
    return sheet;
}

// A whole number as printed, not an identifier with leading zeros or a day key.
bool wholeNumber(const QString &t)
{
    return QRegularExpression(QStringLiteral("^[1-9][0-9,]*$|^0$")).match(t).hasMatch() &&
           !(t.size() == 8 && QDate::fromString(t, QStringLiteral("yyyyMMdd")).isValid());
}

} // namespace

class TstWorkbook : public QObject {
    Q_OBJECT
private slots:
    void grids_data();
    void grids();
    void everyKindKeepsItsFigures_data();
    void everyKindKeepsItsFigures();
    void textsEmptyReportAndFailures();

private:
    // Writes the workbook as `name` in the test's folder and reads back its first sheet.
    Sheet written(const report::PageModel &model, const QString &name)
    {
        report::writeWorkbook(model, m_dir.filePath(name));
        return readSheet(m_dir.filePath(name), 1);
    }
    GoldenEnvironment m_env{QDate(2004, 1, 10), 20, 120};
    QTemporaryDir m_dir;
};

void TstWorkbook::grids_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("heading");  // printed once, at the top of the print titles
    QTest::addColumn<QString>("merged");   // a heading over several columns of figures
    QTest::addColumn<QString>("sumLabel"); // the row whose first figure totals the column above
    QTest::newRow("register 16") << 16 << "순번" << QString() << QString();
    QTest::newRow("weekly ledger 13") << 13 << QStringLiteral("날짜") << QStringLiteral("날짜")
                                      << QStringLiteral("누계");
    QTest::newRow("work log 8, a form") << 8 << QString() << "오전 근무자" << QString();
}

void TstWorkbook::grids()
{
    QFETCH(int, kind);
    QFETCH(QString, heading);
    QFETCH(QString, merged);
    QFETCH(QString, sumLabel);
    std::optional<report::PageModel> model = RenderRequest(GoldenCases(kind).front().request);
    QVERIFY(model && (model->pagesAreForms || model->pageCount() > 1));
    if (model->pagesAreForms) { // a report of two complete forms: a sheet each, also once saved
        model->pages.push_back(model->pages.front());
        QBuffer saved;
        QVERIFY(saved.open(QIODevice::ReadWrite));
        model->save(saved);
        QVERIFY(saved.seek(0) && (model = report::PageModel::load(saved))->pagesAreForms);
    }
    const QString path = written(*model, QStringLiteral("grid.xlsx")).path;
    const int sheets = model->pagesAreForms ? model->pageCount() : 1;
    QVERIFY(entry(path, QStringLiteral("xl/worksheets/sheet%1.xml").arg(sheets + 1)).isEmpty());
    for (int s = 1; s <= sheets; ++s) {
        const Sheet sheet = readSheet(path, s);
        const auto spanning = sheet.find(merged);
        QVERIFY2(merged.isEmpty() || (spanning && sheet.mergedFrom.count(*spanning)), qPrintable(merged));
        int count = 0;
        const auto at = sheet.find(heading, &count);
        QVERIFY(heading.isEmpty() ||
                (count == 1 && entry(path, QStringLiteral("xl/workbook.xml"))
                                   .contains(QStringLiteral("!$%1:$%1</definedName>").arg(at->first).toUtf8())));
        if (kind == 16) {
            // The record numbers of every page, in order, in one column of numbers.
            int n = 0;
            for (const auto &[cell, v] : sheet.cells)
                if (cell.second == at->second && cell.first > at->first)
                    QVERIFY2(isNumber(v) && v.toDouble() == ++n, qPrintable(v.toString()));
            QCOMPARE(QString::number(n), model->pages.back().textsOf(QStringLiteral("QRSysData3")).last());
        }
        if (!sumLabel.isEmpty()) {
            const auto label = sheet.find(sumLabel);
            const auto total = sheet.cells.upper_bound(*label);
            QVERIFY(total != sheet.cells.cend() && isNumber(total->second));
            double sum = 0;
            int figures = 0;
            for (const auto &[cell, v] : sheet.cells)
                if (cell.second == total->first.second && cell.first < label->first && isNumber(v))
                    sum += (++figures, v.toDouble());
            QVERIFY(figures > 5);
            QCOMPARE(sum, total->second.toDouble());
        }
    }
}

void TstWorkbook::everyKindKeepsItsFigures_data()
{
    QTest::addColumn<int>("kind");
    for (const stats::KindDescriptor *d : stats::AllKinds())
        QTest::addRow("kind %d", d->kind) << d->kind;
}

// Every whole number page 1 prints is a number in the sheet, and no string there reads as a figure.
void TstWorkbook::everyKindKeepsItsFigures()
{
    static const QRegularExpression fraction(QStringLiteral("^[0-9]*\\.[0-9]+%?$|^[0-9]+%$"));
    QFETCH(int, kind);
    const std::optional<report::PageModel> model = RenderRequest(GoldenCases(kind).front().request);
    QVERIFY(model);
    std::set<double> numbers;
    for (const auto &[at, v] : written(*model, QStringLiteral("every.xlsx")).cells) {
        QVERIFY2(isNumber(v) || !(wholeNumber(v.toString()) || fraction.match(v.toString()).hasMatch()),
                 qPrintable(v.toString()));
        if (isNumber(v))
            numbers.insert(v.toDouble());
    }
    for (const report::Primitive *t : model->pages.front().texts())
        if (wholeNumber(t->text))
            QVERIFY2(numbers.count(QString(t->text).remove(u',').toDouble()), qPrintable(t->source + u' ' + t->text));
}

// Texts printed one under another: figures become numbers in the format they were printed in,
// everything else text, nothing a formula.
void TstWorkbook::textsEmptyReportAndFailures()
{
    const QVariant t; // stays text
    const std::tuple<const char *, QVariant, const char *> cases[] = {
        {"=1+2", t, ""},          {"+82", t, ""},         {"@x", t, ""},         {"-", t, ""},
        {"007", t, ""},           {"20040107", t, ""},    {"2004-01-07", t, ""}, {"01/07", t, ""},
        {"02-123-4567", t, ""},   {"05:51", t, ""},       {"-3", -3.0, ""},      {"1,234", 1234.0, "#,##0"},
        {"12.5%", 0.125, "0.0%"}, {".7%", 0.007, "#.0%"}, {".46", 0.46, "#.00"}, {"29.5", 29.5, "0.0"}};
    report::PageModel model;
    model.title = QStringLiteral("시험");
    report::Primitive p;
    p.font = model.fontIndex({QStringLiteral("굴림"), 10});
    model.pages.push_back({QSizeF(210, 297), {}});
    for (const auto &[printed, value, format] : cases) {
        p.rect = QRectF(20, p.rect.bottom() + 2, 30, 4.2);
        p.text = QString::fromUtf8(printed);
        model.pages[0].items.push_back(p);
    }
    const Sheet sheet = written(model, QStringLiteral("texts.xlsx"));
    const QByteArray styles = entry(sheet.path, QStringLiteral("xl/styles.xml"));
    int row = 0;
    for (const auto &[printed, value, format] : cases) {
        const QVariant &v = sheet.cells.at({++row, 10});
        QVERIFY2(value.isValid() ? v == value : v == QString::fromUtf8(printed), printed);
        QVERIFY(!*format || styles.contains(QByteArray("formatCode=\"") + format + '"'));
    }
    QVERIFY(!entry(sheet.path, QStringLiteral("xl/worksheets/sheet1.xml")).contains("<f>"));
    QVERIFY(entry(sheet.path, QStringLiteral("docProps/core.xml"))
                .contains("<dc:title>시험</dc:title><dc:creator>tipdesk</dc:creator>"));

    // A report saved before pages could be forms reads as one continuous sheet.
    QByteArray v1("TIPDESK-REPORT", 15);
    QDataStream(&v1, QIODevice::Append) << qint32(1) << QStringLiteral("옛 보고서") << qint32(0) << qint32(0);
    QBuffer in(&v1);
    QVERIFY(in.open(QIODevice::ReadOnly) && !report::PageModel::load(in).pagesAreForms);
    // The work log prints even without rows: its headings, no figure.
    stats::KindForm form;
    form.setUp(*stats::FindKind(8), Request(8, QDate(2003, 6, 1)));
    const report::PageModel empty = form.render();
    const Sheet form8 = written(empty, QStringLiteral("empty.xlsx"));
    QVERIFY(form8.find(QStringLiteral("근 무 일 지")) && form8.find(QStringLiteral("활용 현황")));
    QVERIFY(std::none_of(form8.cells.cbegin(), form8.cells.cend(), [](auto &c) { return isNumber(c.second); }));
    // A failure names the file and leaves the old one as it was.
    const QString previous = m_dir.filePath(QStringLiteral("old.xlsx"));
    QVERIFY(QFile(previous).open(QIODevice::WriteOnly) && QFile::resize(previous, 3));
    const auto refused = [&](const QString &target) {
        try {
            report::writeWorkbook(empty, target);
        } catch (const report::ReportError &e) {
            return e.text().startsWith(target + QStringLiteral(" 에 저장할 수 없습니다: "));
        }
        return false;
    };
    // Root writes into a read-only folder all the same.
    QVERIFY(QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    QVERIFY(QFileInfo(m_dir.path()).isWritable() || refused(previous));
    QVERIFY(QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QCOMPARE(QFileInfo(previous).size(), 3);
    QVERIFY(refused(m_dir.filePath(QStringLiteral("missing/new.xlsx"))));
    // A folder where the file should go: written whole, refused at the rename.
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("taken.xlsx/inside")));
    QVERIFY(refused(m_dir.filePath(QStringLiteral("taken.xlsx"))));
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral(".*.xlsx.*")}, QDir::Files | QDir::Hidden), QStringList());
}

QTEST_MAIN(TstWorkbook)
#include "tst_workbook.moc"
