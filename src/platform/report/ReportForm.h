#pragma once

// A report form: a layout file (bands, items, queries with their statement lines) plus a small
// class holding only its preparation and its handlers, wired by name.
//
//   class TFReSheet : public tipdesk::report::ReportForm {
//   public:
//       explicit TFReSheet(QObject *owner) : ReportForm(owner)
//       {
//           onBandBeforePrint("QRBand1BeforePrint", [](const Band &, bool &) { /* ... */ });
//           onEndPage("QReSheetEndPage", [this](ReportForm &, PageCanvas &c) { /* ... */ });
//           loadLayout(":/reports/ReSheet.json"); // refuses handler names not registered above
//       }
//       void prepare(const QString &day)
//       {
//           auto *q = query("Query1");
//           q->close();
//           q->paramByName("Curr_Day").setAsString(day);
//           q->open();
//       }
//   };
//
//   form.setParameter("DayLine", "...");          // read by the layout as Param.DayLine
//   report::preview(form);                       // modal (report/ui); returns when the window closes
//   PageModel pages = form.render();             // batch and tests: no window
//
// Data sets and expressions find the form's own queries by name. A layout with a PageFrame gets
// its end-of-page handler from the engine.

#include "platform/report/Canvas.h"
#include "platform/report/Layout.h"
#include "platform/report/PageModel.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QVariantMap>
#include <functional>
#include <memory>

namespace tipdesk::db {
class Query;
}

namespace tipdesk::report {

class ReportForm;

using ReportBeforePrint = std::function<void(ReportForm &report, bool &printReport)>;
using BandBeforePrint = std::function<void(const Band &band, bool &printBand)>;
using ItemPrint = std::function<void(const Item &item, QString &value)>;
using EndPage = std::function<void(ReportForm &report, PageCanvas &canvas)>;

struct RenderOptions {
    double canvasDpi = 600;   // the device resolution the end-of-page canvas converts to
    QPoint unprintableOffset; // device pixels, subtracted by the canvas
};

class ReportForm : public QObject {
    Q_OBJECT
public:
    explicit ReportForm(QObject *owner = nullptr);
    ~ReportForm() override;

    // Handler registration, before loadLayout(); the layout names them.
    void onReportBeforePrint(const QString &name, ReportBeforePrint fn);
    void onBandBeforePrint(const QString &name, BandBeforePrint fn);
    void onItemPrint(const QString &name, ItemPrint fn);
    void onEndPage(const QString &name, EndPage fn);

    // Loads the layout and creates its queries; throws ReportError and keeps nothing on failure.
    // A layout is never changed by a run, so forms may share one read once.
    void loadLayout(const QString &path);
    void setLayout(std::shared_ptr<const Layout> layout); // same checks, for layouts read elsewhere

    const Layout &layout() const;
    const Band *band(const QString &name) const;     // throws ReportError for an unknown name
    const Item *item(const QString &name) const;     // any class
    db::Query *query(const QString &name) const;     // the form's own; throws for an unknown name
    db::Query *findQuery(const QString &name) const; // nullptr when unknown

    // The values the layout's expressions read as Param.NAME, given before the fill: the request's
    // values and what the preparation derived. A layout declares the names it reads.
    void setParameters(QVariantMap parameters) { m_parameters = std::move(parameters); }
    void setParameter(const QString &name, const QVariant &value) { m_parameters.insert(name, value); }
    const QVariantMap &parameters() const { return m_parameters; }
    // A declared parameter nobody supplied prints empty; the names are kept for the checks.
    QVariant parameter(const QString &name) const;
    QStringList missingParameters() const;

    // The page being built (from 1), for handlers.
    int pageNumber() const { return m_pageNumber; }

    PageModel render(const RenderOptions &options = {});

    // The name a saved copy of the preview suggests (the report's title and period); the
    // layout's ReportTitle when none is set.
    void setDocumentName(const QString &name) { m_documentName = name; }
    QString documentName() const;

    // Used by the renderer.
    const ReportBeforePrint *reportBeforePrintHandler() const;
    const BandBeforePrint *bandHandler(const QString &name) const;
    const ItemPrint *itemHandler(const QString &name) const;
    const EndPage *endPageHandler() const;
    void setPageNumber(int n) { m_pageNumber = n; }

private:
    void checkHandlers(const Layout &layout) const;

    std::shared_ptr<const Layout> m_layout;
    QHash<QString, db::Query *> m_queries; // children of the form; keys upper-cased
    QHash<QString, ReportBeforePrint> m_reportHandlers;
    QHash<QString, BandBeforePrint> m_bandHandlers;
    QHash<QString, ItemPrint> m_itemHandlers;
    QHash<QString, EndPage> m_endPageHandlers;
    int m_pageNumber = 0;
    QString m_documentName;
    QVariantMap m_parameters;
    mutable QSet<QString> m_missing;
};

} // namespace tipdesk::report
