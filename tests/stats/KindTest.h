#pragma once

// Rendering report kinds in tests: a request run through the same preparation as the console
// and the batch command, and the golden pages — the text dump of each kind on a small demo
// database (or on a fixture of its family's own where the demo day lacks the rows it needs),
// checked in beside the tests of its family and compared byte for byte.
//
// To regenerate the golden pages on purpose (after a deliberate change of a layout), run
//   TIPDESK_UPDATE_GOLDEN=1 ctest
// in the build folder (only the golden comparisons write) and review the difference before committing it.

#include "DemoDb.h"
#include "FixtureDb.h"
#include "app/CommonDM.h"
#include "platform/db/BackendSelector.h"
#include "platform/db/Clock.h"
#include "platform/report/PageModel.h"
#include "platform/ui/UiService.h"
#include "stats/KindForm.h"
#include "stats/UDMReport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <optional>

namespace tipdesk::test {

inline stats::ReportRequest Request(int kind, const QDate &start, const QDate &end = {}, int sort = 0,
                                    bool approval = false)
{
    stats::ReportRequest r;
    r.kind = kind;
    r.startDay = start;
    r.endDay = end.isValid() ? end : start;
    r.sort = sort;
    r.approval = approval;
    return r;
}

// The request's pages, or nothing when the kind's tested query found no row.
inline std::optional<report::PageModel> RenderRequest(const stats::ReportRequest &request)
{
    stats::TDMReport module;
    stats::PreparedReport prepared = stats::PrepareReport(request, module);
    if (!prepared.form)
        return std::nullopt;
    report::PageModel model = prepared.form->render();
    // A parameter the layout reads and the preparation did not supply printed empty.
    const QStringList missing = prepared.form->missingParameters();
    if (!missing.isEmpty())
        QTest::qFail(qPrintable(QStringLiteral("not supplied: ") + missing.join(u' ')), __FILE__, __LINE__);
    return model;
}

// A demo database of 20 days up to 10 January 2004 (or as asked), reached as the program reaches
// it, with the clock fixed three weeks later (so no start day is the server's today).
class GoldenEnvironment {
public:
    explicit GoldenEnvironment(QDate until = QDate(2004, 1, 10), int days = 20, int perDay = 40)
    {
        demo::DemoOptions o;
        o.out = m_dir.filePath(QStringLiteral("golden.db"));
        o.seed = 11;
        o.until = until;
        o.days = days;
        o.perDay = perDay;
        demo::buildDemoDb(o);
        db::setEmbeddedOverride(o.out);
        db::Clock::setFixed(QDateTime(until.addDays(22), QTime(9, 30)));
        m_dataMod = std::make_unique<app::TDataMod1>();
    }
    ~GoldenEnvironment()
    {
        m_dataMod.reset();
        db::Clock::clearFixed();
        db::setEmbeddedOverride(QString());
    }

private:
    ui::ScopedRecordingUi m_ui;
    QTemporaryDir m_dir;
    std::unique_ptr<app::TDataMod1> m_dataMod;
};

// The golden request of a kind: its single day (or month) with the stamp ticked, or for a kind
// taking a period the whole range of the golden database in the first sort order.
struct GoldenCase {
    QString name; // file stem, e.g. "kind21"
    stats::ReportRequest request;
};

inline QList<GoldenCase> GoldenCases(int kind)
{
    const stats::KindDescriptor *d = stats::FindKind(kind);
    const QDate day(2004, 1, 7);
    const QString stem = QStringLiteral("kind%1").arg(kind, 2, 10, QLatin1Char('0'));
    QList<GoldenCase> cases;
    if (d->inputs != stats::KindInputs::StartEnd) {
        cases.append({stem, Request(kind, day, day, 0, true)});
        return cases;
    }
    cases.append({stem, Request(kind, QDate(2003, 12, 22), QDate(2004, 1, 10))});
    return cases;
}

// Compares a dump with the checked-in page; with TIPDESK_UPDATE_GOLDEN=1 it writes it instead.
inline void CompareGolden(const QString &dump, const QString &relativePath)
{
    const QString root = qEnvironmentVariable("TIPDESK_SOURCE_DIR");
    QVERIFY2(!root.isEmpty(), "TIPDESK_SOURCE_DIR is not set");
    const QString path = root + u'/' + relativePath;
    if (qEnvironmentVariable("TIPDESK_UPDATE_GOLDEN") == QLatin1String("1")) {
        QFile out(path);
        QVERIFY2(out.open(QIODevice::WriteOnly), qPrintable(path));
        out.write(dump.toUtf8());
        qWarning("golden page written: %s", qPrintable(path));
        return;
    }
    QFile in(path);
    QVERIFY2(in.open(QIODevice::ReadOnly), qPrintable(path + QStringLiteral(" is missing; see KindTest.h")));
    const QString expected = QString::fromUtf8(in.readAll());
    if (expected == dump)
        return;
    const QStringList a = expected.split(u'\n'), b = dump.split(u'\n');
    qsizetype line = 0;
    while (line < a.size() && line < b.size() && a[line] == b[line])
        ++line;
    QFile actual(QDir::current().filePath(QFileInfo(path).fileName()));
    if (actual.open(QIODevice::WriteOnly))
        actual.write(dump.toUtf8());
    QFAIL(qPrintable(QStringLiteral("%1 differs at line %2:\n  expected: %3\n  actual:   %4\n(actual page in %5)")
                         .arg(relativePath)
                         .arg(line + 1)
                         .arg(a.value(line), b.value(line), actual.fileName())));
}

// The data rows of a golden-page test: one per golden case of the kinds.
inline void AddGoldenRows(std::initializer_list<int> kinds)
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("kind");
    for (int kind : kinds)
        for (const GoldenCase &c : GoldenCases(kind))
            QTest::newRow(qPrintable(c.name)) << c.name << kind;
}

// Renders the current row's case on the database the test has set up and compares it with
// tests/<family>/golden/<name>.txt.
inline void CheckGoldenRowOnCurrentDatabase(const QString &family)
{
    QFETCH(QString, name);
    QFETCH(int, kind);
    for (const GoldenCase &c : GoldenCases(kind)) {
        if (c.name != name)
            continue;
        const std::optional<report::PageModel> model = RenderRequest(c.request);
        QVERIFY2(model, qPrintable(name + QStringLiteral(": no data")));
        CompareGolden(report::dumpText(*model), QStringLiteral("tests/%1/golden/%2.txt").arg(family, name));
        return;
    }
    QFAIL(qPrintable(name + QStringLiteral(": no such case")));
}

// The same on the golden database.
inline void CheckGoldenRow(const QString &family)
{
    GoldenEnvironment env;
    CheckGoldenRowOnCurrentDatabase(family);
}

} // namespace tipdesk::test
