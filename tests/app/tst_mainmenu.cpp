#include "app/UntMain.h"
#include "platform/ui/UiService.h"
#include "ui_UntMain.h"

#include <QtTest>

using namespace tipdesk;

namespace {

// A working dialog that checks, while it is shown, that the menu stored it in its global.
class FakeDialog : public QDialog {
public:
    explicit FakeDialog(QWidget *parent) : QDialog(parent) { ++created; }
    ~FakeDialog() override { ++destroyed; }

    static inline FakeDialog *global = nullptr;
    static inline int created = 0;
    static inline int destroyed = 0;
    static inline int storedWhileShown = 0;
    static inline int startedFresh = 0;
    QString setting; // what an operator chose in this instance

protected:
    void showEvent(QShowEvent *event) override
    {
        QDialog::showEvent(event);
        if (global == this)
            ++storedWhileShown;
        if (setting.isEmpty())
            ++startedFresh;
        setting = QStringLiteral("chosen");
        QTimer::singleShot(0, this, [this] { done(0); });
    }
};

void resetFake()
{
    FakeDialog::global = nullptr;
    FakeDialog::created = FakeDialog::destroyed = FakeDialog::storedWhileShown = FakeDialog::startedFresh = 0;
}

} // namespace

class TstMainMenu : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        app::TFrmMain::setReceptionStatusOpener(nullptr);
        app::TFrmMain::setStatisticsConsoleOpener(nullptr);
    }
    void buttonsToThePixel_data();
    void buttonsToThePixel();
    void borderlessFixedWindow();
    void unbuiltScreensSayNotAvailable_data();
    void unbuiltScreensSayNotAvailable();
    void workingDialogFreshStoredAndFreed_data();
    void workingDialogFreshStoredAndFreed();
    void exitButtonClosesMenu();
};

void TstMainMenu::buttonsToThePixel_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::newRow("exit") << "SpeedButton3" << QRect(386, 24, 177, 57) << "종 료";
    QTest::newRow("browser") << "SpeedButton1" << QRect(386, 96, 177, 57) << "제보 접수 상황";
    QTest::newRow("console") << "SpeedButton2" << QRect(386, 168, 177, 57) << "제보 접수 통계";
}

void TstMainMenu::buttonsToThePixel()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    app::TFrmMain menu;
    auto *b = menu.findChild<QToolButton *>(name);
    QVERIFY(b);
    b->ensurePolished();
    QCOMPARE(b->geometry(), geometry);
    QCOMPARE(b->text(), caption);
    QVERIFY(b->autoRaise());
    QVERIFY(b->icon().isNull());
    QCOMPARE(b->focusPolicy(), Qt::NoFocus);
    QCOMPARE(b->font().family(), QStringLiteral("굴림"));
    QCOMPARE(b->font().pixelSize(), 19);
    QVERIFY(b->font().bold());
    QCOMPARE(b->palette().color(QPalette::ButtonText), QColor(Qt::black));
}

void TstMainMenu::borderlessFixedWindow()
{
    app::TFrmMain menu;
    QCOMPARE(app::FrmMain, &menu);
    QCOMPARE(menu.size(), QSize(575, 449));
    QCOMPARE(menu.minimumSize(), menu.maximumSize());
    QVERIFY(menu.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(menu.windowTitle(), QStringLiteral("제보/접수 통계"));
    QCOMPARE(menu.ui->Image1->geometry(), QRect(0, 0, 576, 449));
    QCOMPARE(menu.ui->Image1->pixmap().size(), QSize(576, 449));
    // The logo stands on the left; the buttons' column is free picture.
    const QImage background = menu.ui->Image1->pixmap().toImage();
    QCOMPARE(background.pixelColor(470, 300), QColor(Qt::white));
}

void TstMainMenu::unbuiltScreensSayNotAvailable_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("browser") << "SpeedButton1"
                             << "제보 접수 상황 화면은 아직 준비되지 않았습니다.";
    QTest::newRow("console") << "SpeedButton2"
                             << "제보 접수 통계 화면은 아직 준비되지 않았습니다.";
}

void TstMainMenu::unbuiltScreensSayNotAvailable()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    ui::ScopedRecordingUi recorded;
    app::TFrmMain menu;
    menu.show();
    QTest::mouseClick(menu.findChild<QToolButton *>(name), Qt::LeftButton);
    QCOMPARE(recorded->entries.size(), 1);
    QCOMPARE(recorded->entries[0].kind, ui::RecordingUiService::Kind::Message);
    QCOMPARE(recorded->entries[0].text, message);
    QVERIFY(menu.isVisible());
}

void TstMainMenu::workingDialogFreshStoredAndFreed_data()
{
    QTest::addColumn<bool>("console");
    QTest::newRow("browser") << false;
    QTest::newRow("console") << true;
}

void TstMainMenu::workingDialogFreshStoredAndFreed()
{
    QFETCH(bool, console);
    resetFake();
    const auto open = [] { app::runWorkingDialog(FakeDialog::global); };
    if (console)
        app::TFrmMain::setStatisticsConsoleOpener(open);
    else
        app::TFrmMain::setReceptionStatusOpener(open);
    app::TFrmMain menu;
    menu.show();
    QToolButton *button = console ? menu.ui->SpeedButton2 : menu.ui->SpeedButton1;
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(FakeDialog::created, 2);
    QCOMPARE(FakeDialog::destroyed, 2);
    QCOMPARE(FakeDialog::storedWhileShown, 2);
    QCOMPARE(FakeDialog::startedFresh, 2);
    QCOMPARE(FakeDialog::global, nullptr);
}

void TstMainMenu::exitButtonClosesMenu()
{
    app::TFrmMain menu;
    menu.show();
    QVERIFY(menu.isVisible());
    QTest::mouseClick(menu.ui->SpeedButton3, Qt::LeftButton);
    QVERIFY(!menu.isVisible());
}

QTEST_MAIN(TstMainMenu)
#include "tst_mainmenu.moc"
