#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tipdesk::app {

// One entry of a code list: the code as stored, its label in lists and registers, a longer label
// where the statistics print one ("기관통보" beside "기관"), and the statistics column that counts it.
struct CodeItem {
    QString code;
    QString label;
    QString longLabel;
    QString column;
};

// An ordered code list with lookups by code. Unknown codes give empty texts, as the registers'
// decodes give an empty cell.
class CodeList {
public:
    CodeList(std::initializer_list<CodeItem> items);
    explicit CodeList(QList<CodeItem> items);

    const QList<CodeItem> &items() const { return m_items; }
    qsizetype size() const { return m_items.size(); }
    const CodeItem &at(qsizetype i) const { return m_items.at(i); }
    const CodeItem *find(const QString &code) const;
    const CodeItem *findByColumn(const QString &column) const;
    bool contains(const QString &code) const { return find(code) != nullptr; }
    QString label(const QString &code) const;
    QString longLabel(const QString &code) const;
    QString column(const QString &code) const;
    QStringList codes() const;
    QStringList labels() const;
    QStringList columns() const;

private:
    QList<CodeItem> m_items;
};

// REPORTER_TYPE codes "1".."8", "Z" in the registers' order.
const CodeList &reporterTypes();
inline const QString kReporterCitizen = QStringLiteral("3");
// INDIVIDUAL.TYPE: the reporter types plus "A", a second kind of operator.
const CodeList &individualTypes();
// The two INDIVIDUAL.TYPE codes whose names make the operator list.
QStringList operatorTypeCodes();

// INCIDENT_TYPE codes with their STAT_HUB column CONTENT1..9.
const CodeList &contentCodes();
// The content columns in the order the ledgers print them: 정체 원활 사고 공사 행사 기상 안내 기관통보 기타.
const CodeList &contentsInPrintOrder();
inline const QString kContentGuidance = QStringLiteral("B");
inline const QString kContentNotice = QStringLiteral("D");

// SPEED codes "1".."8"; "0" (or 0) is not a lost-property report. column is the STAT_HUB_LOSS count.
const CodeList &lostPropertyCodes();
bool isLostProperty(const QString &speed);
// Received kinds are "1".."4", the processed ones "5".."8".
bool isLostPropertyProcessed(const QString &speed);

// Handling classes of STAT_HUB.RESULT1..3 and STAT_HUB_DAY.RESULT.
const CodeList &handlingResults();
inline const QString kResultInternal = QStringLiteral("1");
inline const QString kResultBroadcast = QStringLiteral("2");
inline const QString kResultNotBroadcast = QStringLiteral("3");
// The class of one report from its two flags: broadcast if BROAD_FLAG is "1"; otherwise not broadcast
// if SEND_FLAG is "1"; otherwise handled internally. A null flag is passed as an empty string.
QString handlingResult(const QString &sendFlag, const QString &broadFlag);

// Sources of STAT_HUB.REPORTER1..6; code is the source number, column REPORTERn. This numbering is
// not the reporter-type numbering: see sourceForReporterType().
const CodeList &statisticsSources();
// The sources in the order the ledgers print them: 통신원 경찰제보처 시민 직원 고정제보처 기타.
const CodeList &sourcesInPrintOrder();
// Source number ("1".."6") counting a report of the given REPORTER_TYPE; every type without a source
// of its own counts under "6" 기타.
QString sourceForReporterType(const QString &reporterType);
// The REPORTER_TYPE codes counted by a source.
QStringList reporterTypesOfSource(const QString &source);

// Hour bands TIME06..TIME21 of the statistics tables.
struct HourBand {
    QString column;
    QString header;
    int fromHour;
    int toHour; // exclusive
    bool morning;
};
const QList<HourBand> &hourBands();
// Index into hourBands() of the band holding an hour of the day (0..23).
int hourBandIndex(int hour);
QStringList hourBandColumns();
QStringList morningColumns();
QStringList afternoonColumns();
inline constexpr int kMorningEndHour = 14;
inline const QString kMorningLabel = QStringLiteral("오전");
inline const QString kAfternoonLabel = QStringLiteral("오후");

} // namespace tipdesk::app
