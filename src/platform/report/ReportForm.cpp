#include "platform/report/ReportForm.h"
#include "platform/db/Query.h"
#include "platform/report/Formatters.h"
#include "platform/report/Renderer.h"

#include <QPointer>

namespace tipdesk::report {

namespace {

// The register frame: a thick outline from the column header's top edge (below the title band
// on page 1 only) down to the bottom margin, and one thin outline per rule shape over the same
// height, in device pixels of the page canvas.
void drawPageFrame(const Layout &l, const PageFrame &frame, PageCanvas &canvas)
{
    canvas.setTextAlign(Qt::AlignLeft | Qt::AlignTop);
    int top = l.topMargin + l.band(frame.pageHeaderBand)->height;
    if (canvas.pageNumber() == 1)
        top += l.band(frame.titleBand)->height;
    const int y0 = canvas.toDeviceY(top);
    const int y1 = canvas.toDeviceY(l.pageLength - l.bottomMargin);
    canvas.setBrush(QColor());
    canvas.setPen(Qt::black, 3);
    canvas.rectangle(canvas.toDeviceX(l.leftMargin), y0, canvas.toDeviceX(l.pageWidth - l.rightMargin), y1);
    canvas.setPenWidth(1);
    for (const QString &name : frame.ruleShapes) {
        const Item *s = l.item(name);
        canvas.rectangle(canvas.toDeviceX(l.leftMargin + s->left), y0,
                         canvas.toDeviceX(l.leftMargin + s->left + s->width), y1);
    }
}

} // namespace

ReportForm::ReportForm(QObject *owner) : QObject(owner)
{
}

ReportForm::~ReportForm() = default;

void ReportForm::onReportBeforePrint(const QString &name, ReportBeforePrint fn)
{
    m_reportHandlers.insert(name, std::move(fn));
}

void ReportForm::onBandBeforePrint(const QString &name, BandBeforePrint fn)
{
    m_bandHandlers.insert(name, std::move(fn));
}

void ReportForm::onItemPrint(const QString &name, ItemPrint fn)
{
    m_itemHandlers.insert(name, std::move(fn));
}

void ReportForm::onEndPage(const QString &name, EndPage fn)
{
    m_endPageHandlers.insert(name, std::move(fn));
}

void ReportForm::loadLayout(const QString &path)
{
    setLayout(report::loadLayout(path));
}

void ReportForm::checkHandlers(const Layout &layout) const
{
    auto refuse = [&](const QString &kind, const QString &name, const QString &owner) {
        throw ReportError(QStringLiteral("보고서 양식 %1: %2 의 %3 처리기 \"%4\" 이(가) 폼에 없습니다")
                              .arg(layout.source, owner, kind, name));
    };
    // A handler the layout maps to a named one of the engine is wired by the engine.
    const auto wired = [&](const auto &own, const QString &name) {
        return own.contains(name) || layout.handlers.contains(name);
    };
    if (!layout.beforePrint.isEmpty() && !wired(m_reportHandlers, layout.beforePrint))
        refuse(QStringLiteral("BeforePrint"), layout.beforePrint, layout.name);
    if (!layout.onEndPage.isEmpty() && !m_endPageHandlers.contains(layout.onEndPage) && !layout.pageFrame)
        refuse(QStringLiteral("OnEndPage"), layout.onEndPage, layout.name);
    for (const auto &b : layout.bands)
        if (!b->beforePrint.isEmpty() && !wired(m_bandHandlers, b->beforePrint))
            refuse(QStringLiteral("BeforePrint"), b->beforePrint, b->name);
    for (const Item *i : layout.allItems())
        if (!i->onPrint.isEmpty() && !wired(m_itemHandlers, i->onPrint))
            refuse(QStringLiteral("OnPrint"), i->onPrint, i->name);
}

void ReportForm::setLayout(std::shared_ptr<const Layout> layout)
{
    checkHandlers(*layout);
    // Build the queries aside first, so a refusal leaves the form as it was.
    QHash<QString, db::Query *> queries;
    for (const QueryDef &def : layout->queries) {
        auto *q = new db::Query(def.databaseName, def.sql, this);
        q->setObjectName(def.name);
        queries.insert(def.name.toUpper(), q);
    }
    qDeleteAll(m_queries);
    m_queries = std::move(queries);
    m_layout = std::move(layout);
    installNamedHandlers(*this);
}

QVariant ReportForm::parameter(const QString &name) const
{
    const auto it = m_parameters.constFind(name);
    if (it != m_parameters.cend())
        return *it;
    m_missing.insert(name);
    return {};
}

QStringList ReportForm::missingParameters() const
{
    QStringList names(m_missing.cbegin(), m_missing.cend());
    names.sort();
    return names;
}

const Layout &ReportForm::layout() const
{
    if (!m_layout)
        throw ReportError(QStringLiteral("보고서 폼 %1 에 양식이 없습니다").arg(objectName()));
    return *m_layout;
}

const Band *ReportForm::band(const QString &name) const
{
    if (const Band *b = layout().band(name))
        return b;
    throw ReportError(QStringLiteral("보고서 %1 에 밴드 %2 이(가) 없습니다").arg(layout().name, name));
}

const Item *ReportForm::item(const QString &name) const
{
    if (const Item *i = layout().item(name))
        return i;
    throw ReportError(QStringLiteral("보고서 %1 에 항목 %2 이(가) 없습니다").arg(layout().name, name));
}

db::Query *ReportForm::findQuery(const QString &name) const
{
    return m_queries.value(name.toUpper());
}

db::Query *ReportForm::query(const QString &name) const
{
    if (db::Query *q = findQuery(name))
        return q;
    throw ReportError(QStringLiteral("보고서 폼에 쿼리 %1 이(가) 없습니다").arg(name));
}

PageModel ReportForm::render(const RenderOptions &options)
{
    Renderer r(*this, options);
    r.run();
    return r.takeModel();
}

QString ReportForm::documentName() const
{
    if (!m_documentName.isEmpty() || !m_layout)
        return m_documentName;
    return m_layout->reportTitle.isEmpty() ? m_layout->name : m_layout->reportTitle;
}

const ReportBeforePrint *ReportForm::reportBeforePrintHandler() const
{
    if (!m_layout || m_layout->beforePrint.isEmpty())
        return nullptr;
    auto it = m_reportHandlers.constFind(m_layout->beforePrint);
    return it == m_reportHandlers.cend() ? nullptr : &it.value();
}

const BandBeforePrint *ReportForm::bandHandler(const QString &name) const
{
    auto it = m_bandHandlers.constFind(name);
    return it == m_bandHandlers.cend() ? nullptr : &it.value();
}

const ItemPrint *ReportForm::itemHandler(const QString &name) const
{
    auto it = m_itemHandlers.constFind(name);
    return it == m_itemHandlers.cend() ? nullptr : &it.value();
}

const EndPage *ReportForm::endPageHandler() const
{
    if (!m_layout || m_layout->onEndPage.isEmpty())
        return nullptr;
    auto it = m_endPageHandlers.constFind(m_layout->onEndPage);
    if (it != m_endPageHandlers.cend())
        return &it.value();
    if (m_layout->pageFrame) {
        static const EndPage frame = [](ReportForm &form, PageCanvas &canvas) {
            drawPageFrame(form.layout(), *form.layout().pageFrame, canvas);
        };
        return &frame;
    }
    return nullptr;
}

} // namespace tipdesk::report
