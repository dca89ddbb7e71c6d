#include "AppFixture.h"
#include "app/CommonDM.h"
#include "app/Cp949.h"
#include "platform/db/DbError.h"

#include <QtTest>

using namespace tipdesk;
using Kind = ui::RecordingUiService::Kind;

Q_DECLARE_METATYPE(tipdesk::ui::Icon)

namespace {
QString hangul(int count)
{
    return QString(count, QChar(0xD55C));
} // "한", two bytes in code page 949
} // namespace

class TstCatalogue : public QObject {
    Q_OBJECT
private slots:
    void connectsWithStoredParameters();
    void connectionFailureIsShownAndStartupGoesOn();
    void fallbackTitleAndIconByFirstCharacter_data();
    void fallbackTitleAndIconByFirstCharacter();
    void rowReplacesTitleAndText_data();
    void rowReplacesTitleAndText();
    void successiveCodesShowTheirOwnRows();
    void longValuesCutAtCharacterBoundary_data();
    void longValuesCutAtCharacterBoundary();
    void databaseErrorPassesToCaller();
};

void TstCatalogue::connectsWithStoredParameters()
{
    test::AppFixture fx;
    QCOMPARE(app::DataMod1, fx.dataModule.get());
    const db::Connection &c = *app::DataMod1->CommonDB;
    QCOMPARE(c.aliasName(), QStringLiteral("commonDB"));
    QCOMPARE(c.driverName(), QStringLiteral("ORACLE"));
    QVERIFY(!c.loginPrompt());
    QCOMPARE(c.params().size(), 3);
    QVERIFY(c.params().at(0).startsWith(QStringLiteral("SERVER NAME=")));
    QCOMPARE(c.params().at(1), QStringLiteral("USER NAME=vexlan"));
    QCOMPARE(c.params().at(2), QStringLiteral("PASSWORD=plomar"));
    QVERIFY(c.connected());
    QCOMPARE(db::Connection::find(QStringLiteral("COMMONDB")), &c);
    QVERIFY(fx.recorded->entries.isEmpty());
    QCOMPARE(app::DataMod1->qryMessage->sql(),
             (QStringList{QStringLiteral("SELECT M_TITLE, M_DESC"), QStringLiteral("  FROM MESSAGE"),
                          QStringLiteral("WHERE M_CODE = :ErrCode")}));
}

void TstCatalogue::connectionFailureIsShownAndStartupGoesOn()
{
    ui::ScopedRecordingUi recorded;
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("absent/tipdesk.db"));
    db::setEmbeddedOverride(missing);
    {
        app::TDataMod1 dm; // must not throw
        QCOMPARE(app::DataMod1, &dm);
        QVERIFY(!dm.CommonDB->connected());
        QCOMPARE(recorded->entries.size(), 1);
        QCOMPARE(recorded->entries[0].kind, Kind::Error);
        QVERIFY2(recorded->entries[0].text.contains(missing), qPrintable(recorded->entries[0].text));
    }
    QCOMPARE(app::DataMod1, nullptr);
    db::setEmbeddedOverride(QString());
}

void TstCatalogue::fallbackTitleAndIconByFirstCharacter_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("title");
    QTest::addColumn<ui::Icon>("icon");
    QTest::newRow("E") << "ERR0158"
                       << "오류" << ui::Icon::Stop;
    QTest::newRow("F") << "FAT0002"
                       << "오류" << ui::Icon::Stop;
    QTest::newRow("I") << "INF0067"
                       << "확인" << ui::Icon::Information;
    QTest::newRow("S") << "SUC0001"
                       << "확인" << ui::Icon::Information;
    QTest::newRow("lower-case e") << "err0158"
                                  << "확인" << ui::Icon::None;
    QTest::newRow("lower-case i") << "inf0067"
                                  << "확인" << ui::Icon::None;
    QTest::newRow("other letter") << "WRN0003"
                                  << "확인" << ui::Icon::None;
    QTest::newRow("digit") << "1230003"
                           << "확인" << ui::Icon::None;
    QTest::newRow("empty code") << ""
                                << "확인" << ui::Icon::None;
}

void TstCatalogue::fallbackTitleAndIconByFirstCharacter()
{
    QFETCH(QString, code);
    QFETCH(QString, title);
    QFETCH(ui::Icon, icon);
    // Rows for other codes only: the looked-up code has none.
    test::AppFixture fx(QStringLiteral("INSERT INTO MESSAGE (M_CODE, M_TITLE, M_DESC) VALUES "
                                       "('ERR0159', '다른 제목', '다른 내용');"));
    app::ShowCodedMessage(code);
    QCOMPARE(fx.recorded->entries.size(), 1);
    const auto &box = fx.recorded->entries[0];
    QCOMPARE(box.kind, Kind::Box);
    QCOMPARE(box.title, title);
    QCOMPARE(box.text, QString());
    QCOMPARE(box.icon, icon);
}

void TstCatalogue::rowReplacesTitleAndText_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("insert");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<ui::Icon>("icon");
    QTest::newRow("both columns") << "ERR0158"
                                  << "('ERR0158', '자료 없음', '해당 기간의 자료가 없습니다.')"
                                  << "자료 없음"
                                  << "해당 기간의 자료가 없습니다." << ui::Icon::Stop;
    QTest::newRow("null title") << "ERR0158"
                                << "('ERR0158', NULL, '해당 기간의 자료가 없습니다.')"
                                << ""
                                << "해당 기간의 자료가 없습니다." << ui::Icon::Stop;
    QTest::newRow("null text") << "INF0067"
                               << "('INF0067', '검색', NULL)"
                               << "검색"
                               << "" << ui::Icon::Information;
    QTest::newRow("code compared exactly") << "inf0067"
                                           << "('INF0067', '검색', '세부검색을 선택하세요.')"
                                           << "확인"
                                           << "" << ui::Icon::None;
}

void TstCatalogue::rowReplacesTitleAndText()
{
    QFETCH(QString, code);
    QFETCH(QString, insert);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(ui::Icon, icon);
    test::AppFixture fx(QStringLiteral("INSERT INTO MESSAGE (M_CODE, M_TITLE, M_DESC) VALUES %1;").arg(insert));
    app::ShowCodedMessage(code);
    QCOMPARE(fx.recorded->entries.size(), 1);
    QCOMPARE(fx.recorded->entries[0].title, title);
    QCOMPARE(fx.recorded->entries[0].text, text);
    QCOMPARE(fx.recorded->entries[0].icon, icon);
}

void TstCatalogue::successiveCodesShowTheirOwnRows()
{
    test::AppFixture fx(QStringLiteral("INSERT INTO MESSAGE (M_CODE, M_TITLE, M_DESC) VALUES "
                                       "('ERR0158', '자료 없음', '자료가 없습니다.'),"
                                       "('INF0067', '검색', '세부검색을 선택하세요.');"));
    app::ShowCodedMessage(QStringLiteral("ERR0158"));
    app::ShowCodedMessage(QStringLiteral("INF0067"));
    app::ShowCodedMessage(QStringLiteral("ERR0001"));
    app::ShowCodedMessage(QStringLiteral("ERR0158"));
    QStringList shown;
    for (const auto &e : fx.recorded->entries)
        shown << e.title + u'/' + e.text;
    QCOMPARE(shown,
             (QStringList{QStringLiteral("자료 없음/자료가 없습니다."), QStringLiteral("검색/세부검색을 선택하세요."),
                          QStringLiteral("오류/"), QStringLiteral("자료 없음/자료가 없습니다.")}));
}

void TstCatalogue::longValuesCutAtCharacterBoundary_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shownTitle");
    QTest::addColumn<QString>("shownText");
    const QString a = QStringLiteral("A");
    QTest::newRow("exactly 32 and 127 bytes") << hangul(16) << a + hangul(63) << hangul(16) << a + hangul(63);
    QTest::newRow("Korean over both limits") << hangul(20) << hangul(70) << hangul(16) << hangul(63);
    // An odd start puts the 33rd and 128th bytes in the middle of a character: drop it whole.
    QTest::newRow("limit inside a character")
        << a + hangul(16) << a + a + hangul(63) << a + hangul(15) << a + a + hangul(62);
    QTest::newRow("single-byte text") << QString(40, u'x') << QString(130, u'y') << QString(32, u'x')
                                      << QString(127, u'y');
    QTest::newRow("short values untouched") << QStringLiteral("자료 없음") << QStringLiteral("없음.")
                                            << QStringLiteral("자료 없음") << QStringLiteral("없음.");
}

void TstCatalogue::longValuesCutAtCharacterBoundary()
{
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(QString, shownTitle);
    QFETCH(QString, shownText);
    test::AppFixture fx;
    fx.db.run(QStringLiteral("INSERT INTO MESSAGE (M_CODE, M_TITLE, M_DESC) VALUES ('ERR0900', '%1', '%2');")
                  .arg(title, text));
    app::ShowCodedMessage(QStringLiteral("ERR0900"));
    QCOMPARE(fx.recorded->entries.size(), 1);
    const auto &box = fx.recorded->entries[0];
    QCOMPARE(box.title, shownTitle);
    QCOMPARE(box.text, shownText);
    QVERIFY(app::toCp949(box.title).size() <= 32);
    QVERIFY(app::toCp949(box.text).size() <= 127);
}

void TstCatalogue::databaseErrorPassesToCaller()
{
    test::AppFixture fx;
    fx.db.run(QStringLiteral("DROP TABLE MESSAGE;"));
    QVERIFY_THROWS_EXCEPTION(db::DbError, app::ShowCodedMessage(QStringLiteral("ERR0158")));
    // Before start-up has created the data module: an error, not a crash.
    fx.dataModule.reset();
    QVERIFY_THROWS_EXCEPTION(db::DbError, app::ShowCodedMessage(QStringLiteral("ERR0158")));
    QVERIFY(fx.recorded->entries.isEmpty());
}

QTEST_MAIN(TstCatalogue)
#include "tst_catalogue.moc"
