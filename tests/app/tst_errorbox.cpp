#include "RecordedBoxes.h"
#include "app/DefaultErrorBox.h"
#include "app/Startup.h"
#include "platform/db/DbError.h"
#include "platform/ui/UiService.h"

#include <QtTest>
#include <functional>
#include <stdexcept>

using namespace tipdesk;

namespace {

// Runs as a handler would: raises the error a row names, or nothing. Error texts are UTF-8 in
// what(), as every error of the program builds them.
void act(const QString &error, const QString &text)
{
    if (error == QLatin1String("db"))
        throw db::DbError(text);
    if (error == QLatin1String("other"))
        throw std::runtime_error(text.toUtf8().toStdString());
}

// An object whose handling of a user event runs the given action.
class Receiver : public QObject {
public:
    std::function<void()> onUserEvent;
    bool event(QEvent *e) override
    {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        onUserEvent();
        return true;
    }
};

} // namespace

class TstErrorBox : public QObject {
    Q_OBJECT
private slots:
    void errorReachesTheBoxWithItsOwnText_data();
    void errorReachesTheBoxWithItsOwnText();
};

void TstErrorBox::errorReachesTheBoxWithItsOwnText_data()
{
    // route: "handler" wraps a handler itself; "event" leaves the error to the application object,
    // as an error raised while an event is handled and caught by no one.
    QTest::addColumn<QString>("route");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("text");
    for (const char *route : {"handler", "event"}) {
        auto row = [route](const char *name) -> QTestData & {
            return QTest::addRow("%s: %s", route, name) << QString(route);
        };
        row("database error in Korean") << "db" << QStringLiteral("ORA-00942: 테이블 또는 뷰가 존재하지 않습니다");
        row("other error in Korean") << "other" << QStringLiteral("보고서 양식을 읽을 수 없습니다: UStatFixP.json");
        row("other error in Hangul and Hanja") << "other" << QStringLiteral("統計 자료가 없습니다 (0건)");
        row("other error in ASCII") << "other" << QStringLiteral("out of memory");
        row("no error") << "none" << QString();
    }
}

void TstErrorBox::errorReachesTheBoxWithItsOwnText()
{
    QFETCH(QString, route);
    QFETCH(QString, error);
    QFETCH(QString, text);
    ui::ScopedRecordingUi recorded;
    int runs = 0;
    auto handler = [&] {
        ++runs;
        act(error, text);
    };
    if (route == QLatin1String("handler")) {
        app::withDefaultErrorBox(handler);
    } else {
        Receiver receiver;
        receiver.onUserEvent = handler;
        QEvent event(QEvent::User);
        const bool handled = QCoreApplication::sendEvent(&receiver, &event);
        QCOMPARE(handled, error == QLatin1String("none"));
    }
    QCOMPARE(runs, 1);
    QCOMPARE(test::shownTexts(*recorded),
             error == QLatin1String("none") ? QStringList() : QStringList{"error: " + text});
}

// The program's own application object, so that events take the program's route.
int main(int argc, char *argv[])
{
    app::TipdeskApplication application(argc, argv);
    TstErrorBox test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_errorbox.moc"
