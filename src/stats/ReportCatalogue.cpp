#include "stats/ReportKinds.h"

#include "platform/report/Layout.h"
#include "reports/Units.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

namespace tipdesk::stats {

namespace {

using report::LayoutObject;

KindDescriptor readKind(const LayoutObject &o, const std::vector<reports::Unit> &units)
{
    KindDescriptor d;
    d.kind = int(o.number(QStringLiteral("Kind"), -1));
    d.caption = o.str(QStringLiteral("Caption"));
    d.form = o.str(QStringLiteral("Form"));
    d.layout = o.str(QStringLiteral("Layout"));
    d.tested = o.str(QStringLiteral("Tested"));
    d.inputs = o.choice<KindInputs>(
        QStringLiteral("Inputs"), KindInputs::Start,
        {{"P", KindInputs::Periods}, {"S", KindInputs::Start}, {"SE", KindInputs::StartEnd}, {"M", KindInputs::Month}});
    d.sort = o.flag(QStringLiteral("Sort"), false);
    d.open = o.strings(QStringLiteral("Open"));
    d.periodSums = o.str(QStringLiteral("PeriodSums"));
    if (o.has(QStringLiteral("Export"))) {
        const LayoutObject e = o.object(QStringLiteral("Export"));
        d.exportFile = ExportFile{e.str(QStringLiteral("File")), e.str(QStringLiteral("Header")),
                                  e.str(QStringLiteral("Query")), e.str(QStringLiteral("Layout"), d.layout)};
        e.finish();
        if (d.exportFile->baseName.isEmpty() || d.exportFile->header.isEmpty() || d.exportFile->query.isEmpty())
            e.fail(QStringLiteral("Export 에는 File, Header, Query 가 있어야 합니다"));
    }
    const QString unit = o.str(QStringLiteral("Unit"));
    o.finish();
    if (d.kind < 0 || d.kind >= kReportKindCount)
        o.fail(QStringLiteral("Kind 는 0..%1 이어야 합니다").arg(kReportKindCount - 1));
    if (d.caption.isEmpty() || d.form.isEmpty() || d.layout.isEmpty() || d.tested.isEmpty() ||
        !o.has(QStringLiteral("Inputs")))
        o.fail(QStringLiteral("Caption, Form, Layout, Inputs, Tested 가 있어야 합니다"));
    if (!unit.isEmpty()) {
        const auto it =
            std::find_if(units.begin(), units.end(), [&](const reports::Unit &u) { return u.name == unit; });
        if (it == units.end())
            o.fail(QStringLiteral("단위 \"%1\" 이(가) 없습니다").arg(unit));
        d.unit = *it;
    }

    // The layout must have every query the entry names; its Name is the component printed.
    std::unique_ptr<report::Layout> layout;
    try {
        layout = report::loadLayout(report::layoutPath(d.layout));
    } catch (const report::ReportError &e) {
        o.fail(e.text());
    }
    d.printed = layout->name;
    d.approval = layout->parameters.contains(QStringLiteral("Approval"));
    QStringList named = d.open;
    named << d.tested;
    if (!d.periodSums.isEmpty())
        named << d.periodSums;
    for (const QString &q : std::as_const(named))
        if (!layout->query(q))
            o.fail(QStringLiteral("양식 %1 에 쿼리 \"%2\" 이(가) 없습니다").arg(d.layout, q));
    d.design = std::move(layout);
    if (d.exportFile) {
        bool found = false;
        for (const report::QueryDef &q : report::loadLayoutQueries(report::layoutPath(d.exportFile->layout)))
            found = found || q.name.compare(d.exportFile->query, Qt::CaseInsensitive) == 0;
        if (!found)
            o.fail(QStringLiteral("양식 %1 에 쿼리 \"%2\" 이(가) 없습니다")
                       .arg(d.exportFile->layout, d.exportFile->query));
    }
    return d;
}

struct Catalogue {
    std::vector<KindDescriptor> kinds;
    QString error;
};

const Catalogue &catalogue()
{
    static const Catalogue c = [] {
        Catalogue c;
        try {
            c.kinds = ReadCatalogue(QStringLiteral(":/reports/kinds.json"), reports::AllUnits());
        } catch (const report::ReportError &e) {
            c.error = e.text();
        }
        return c;
    }();
    if (!c.error.isEmpty())
        throw report::ReportError(c.error);
    return c;
}

} // namespace

QString InputsCode(KindInputs inputs)
{
    switch (inputs) {
    case KindInputs::Periods:
        return QStringLiteral("P");
    case KindInputs::Start:
        return QStringLiteral("S");
    case KindInputs::StartEnd:
        return QStringLiteral("SE");
    case KindInputs::Month:
        return QStringLiteral("M");
    }
    return {};
}

std::vector<KindDescriptor> ReadCatalogue(const QString &path, const std::vector<reports::Unit> &units)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw report::ReportError(
            QStringLiteral("보고서 목록 %1 을(를) 열 수 없습니다: %2").arg(path, f.errorString()));
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &parseError);
    if (!doc.isObject())
        throw report::ReportError(
            QStringLiteral("보고서 목록 %1 을(를) 읽을 수 없습니다: %2").arg(path, parseError.errorString()));
    const LayoutObject root(doc.object(), QStringLiteral("catalogue"), path);
    const QJsonArray entries = root.array(QStringLiteral("Kinds"));
    root.finish();

    std::vector<KindDescriptor> kinds(kReportKindCount);
    QSet<int> seen;
    for (int i = 0; i < entries.size(); ++i) {
        const QJsonObject entry = entries[i].toObject();
        const QString where =
            QStringLiteral("Kinds[%1] %2").arg(i).arg(entry.value(QStringLiteral("Caption")).toString());
        KindDescriptor d = readKind(LayoutObject(entry, where, path), units);
        if (seen.contains(d.kind))
            LayoutObject(entry, where, path).fail(QStringLiteral("종류 %1 이(가) 두 번 있습니다").arg(d.kind));
        seen.insert(d.kind);
        kinds[size_t(d.kind)] = std::move(d);
    }
    for (int k = 0; k < kReportKindCount; ++k)
        if (!seen.contains(k))
            root.fail(QStringLiteral("종류 %1 이(가) 없습니다").arg(k));
    return kinds;
}

void LoadCatalogue()
{
    catalogue();
}

const KindDescriptor *FindKind(int kind)
{
    if (kind < 0 || kind >= kReportKindCount)
        return nullptr;
    return &catalogue().kinds[size_t(kind)];
}

std::vector<const KindDescriptor *> AllKinds()
{
    std::vector<const KindDescriptor *> all;
    for (const KindDescriptor &d : catalogue().kinds)
        all.push_back(&d);
    return all;
}

} // namespace tipdesk::stats
