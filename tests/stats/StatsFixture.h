#pragma once

// A database built from the embedded schema plus test rows, reached the way the program reaches
// it: the shared data module's connection "commonDB", the report query module and the session a
// console keeps its state in.

#include "FixtureDb.h"
#include "app/CommonDM.h"
#include "app/Schema.h"
#include "platform/db/BackendSelector.h"
#include "platform/db/Clock.h"
#include "platform/report/ReportForm.h"
#include "platform/report/ui/Preview.h"
#include "platform/ui/UiService.h"
#include "stats/ReportSession.h"
#include "stats/UDMReport.h"
#include "stats/UStatHUBp.h"

#include <memory>

namespace tipdesk::test {

// The catalogue row the console shows when nothing is found.
inline const QString kErr0158Insert =
    QStringLiteral("insert into MESSAGE(M_CODE, M_TITLE, M_DESC) values ('ERR0158', '자료 없음', "
                   "'해당 기간의 자료가 없습니다.');");

class StatsEnvironment {
public:
    explicit StatsEnvironment(const QString &rows = QString())
        : m_fixture(app::schemaScript() + kErr0158Insert + rows, QStringLiteral("statsFixture"))
    {
        db::setEmbeddedOverride(m_fixture.path());
        // Far from the test days, so that no start day is taken for the server's current date.
        db::Clock::setFixed(QDateTime(QDate(2010, 6, 15), QTime(10, 0)));
        m_dataMod = std::make_unique<app::TDataMod1>();
        m_reportModule = std::make_unique<stats::TDMReport>();
    }

    ~StatsEnvironment()
    {
        report::setPreviewHook(nullptr);
        m_reportModule.reset();
        m_dataMod.reset();
        db::Clock::clearFixed();
        db::setEmbeddedOverride(QString());
    }

    void run(const QString &sqliteScript) { m_fixture.run(sqliteScript); }
    ui::RecordingUiService &ui() { return *m_ui; }
    stats::TDMReport &module() { return *m_reportModule; }
    stats::ReportSession &session() { return m_session; }

private:
    ui::ScopedRecordingUi m_ui;
    FixtureDb m_fixture;
    std::unique_ptr<app::TDataMod1> m_dataMod;
    std::unique_ptr<stats::TDMReport> m_reportModule;
    stats::ReportSession m_session;
};

} // namespace tipdesk::test
