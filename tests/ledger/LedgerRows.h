#pragma once

// What the ledgers' tests share: rows of hour buckets for the fixtures, the hour grid's columns
// with the value a row gives in each, shares worked out from whole numbers, and the texts a
// component printed.

#include "../reception/RegisterFixture.h"
#include "platform/report/PageModel.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

namespace tipdesk::test {

// The hour buckets TIME06..TIME21 of one row.
using Hours = std::array<int, 16>;

// A STAT_HUB_DAY row of one handling result, or a STAT_HUB_INFO row (no result).
struct HoursRow {
    const char *day;
    const char *result;
    Hours hours;
};

inline int Morning(const Hours &h)
{
    int s = 0;
    for (int i = 0; i < 8; ++i)
        s += h[size_t(i)];
    return s;
}

inline int Evening(const Hours &h)
{
    int s = 0;
    for (int i = 8; i < 16; ++i)
        s += h[size_t(i)];
    return s;
}

// A STAT_HUB_DAY row (with its result) or a STAT_HUB_INFO row (result null) with its totals.
inline QString HoursInsert(const char *table, const char *day, const char *result, const Hours &h)
{
    QStringList hours;
    for (int v : h)
        hours << QString::number(v);
    return QStringLiteral("insert into %1 (STAT_DAY, %2TOTAL, MORNING_TOTAL, EVENING_TOTAL, TIME06, TIME07, TIME08, "
                          "TIME09, TIME10, TIME11, TIME12, TIME13, TIME14, TIME15, TIME16, TIME17, TIME18, TIME19, "
                          "TIME20, TIME21) values ('%3', %4%5, %6, %7, %8);\n")
        .arg(QLatin1String(table), result ? QStringLiteral("RESULT, ") : QString(), QLatin1String(day),
             result ? QStringLiteral("'%1', ").arg(QLatin1String(result)) : QString())
        .arg(Morning(h) + Evening(h))
        .arg(Morning(h))
        .arg(Evening(h))
        .arg(hours.join(QStringLiteral(", ")));
}

// A share of count in divisor, in percent, rounded half up to one decimal with whole numbers
// only: 3 of 16 is 18.75 and prints 18.8. A count of 0 is 0.0 whatever the divisor.
inline QString Share(int count, int divisor)
{
    if (count == 0)
        return QStringLiteral("0.0");
    const qint64 tenths = (qint64(count) * 2000 + divisor) / (qint64(divisor) * 2);
    return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
}

// The hour grid's columns in print order: the suffix of the cell names, the value of a row.
struct GridColumn {
    QString field;
    std::function<int(const Hours &)> of;
};

inline std::vector<GridColumn> GridColumns()
{
    std::vector<GridColumn> c;
    c.push_back({QStringLiteral("TOTAL"), [](const Hours &h) { return Morning(h) + Evening(h); }});
    c.push_back({QStringLiteral("MORNING_TOTAL"), Morning});
    for (int i = 0; i < 16; ++i) {
        if (i == 8)
            c.push_back({QStringLiteral("EVENING_TOTAL"), Evening});
        c.push_back({QStringLiteral("TIME%1").arg(i + 6, 2, 10, QLatin1Char('0')),
                     [i](const Hours &h) { return h[size_t(i)]; }});
    }
    return c;
}

// The texts one component printed on the first page, one a line.
inline QString PageText(const report::PageModel &m, const QString &source)
{
    if (m.pages.empty())
        return QStringLiteral("(no page)");
    return m.pages.front().textsOf(source).join(u'\n');
}

// The delegated-approval stamp follows "전결인 사용": ticked, the label prints "전결" in its black
// frame; unticked, neither shows (the frame's pen is white) while the rest of the box prints.
inline void CheckStampSwitch(int kind, const QDate &day, const QString &label, const QString &shape)
{
    for (const bool approval : {true, false}) {
        const std::optional<report::PageModel> model = RenderRequest(Request(kind, day, day, 0, approval));
        QVERIFY(model);
        const report::Page &page = model->pages.front();
        QCOMPARE(page.textsOf(label), approval ? QStringList{QStringLiteral("전결")} : QStringList());
        QCOMPARE(page.contains(QStringLiteral("전결")), approval);
        for (const char *title : {"담  당", "과  장", "국  장", "본부장"})
            QVERIFY(page.contains(QString::fromUtf8(title)));
        int frames = 0;
        for (const report::Primitive &p : page.items)
            if (p.source == shape) {
                ++frames;
                QCOMPARE(p.color, approval ? QColor(Qt::black) : QColor(Qt::white));
            }
        QCOMPARE(frames, 1);
    }
}

} // namespace tipdesk::test
