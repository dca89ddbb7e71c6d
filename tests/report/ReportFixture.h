#pragma once

#include "FixtureDb.h"
#include "platform/report/Layout.h"
#include "platform/report/PageModel.h"
#include "platform/report/ReportForm.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tipdesk::test {

// Rows k = 1..n with v = k * 10, g = group letter, txt = a short or long text.
inline QString numberedRows(int n, int perGroup = 1000000)
{
    return QStringLiteral("create table t(k integer, g text, v integer, txt text);"
                          "insert into t with recursive c(k) as (select 1 union all select k + 1 from c where k < %1)"
                          " select k, char(65 + (k - 1) / %2), k * 10, 'row ' || k from c;"
                          "create table one(name text); insert into one values('합계 기준');")
        .arg(n)
        .arg(perGroup);
}

inline QJsonObject label(const QString &name, const QString &caption, double left, double top, double width = 30,
                         double height = 5)
{
    return QJsonObject{{"Name", name}, {"Class", "TQRLabel"}, {"Caption", caption}, {"Left", left},
                       {"Top", top},   {"Width", width},      {"Height", height}};
}

inline QJsonObject item(const QString &name, const QString &cls, const QJsonObject &extra, double left = 0,
                        double top = 0, double width = 30, double height = 5)
{
    QJsonObject o{{"Name", name}, {"Class", cls}, {"Left", left}, {"Top", top}, {"Width", width}, {"Height", height}};
    for (auto it = extra.begin(); it != extra.end(); ++it)
        o.insert(it.key(), it.value());
    return o;
}

inline QJsonObject band(const QString &name, const QString &type, double height, const QJsonArray &items = {})
{
    return QJsonObject{{"Name", name}, {"BandType", type}, {"Height", height}, {"Items", items}};
}

// A portrait A4 report over query Q1 ("select * from t order by k") with 10 mm margins.
inline QJsonObject reportJson(const QJsonArray &bands, const QJsonObject &extra = {})
{
    QJsonObject o{
        {"Name", "QuickRep1"},
        {"DataSet", "Q1"},
        {"Queries", QJsonArray{QJsonObject{{"Name", "Q1"}, {"SQL", QJsonArray{"select * from t", "order by k"}}},
                               QJsonObject{{"Name", "qryOne"}, {"SQL", QJsonArray{"select name from one"}}}}},
        {"Bands", bands}};
    for (auto it = extra.begin(); it != extra.end(); ++it)
        o.insert(it.key(), it.value());
    return o;
}

inline QByteArray bytes(const QJsonObject &o)
{
    return QJsonDocument(o).toJson();
}

// The form under test: handlers first, then the layout, as a report unit does.
class TestForm : public report::ReportForm {
public:
    using ReportForm::ReportForm;
    void load(const QJsonObject &json) { setLayout(report::parseLayout(bytes(json), QStringLiteral("test.json"))); }
};

// Index of the page (0-based) holding a text printed by a component, -1 when absent.
inline int pageOf(const report::PageModel &m, const QString &source, const QString &text)
{
    for (int i = 0; i < m.pageCount(); ++i)
        if (m.pages[size_t(i)].textsOf(source).contains(text))
            return i;
    return -1;
}

inline const report::Primitive *findText(const report::Page &p, const QString &source, const QString &text = {})
{
    for (const report::Primitive &x : p.items)
        if (x.kind == report::Primitive::Kind::Text && x.source == source && (text.isNull() || x.text == text))
            return &x;
    return nullptr;
}

} // namespace tipdesk::test
