#pragma once

// What the tests of the day-by-day ledgers share: rows for a fixture written as column lists
// with empty values, a period previewed through the console as the operator asks for it (the
// registers' RunConsole takes one day), the texts a component printed over every page, and the
// texts the painter would cut.

#include "../stats/StatsFixture.h"
#include "platform/report/PageModel.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFontMetricsF>
#include <QImage>
#include <QListWidget>
#include <QPointer>
#include <QtTest>
#include <optional>

namespace tipdesk::test {

using Count = std::optional<int>; // an empty value is NULL

// "insert into TABLE (STAT_DAY, c1, c2, ...) values ('day', v1, v2, ...);"
inline QString InsertDay(const QString &table, const QString &day, const QStringList &columns,
                         const std::vector<Count> &values)
{
    QStringList v;
    for (const Count &c : values)
        v << (c ? QString::number(*c) : QStringLiteral("NULL"));
    return QStringLiteral("insert into %1 (STAT_DAY, %2) values ('%3', %4);\n")
        .arg(table, columns.join(QStringLiteral(", ")), day, v.join(QStringLiteral(", ")));
}

struct PeriodRun {
    report::PageModel model;
    stats::TfStatHUBp::Outcome outcome = stats::TfStatHUBp::Outcome::None;
    int formsFreed = 0;     // report forms destroyed while the console ran
    bool formAlive = false; // the previewed form still existed when the console's run ended
};

// Selects the kind and the period on a console, ticks "전결인 사용" as told and presses
// "미리보기"; the preview builds the pages instead of showing a window.
inline PeriodRun RunConsoleOverPeriod(StatsEnvironment &env, int kind, const QDate &start, const QDate &end,
                                      bool approval = false)
{
    PeriodRun run;
    QPointer<report::ReportForm> shown;
    report::setPreviewHook([&](report::ReportForm &form) {
        shown = &form;
        QObject::connect(&form, &QObject::destroyed, [&run] { ++run.formsFreed; });
        run.model = form.render();
    });
    {
        stats::TfStatHUBp console;
        console.DateTimePicker1->setDate(start);
        console.DateTimePicker2->setDate(end);
        console.ListBox1->setCurrentRow(kind);
        console.CheckBox1->setChecked(approval);
        console.SBPreviewClick();
        run.outcome = console.lastOutcome();
        run.formAlive = !shown.isNull();
    }
    report::setPreviewHook(nullptr);
    if (run.outcome == stats::TfStatHUBp::Outcome::Failed) // say why, rather than only that it failed
        for (const auto &e : env.ui().entries)
            qWarning("%s", qPrintable(e.text));
    return run;
}

// The texts one component printed, page after page.
inline QStringList TextsOf(const report::PageModel &m, const QString &source)
{
    QStringList all;
    for (const report::Page &p : m.pages)
        all += p.textsOf(source);
    return all;
}

// The texts of a table row, one per component: the row is the n-th (from 0) that the key
// component printed, and a component printing nothing on that line (an empty value) gives "".
inline QStringList RowTexts(const report::PageModel &m, const QString &key, const QStringList &items, int n)
{
    for (const report::Page &page : m.pages) {
        for (const report::Primitive &p : page.items) {
            if (p.source != key || n-- > 0)
                continue;
            QStringList row;
            for (const QString &item : items) {
                QString text;
                for (const report::Primitive &q : page.items)
                    if (q.source == item && qAbs(q.rect.top() - p.rect.top()) < 0.05)
                        text = q.text;
                row << text;
            }
            return row;
        }
    }
    return {QStringLiteral("(no row %1)").arg(n)};
}

// The numbers (from 1) of the pages on which a component printed something.
inline QList<int> PagesWith(const report::PageModel &m, const QString &source)
{
    QList<int> pages;
    for (int i = 0; i < m.pageCount(); ++i)
        for (const report::Primitive &p : m.pages[size_t(i)].items)
            if (p.source == source) {
                pages << i + 1;
                break;
            }
    return pages;
}

// The texts of the named components that the painter would cut (it cuts a line of text only
// where it is wider than its box by more than half a millimetre), measured at 600 dpi in the
// font the page names; the fonts must have been substituted (report::installFontSubstitutes).
inline QStringList CutTexts(const report::PageModel &m, const QStringList &sources)
{
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(qRound(600 / 0.0254));
    device.setDotsPerMeterY(qRound(600 / 0.0254));
    QStringList cut;
    for (const report::Page &page : m.pages)
        for (const report::Primitive &p : page.items) {
            if (p.kind != report::Primitive::Kind::Text || !sources.contains(p.source))
                continue;
            const report::PageFont &pf = m.fonts[size_t(p.font)];
            QFont font(pf.family);
            font.setPointSizeF(pf.pointSize);
            font.setBold(pf.bold);
            const double mm = QFontMetricsF(font, &device).horizontalAdvance(p.text) * 25.4 / 600;
            if (mm > p.rect.width() + 0.5)
                cut << QStringLiteral("%1 \"%2\": %3 mm in %4 mm").arg(p.source, p.text).arg(mm).arg(p.rect.width());
        }
    return cut;
}

inline QList<int> AllPages(const report::PageModel &m)
{
    QList<int> pages;
    for (int i = 1; i <= m.pageCount(); ++i)
        pages << i;
    return pages;
}

} // namespace tipdesk::test
