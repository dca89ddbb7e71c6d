// bench-browser: times the reception status browser's searches on an embedded database (for
// example one made by tipdesk-demo-db --days 3650 --per-day 2000), from the button press until
// the grid has painted its first screen. The clock is set to the newest report, so "현재" and
// "금일" cover the busiest end of the data.
//   bench-browser --database FILE        (offscreen unless QT_QPA_PLATFORM names another platform)

#include "ToolStart.h"
#include "app/CommonDM.h"
#include "platform/db/BackendSelector.h"
#include "platform/db/Clock.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "platform/ui/DeskUi.h"
#include "platform/ui/UiService.h"
#include "reception/UAcIn.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QRadioButton>
#include <QTableView>
#include <algorithm>
#include <cstdio>

using namespace tipdesk;

int main(int argc, char **argv)
{
    tools::prepareEnvironment(tools::Platform::Offscreen);
    QApplication application(argc, argv);
    ui::prepareDeskUi(); // the browser as the program shows it
    const QStringList args = application.arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--database"));
    const QString database = at >= 0 && at + 1 < args.size() ? args[at + 1] : QString();
    if (database.isEmpty()) {
        std::fprintf(stderr, "usage: bench-browser --database FILE\n");
        return 2;
    }
    if (!QFile::exists(database)) {
        std::fprintf(stderr, "bench-browser: %s: 데이터베이스 파일이 없습니다\n", qPrintable(database));
        return 1;
    }
    db::setEmbeddedOverride(database);
    ui::ScopedRecordingUi boxes; // errors are counted, not shown
    try {
        app::TDataMod1 dataModule;
        db::Query newest(QStringLiteral("commonDB"),
                         {QStringLiteral("select max(report_date) from report_requisition")});
        newest.open();
        const QDateTime last =
            QDateTime::fromString(newest.field(0).asString().left(19), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!last.isValid())
            throw db::DbError(QStringLiteral("no reports in the database"));
        db::Clock::setFixed(last);

        reception::TAcIn form;
        form.show();
        QApplication::processEvents();
        std::printf("newest report %s\n", qPrintable(last.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
        std::printf("%-28s %8s %10s %10s %10s\n", "search", "rows", "best ms", "query ms", "paint ms");

        struct Case {
            const char *name;
            QRadioButton *window;
            QString kind, value, processing;
        };
        const Case cases[] = {
            {"현재 (last hour)", form.RadioButton4, {}, {}, {}},
            {"금일 (whole day)", form.RadioButton5, {}, {}, {}},
            {"금일, 시민, 비보도", form.RadioButton5, QStringLiteral("제보자별"), QStringLiteral("시민"),
             QStringLiteral("비보도")},
        };
        for (const Case &c : cases) {
            c.window->setChecked(true);
            form.ComboBox1->setCurrentText(c.kind.isEmpty() ? QStringLiteral("전체별") : c.kind);
            if (!c.value.isEmpty())
                form.ComboBox3->setCurrentText(c.value);
            form.ComboBox8->setCurrentText(c.processing.isEmpty() ? QStringLiteral("전체") : c.processing);
            double best = 1e12, query = 0, paint = 0;
            int rows = 0;
            for (int round = 0; round < 5; ++round) {
                QElapsedTimer timer;
                timer.start();
                form.SearchBtnClick();
                const double searched = timer.nsecsElapsed() / 1e6;
                form.DBGrid1->repaint(); // the first screen of rows drawn
                const double total = timer.nsecsElapsed() / 1e6;
                if (total < best) {
                    best = total;
                    query = searched;
                    paint = total - searched;
                }
                rows = form.QueryAcep->recordCount();
            }
            std::printf("%-28s %8d %10.1f %10.1f %10.1f\n", c.name, rows, best, query, paint);
        }
    } catch (const db::DbError &e) {
        std::fprintf(stderr, "bench-browser: %s\n", qPrintable(e.text()));
        return 1;
    }
    if (!boxes->entries.isEmpty()) {
        std::fprintf(stderr, "bench-browser: %s\n", qPrintable(boxes->entries.first().text));
        return 1;
    }
    return 0;
}
