#include "app/CodeLists.h"

namespace tipdesk::app {

CodeList::CodeList(std::initializer_list<CodeItem> items) : CodeList(QList<CodeItem>(items))
{
}

CodeList::CodeList(QList<CodeItem> items) : m_items(std::move(items))
{
    for (CodeItem &i : m_items) {
        if (i.longLabel.isEmpty())
            i.longLabel = i.label;
    }
}

const CodeItem *CodeList::find(const QString &code) const
{
    for (const CodeItem &i : m_items) {
        if (i.code == code)
            return &i;
    }
    return nullptr;
}

const CodeItem *CodeList::findByColumn(const QString &column) const
{
    for (const CodeItem &i : m_items) {
        if (!i.column.isEmpty() && i.column.compare(column, Qt::CaseInsensitive) == 0)
            return &i;
    }
    return nullptr;
}

QString CodeList::label(const QString &code) const
{
    const CodeItem *i = find(code);
    return i ? i->label : QString();
}

QString CodeList::longLabel(const QString &code) const
{
    const CodeItem *i = find(code);
    return i ? i->longLabel : QString();
}

QString CodeList::column(const QString &code) const
{
    const CodeItem *i = find(code);
    return i ? i->column : QString();
}

QStringList CodeList::codes() const
{
    QStringList r;
    for (const CodeItem &i : m_items)
        r << i.code;
    return r;
}

QStringList CodeList::labels() const
{
    QStringList r;
    for (const CodeItem &i : m_items)
        r << i.label;
    return r;
}

QStringList CodeList::columns() const
{
    QStringList r;
    for (const CodeItem &i : m_items)
        r << i.column;
    return r;
}

const CodeList &reporterTypes()
{
    static const CodeList list{
        {QStringLiteral("1"), QStringLiteral("통신원"), {}, {}},
        {QStringLiteral("2"), QStringLiteral("경찰제보처"), {}, {}},
        {QStringLiteral("3"), QStringLiteral("시민"), {}, {}},
        {QStringLiteral("4"), QStringLiteral("직원"), {}, {}},
        {QStringLiteral("5"), QStringLiteral("운영자"), {}, {}},
        {QStringLiteral("6"), QStringLiteral("고정제보처"), {}, {}},
        {QStringLiteral("7"), QStringLiteral("기타"), {}, {}},
        {QStringLiteral("8"), QStringLiteral("기관"), {}, {}},
        {QStringLiteral("Z"), QStringLiteral("기타"), {}, {}},
    };
    return list;
}

const CodeList &individualTypes()
{
    static const CodeList list = [] {
        QList<CodeItem> items = reporterTypes().items();
        items.append({QStringLiteral("A"), QStringLiteral("운영자"), {}, {}});
        return CodeList(items);
    }();
    return list;
}

QStringList operatorTypeCodes()
{
    return {QStringLiteral("5"), QStringLiteral("A")};
}

const CodeList &contentCodes()
{
    static const CodeList list{
        {QStringLiteral("1"), QStringLiteral("공사"), {}, QStringLiteral("CONTENT3")},
        {QStringLiteral("2"), QStringLiteral("행사"), {}, QStringLiteral("CONTENT4")},
        {QStringLiteral("3"), QStringLiteral("사고"), {}, QStringLiteral("CONTENT5")},
        {QStringLiteral("4"), QStringLiteral("기상"), {}, QStringLiteral("CONTENT6")},
        {QStringLiteral("A"), QStringLiteral("원활"), {}, QStringLiteral("CONTENT1")},
        {QStringLiteral("B"), QStringLiteral("안내"), {}, QStringLiteral("CONTENT2")},
        {QStringLiteral("D"), QStringLiteral("기관"), QStringLiteral("기관통보"), QStringLiteral("CONTENT9")},
        {QStringLiteral("E"), QStringLiteral("정체"), {}, QStringLiteral("CONTENT8")},
        {QStringLiteral("Z"), QStringLiteral("기타"), {}, QStringLiteral("CONTENT7")},
    };
    return list;
}

namespace {

QList<CodeItem> reordered(const CodeList &list, const QStringList &codes)
{
    QList<CodeItem> r;
    for (const QString &c : codes)
        r << *list.find(c);
    return r;
}

} // namespace

const CodeList &contentsInPrintOrder()
{
    static const CodeList list(
        reordered(contentCodes(), {QStringLiteral("E"), QStringLiteral("A"), QStringLiteral("3"), QStringLiteral("1"),
                                   QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("B"), QStringLiteral("D"),
                                   QStringLiteral("Z")}));
    return list;
}

const CodeList &lostPropertyCodes()
{
    static const CodeList list{
        {QStringLiteral("1"), QStringLiteral("분실"), {}, QStringLiteral("L_MISS")},
        {QStringLiteral("2"), QStringLiteral("습득"), {}, QStringLiteral("L_FOUND")},
        {QStringLiteral("3"), QStringLiteral("도난차량"), {}, QStringLiteral("L_CAR")},
        {QStringLiteral("4"), QStringLiteral("기타"), {}, QStringLiteral("L_ETC")},
        {QStringLiteral("5"), QStringLiteral("분실(처리)"), {}, QStringLiteral("F_MISS")},
        {QStringLiteral("6"), QStringLiteral("습득(처리)"), {}, QStringLiteral("F_FOUND")},
        {QStringLiteral("7"), QStringLiteral("도난차량(처리)"), {}, QStringLiteral("F_CAR")},
        {QStringLiteral("8"), QStringLiteral("기타(처리)"), {}, QStringLiteral("F_ETC")},
    };
    return list;
}

bool isLostProperty(const QString &speed)
{
    return lostPropertyCodes().contains(speed.trimmed());
}

bool isLostPropertyProcessed(const QString &speed)
{
    const QString s = speed.trimmed();
    return isLostProperty(s) && s >= QLatin1String("5");
}

const CodeList &handlingResults()
{
    static const CodeList list{
        {QStringLiteral("1"), QStringLiteral("자체처리"), {}, QStringLiteral("RESULT1")},
        {QStringLiteral("2"), QStringLiteral("방송"), {}, QStringLiteral("RESULT2")},
        {QStringLiteral("3"), QStringLiteral("비보도"), {}, QStringLiteral("RESULT3")},
    };
    return list;
}

QString handlingResult(const QString &sendFlag, const QString &broadFlag)
{
    if (broadFlag == QLatin1String("1"))
        return kResultBroadcast;
    if (sendFlag == QLatin1String("1"))
        return kResultNotBroadcast;
    return kResultInternal;
}

const CodeList &statisticsSources()
{
    static const CodeList list{
        {QStringLiteral("1"), QStringLiteral("통신원"), {}, QStringLiteral("REPORTER1")},
        {QStringLiteral("2"), QStringLiteral("시민"), {}, QStringLiteral("REPORTER2")},
        {QStringLiteral("3"), QStringLiteral("고정제보처"), {}, QStringLiteral("REPORTER3")},
        {QStringLiteral("4"), QStringLiteral("직원"), {}, QStringLiteral("REPORTER4")},
        {QStringLiteral("5"), QStringLiteral("경찰제보처"), {}, QStringLiteral("REPORTER5")},
        {QStringLiteral("6"), QStringLiteral("기타"), {}, QStringLiteral("REPORTER6")},
    };
    return list;
}

const CodeList &sourcesInPrintOrder()
{
    static const CodeList list(
        reordered(statisticsSources(), {QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("2"),
                                        QStringLiteral("4"), QStringLiteral("3"), QStringLiteral("6")}));
    return list;
}

namespace {

// Reporter type -> source number, for the types with a source of their own.
const QList<std::pair<QString, QString>> &sourceOfType()
{
    static const QList<std::pair<QString, QString>> map{
        {QStringLiteral("1"), QStringLiteral("1")}, {QStringLiteral("3"), QStringLiteral("2")},
        {QStringLiteral("6"), QStringLiteral("3")}, {QStringLiteral("4"), QStringLiteral("4")},
        {QStringLiteral("2"), QStringLiteral("5")},
    };
    return map;
}

const QString kOtherSource = QStringLiteral("6");

} // namespace

QString sourceForReporterType(const QString &reporterType)
{
    for (const auto &[type, source] : sourceOfType()) {
        if (type == reporterType)
            return source;
    }
    return kOtherSource;
}

QStringList reporterTypesOfSource(const QString &source)
{
    QStringList r;
    for (const CodeItem &t : reporterTypes().items()) {
        if (sourceForReporterType(t.code) == source)
            r << t.code;
    }
    return r;
}

const QList<HourBand> &hourBands()
{
    static const QList<HourBand> bands = [] {
        QList<HourBand> b;
        b.append({QStringLiteral("TIME06"), QStringLiteral("0-7"), 0, 7, true});
        for (int h = 7; h <= 20; ++h)
            b.append({QStringLiteral("TIME%1").arg(h, 2, 10, QLatin1Char('0')),
                      QStringLiteral("%1-%2").arg(h).arg(h + 1), h, h + 1, h < kMorningEndHour});
        b.append({QStringLiteral("TIME21"), QStringLiteral("21-24"), 21, 24, false});
        return b;
    }();
    return bands;
}

int hourBandIndex(int hour)
{
    const QList<HourBand> &b = hourBands();
    for (int i = 0; i < b.size(); ++i) {
        if (hour >= b[i].fromHour && hour < b[i].toHour)
            return i;
    }
    return -1;
}

namespace {

QStringList bandColumns(int which) // 0 all, 1 morning, 2 afternoon
{
    QStringList r;
    for (const HourBand &b : hourBands()) {
        if (which == 0 || (which == 1) == b.morning)
            r << b.column;
    }
    return r;
}

} // namespace

QStringList hourBandColumns()
{
    return bandColumns(0);
}
QStringList morningColumns()
{
    return bandColumns(1);
}
QStringList afternoonColumns()
{
    return bandColumns(2);
}

} // namespace tipdesk::app
