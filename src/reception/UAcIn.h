#pragma once

#include <QDateTime>
#include <QDialog>
#include <QString>
#include <memory>
#include <optional>

class QComboBox;
class QFrame;
class QLineEdit;
class QRadioButton;
class QStatusBar;
class QTableView;
class QToolButton;
class QAbstractItemModel;

namespace tipdesk::db {
class Query;
class QueryModel;
} // namespace tipdesk::db

namespace tipdesk::reception {

namespace Ui {
class TAcIn;
}

// The reception status browser: received reports of a time window, optionally narrowed by
// content, reporter type, processing or receiving operator and processing class.
class TAcIn : public QDialog {
    Q_OBJECT
public:
    explicit TAcIn(QWidget *parent = nullptr);
    ~TAcIn() override;

    // Components, by the names the form gives them.
    QFrame *Panel1;
    QComboBox *ComboBox1;
    QComboBox *ComboBox3;
    QComboBox *ComboBox8;
    QRadioButton *RadioButton4;
    QRadioButton *RadioButton5;
    QRadioButton *RadioButton6;
    QLineEdit *MaskSt;
    QLineEdit *MaskEn;
    QToolButton *SearchBtn;
    QToolButton *CloseBtn;
    QTableView *DBGrid1;
    // The number of rows the last search found.
    QStatusBar *StatusBar1;
    db::Query *QueryAcep;
    db::Query *QueryTest;
    db::QueryModel *DataSource2;
    // The grid's six columns over DataSource2.
    QAbstractItemModel *gridModel() const;

public slots:
    void FormShow();
    void ComboBox1Change();
    void RadioButton4Click();
    void RadioButton6Click();
    void SearchBtnClick();
    void closeBtnClick();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void search();
    void placeOnScreen();

    std::unique_ptr<Ui::TAcIn> ui;
    QAbstractItemModel *m_grid = nullptr;
    bool m_placed = false;
};

// The browser while it is open (set by the main menu).
extern TAcIn *AcIn;

// The text form of a point in time the browser writes into its statement and entries:
// "2026-03-01 23:30" (the year's digits as they are, the rest in two digits).
QString windowText(int year, int month, int day, int hour, int minute);
QString windowText(const QDateTime &when);

// A period entry read as year, month, day, hour and the last number as minute, written back
// in the window form; nothing when it holds fewer than five numbers.
std::optional<QString> normalisePeriodEntry(const QString &entry);

// The "현재" window: the hour before now, to the minute, with calendar arithmetic.
struct TimeWindow {
    QString start;
    QString end;
};
TimeWindow lastHour(const QDateTime &now);
TimeWindow wholeDay(const QDate &day);

} // namespace tipdesk::reception
