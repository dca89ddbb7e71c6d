#include "reception/UAcIn.h"

#include "app/CodeLists.h"
#include "app/CommonDM.h"
#include "platform/db/Clock.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "platform/db/QueryModel.h"
#include "platform/ui/UiService.h"

#include "ui_UAcIn.h"

#include <QComboBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QIdentityProxyModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QToolTip>
#include <QWindow>
#include <algorithm>

namespace tipdesk::reception {

TAcIn *AcIn = nullptr;

namespace {

const QString kAlias = QStringLiteral("commonDB");
const QString kHeadingValue = QStringLiteral("세부검색");
const QString kOperatorParam = QStringLiteral("OperatorName");

struct GridColumn {
    const char *field;
    QString title;
    int width;      // 0: the header's default; else the least width, widened for `widest`
    QString widest; // the widest value the column shows, where its form is fixed
};

const GridColumn kGridColumns[] = {
    {"REQUISITION_NUM", QStringLiteral("접수번호"), 71, QStringLiteral("0000000000")},
    {"REPO_DATE", QStringLiteral("제보일자"), 135, QStringLiteral("0000-00-00 00:00")},
    {"REPORTER_NAME", QStringLiteral("제보자"), 121, {}},
    {"REPO_TYPE", QStringLiteral("제보자유형"), 118, {}},
    {"OPERATOR_NAME", QStringLiteral("접수자"), 106, {}},
    {"COMMENTS", QStringLiteral("    접수내용"), 0, {}},
};

// The width a cell's text needs to be drawn whole: the text and the style's margin either side.
int textWidth(const QWidget *view, const QFont &font, const QString &text)
{
    const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    return QFontMetrics(font).horizontalAdvance(text) + 2 * margin;
}

// A cell its column cuts shows its whole text as a tooltip; a whole one shows none.
class CutCellTips : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override
    {
        if (event->type() != QEvent::ToolTip)
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        const QString text = index.data().toString();
        if (!text.isEmpty() && textWidth(view, option.font, text) > option.rect.width())
            QToolTip::showText(event->globalPos(), text, view->viewport(), option.rect);
        else
            QToolTip::hideText();
        return true;
    }
};
constexpr int kGridColumnCount = int(std::size(kGridColumns));

// The grid shows six named fields of a result that has many more, in its own order and with
// its own titles. Columns are found by name each time the query opens.
class GridColumns : public QIdentityProxyModel {
public:
    // Made before the item model over the same query: connected first, the mapping is current
    // by the time the item model resets and the view asks again.
    GridColumns(db::Query *query, QObject *parent) : QIdentityProxyModel(parent), m_query(query)
    {
        m_source.fill(-1, kGridColumnCount);
        QObject::connect(query, &db::Query::opened, this, [this] { resolve(); });
        QObject::connect(query, &db::Query::closed, this, [this] { resolve(); });
    }

    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : kGridColumnCount; }

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override
    {
        return hasIndex(row, column, parent) ? createIndex(row, column) : QModelIndex();
    }

    QModelIndex mapToSource(const QModelIndex &proxy) const override
    {
        if (!proxy.isValid() || !sourceModel() || proxy.column() >= kGridColumnCount)
            return {};
        const int column = m_source[proxy.column()];
        return column < 0 ? QModelIndex() : sourceModel()->index(proxy.row(), column);
    }

    QModelIndex mapFromSource(const QModelIndex &source) const override
    {
        const int column = source.isValid() ? int(m_source.indexOf(source.column())) : -1;
        return column < 0 ? QModelIndex() : createIndex(source.row(), column);
    }

    QVariant data(const QModelIndex &proxy, int role) const override
    {
        const QModelIndex source = mapToSource(proxy);
        return source.isValid() ? source.data(role) : QVariant();
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Horizontal)
            return section >= 0 && section < kGridColumnCount ? kGridColumns[section].title : QString();
        return QString(); // the row indicator carries no number
    }

private:
    void resolve()
    {
        for (int i = 0; i < kGridColumnCount; ++i)
            m_source[i] = m_query->active() ? m_query->fieldIndex(QLatin1String(kGridColumns[i].field)) : -1;
    }

    db::Query *m_query;
    QList<int> m_source;
};

QFont pixelFont(const QString &family, int pixels, bool bold = false)
{
    QFont f(family);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QString twoDigits(int value)
{
    return value < 10 ? QStringLiteral("0%1").arg(value) : QString::number(value);
}

// Fixed pieces of the statement; only the window, the criterion and the processing class vary.
const QString kSelect = QStringLiteral(
    " select ROWNUM,seq_num,x.*,  decode(reporter_type, '1' , '통신원' , '2' , '경찰제보처', '3' , '시민' , '4' , "
    "'직원', '5' , '운영자' , '6' , '고정제보처', '7' , '기타' , '8' , '기관' ,'Z' , '기타') repo_type, "
    "decode(INCIDENT_TYPE, '1' , '공사' , '2' , '행사','E' , '정체','D' , '기관', '3' , '사고' , '4' , '기상','A' , "
    "'원활', 'B' , '안내',  'Z' , '기타' ) inci_type, TO_CHAR(x.REPORT_DATE,'YYYY-MM-DD HH24:MI') REPO_DATE,  "
    "TO_CHAR(x.REGISTE_DATE,'YYYY-MM-DD HH24:MI') REGI_DATE  from  REPORT_REQUISITION x  where ");

// A criterion value offered in ComboBox3 and the code it selects.
struct Criterion {
    QString label;
    QString code;
};

// Content kinds in the order the desk reads them, with the long label of institution notices.
QList<Criterion> contentCriteria()
{
    QList<Criterion> r;
    for (const app::CodeItem &c : app::contentsInPrintOrder().items())
        r.append({c.longLabel.isEmpty() ? c.label : c.longLabel, c.code});
    return r;
}

// Reporter types, each label once: "기타" selects the first of its two codes.
QList<Criterion> reporterCriteria()
{
    QList<Criterion> r;
    for (const app::CodeItem &c : app::reporterTypes().items()) {
        if (std::none_of(r.cbegin(), r.cend(), [&](const Criterion &k) { return k.label == c.label; }))
            r.append({c.label, c.code});
    }
    return r;
}

QString codeOf(const QList<Criterion> &list, const QString &label)
{
    for (const Criterion &c : list) {
        if (c.label == label)
            return c.code;
    }
    return {};
}

} // namespace

QString windowText(int year, int month, int day, int hour, int minute)
{
    return QStringLiteral("%1-%2-%3 %4:%5")
        .arg(QString::number(year), twoDigits(month), twoDigits(day), twoDigits(hour), twoDigits(minute));
}

QString windowText(const QDateTime &when)
{
    const QDate d = when.date();
    const QTime t = when.time();
    return windowText(d.year(), d.month(), d.day(), t.hour(), t.minute());
}

std::optional<QString> normalisePeriodEntry(const QString &entry)
{
    static const QRegularExpression nonDigit(QStringLiteral("[^0-9]+"));
    const QStringList parts = entry.split(nonDigit, Qt::SkipEmptyParts);
    if (parts.size() < 5)
        return std::nullopt;
    // The mask allows four digits in a row; a longer run would not fit a number and is refused
    // like a short entry.
    int n[5];
    const QString picked[5] = {parts[0], parts[1], parts[2], parts[3], parts.last()};
    for (int i = 0; i < 5; ++i) {
        if (picked[i].size() > 9)
            return std::nullopt;
        n[i] = picked[i].toInt();
    }
    return windowText(n[0], n[1], n[2], n[3], n[4]);
}

TimeWindow lastHour(const QDateTime &now)
{
    // Wall-clock arithmetic on the date and the hour, so no time-zone rule can bend the window.
    QDate day = now.date();
    int hour = now.time().hour() - 1;
    if (hour < 0) {
        hour = 23;
        day = day.addDays(-1);
    }
    const int minute = now.time().minute();
    return {windowText(day.year(), day.month(), day.day(), hour, minute), windowText(now)};
}

TimeWindow wholeDay(const QDate &day)
{
    return {windowText(day.year(), day.month(), day.day(), 0, 0),
            windowText(day.year(), day.month(), day.day(), 23, 59)};
}

TAcIn::TAcIn(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TAcIn>())
{
    ui->setupUi(this);
    Panel1 = ui->Panel1;
    ComboBox1 = ui->ComboBox1;
    ComboBox3 = ui->ComboBox3;
    ComboBox8 = ui->ComboBox8;
    RadioButton4 = ui->RadioButton4;
    RadioButton5 = ui->RadioButton5;
    RadioButton6 = ui->RadioButton6;
    MaskSt = ui->MaskSt;
    MaskEn = ui->MaskEn;
    SearchBtn = ui->SearchBtn;
    CloseBtn = ui->CloseBtn;
    DBGrid1 = ui->DBGrid1;
    StatusBar1 = ui->StatusBar1;

    QueryAcep = new db::Query(kAlias, {}, this);
    QueryAcep->setObjectName(QStringLiteral("QueryAcep"));
    QueryTest = new db::Query(kAlias, {}, this);
    QueryTest->setObjectName(QStringLiteral("QueryTest"));
    auto *columns = new GridColumns(QueryAcep, this);
    DataSource2 = new db::QueryModel(QueryAcep, this);
    DataSource2->setObjectName(QStringLiteral("DataSource2"));
    columns->setSourceModel(DataSource2);
    m_grid = columns;

    // Pixel sizes as drawn; the platform layer maps the face names to installed fonts.
    const QFont boxFont = pixelFont(QStringLiteral("굴림체"), 12);
    for (QWidget *w :
         {static_cast<QWidget *>(ComboBox1), static_cast<QWidget *>(ComboBox3), static_cast<QWidget *>(ComboBox8),
          static_cast<QWidget *>(RadioButton4), static_cast<QWidget *>(RadioButton5),
          static_cast<QWidget *>(RadioButton6), static_cast<QWidget *>(MaskSt), static_cast<QWidget *>(MaskEn)})
        w->setFont(boxFont);
    for (QComboBox *box : {ComboBox1, ComboBox3, ComboBox8}) {
        QPalette p = box->palette();
        p.setColor(QPalette::Base, Qt::white);
        p.setColor(QPalette::Text, Qt::black);
        box->setPalette(p);
    }
    const QFont buttonFont = pixelFont(QStringLiteral("굴림"), 13, true);
    SearchBtn->setFont(buttonFont);
    CloseBtn->setFont(buttonFont);
    SearchBtn->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    CloseBtn->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    SearchBtn->setIconSize(QSize(20, 20));
    CloseBtn->setIconSize(QSize(20, 20));

    DBGrid1->setModel(m_grid);
    DBGrid1->setFont(pixelFont(QStringLiteral("굴림체"), 13));
    DBGrid1->horizontalHeader()->setFont(pixelFont(QStringLiteral("굴림체"), 12, true));
    DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    DBGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DBGrid1->verticalHeader()->setDefaultSectionSize(DBGrid1->fontMetrics().height() + 4);
    DBGrid1->verticalHeader()->setFixedWidth(12);
    DBGrid1->setItemDelegate(new CutCellTips(DBGrid1));
    // The drawn widths, widened where the grid's font would cut a number or a date.
    const int gridLine = DBGrid1->showGrid() ? 1 : 0;
    for (int i = 0; i < kGridColumnCount; ++i) {
        const GridColumn &c = kGridColumns[i];
        const int whole = c.widest.isEmpty() ? 0 : textWidth(DBGrid1, DBGrid1->font(), c.widest) + gridLine;
        if (c.width > 0)
            DBGrid1->setColumnWidth(i, std::max(c.width, whole));
    }
    StatusBar1->setFont(pixelFont(QStringLiteral("굴림체"), 12));
    QPalette grid = DBGrid1->palette();
    grid.setColor(QPalette::Base, QColor(255, 255, 196));
    grid.setColor(QPalette::Text, Qt::black);
    // The chosen row stays marked while the focus is elsewhere.
    grid.setColor(QPalette::Inactive, QPalette::Highlight, grid.color(QPalette::Active, QPalette::Highlight));
    grid.setColor(QPalette::Inactive, QPalette::HighlightedText,
                  grid.color(QPalette::Active, QPalette::HighlightedText));
    DBGrid1->setPalette(grid);

    // Initial texts: no criterion, no processing class, the "현재" window.
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText(QStringLiteral("선택조건"));
    ComboBox3->setEditText(QStringLiteral("검색기준"));
    ComboBox8->setCurrentIndex(-1);
    ComboBox8->setEditText(QStringLiteral("처리조건"));

    connect(ComboBox1, &QComboBox::currentTextChanged, this, &TAcIn::ComboBox1Change);
    connect(RadioButton4, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RadioButton4Click();
    });
    connect(RadioButton5, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RadioButton4Click();
    });
    connect(RadioButton6, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RadioButton6Click();
    });
    connect(SearchBtn, &QToolButton::clicked, this, &TAcIn::SearchBtnClick);
    connect(CloseBtn, &QToolButton::clicked, this, &TAcIn::closeBtnClick);
    // Enter in a period entry searches, as the button would, also while the entry is
    // incomplete (the line edit keeps its own signal for complete input only).
    MaskSt->installEventFilter(this);
    MaskEn->installEventFilter(this);
}

TAcIn::~TAcIn()
{
    if (AcIn == this)
        AcIn = nullptr;
}

QAbstractItemModel *TAcIn::gridModel() const
{
    return m_grid;
}

void TAcIn::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    placeOnScreen();
    FormShow();
}

bool TAcIn::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == MaskSt || watched == MaskEn) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            SearchBtnClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TAcIn::placeOnScreen()
{
    if (m_placed)
        return;
    m_placed = true;
    // 800 × 600 including the window frame, in the middle of the screen.
    QMargins frame;
    if (windowHandle())
        frame = windowHandle()->frameMargins();
    resize(800 - frame.left() - frame.right(), 600 - frame.top() - frame.bottom());
    if (QScreen *s = screen()) {
        const QRect area = s->availableGeometry();
        move(area.center() - QPoint(400, 300));
    }
}

void TAcIn::FormShow()
{
    const QString now = windowText(db::Clock::now());
    MaskSt->setText(now);
    MaskEn->setText(now);
}

void TAcIn::ComboBox1Change()
{
    ComboBox3->clear();
    const QString kind = ComboBox1->currentText();
    if (kind == QStringLiteral("전체별")) {
        ComboBox3->setEditText(QStringLiteral("검색기준"));
        return;
    }
    QStringList values;
    if (kind == QStringLiteral("제보종류별")) {
        for (const Criterion &c : contentCriteria())
            values.append(c.label);
    } else if (kind == QStringLiteral("제보자별")) {
        for (const Criterion &c : reporterCriteria())
            values.append(c.label);
    } else if (kind == QStringLiteral("처리자별") || kind == QStringLiteral("접수자별")) {
        try {
            QueryTest->close();
            QueryTest->setSql(
                {QStringLiteral(" select individual_name from individual where  type = '5' or type = 'A' ")});
            QueryTest->open();
            for (; !QueryTest->eof(); QueryTest->next())
                values.append(QueryTest->fieldByName(QStringLiteral("individual_name")).asString());
        } catch (const db::DbError &e) {
            ui::ui().showError(e.text());
        }
    } else {
        return;
    }
    ComboBox3->addItems(values);
    ComboBox3->setCurrentIndex(-1);
    ComboBox3->setEditText(kHeadingValue);
}

void TAcIn::RadioButton4Click()
{
    MaskSt->setEnabled(false);
    MaskEn->setEnabled(false);
}

void TAcIn::RadioButton6Click()
{
    MaskSt->setEnabled(true);
    MaskEn->setEnabled(true);
    MaskSt->setFocus();
}

void TAcIn::SearchBtnClick()
{
    if (ComboBox3->currentText() == kHeadingValue) {
        try {
            app::ShowCodedMessage(QStringLiteral("INF0067"));
        } catch (const db::DbError &e) {
            ui::ui().showError(e.text());
        }
        return;
    }
    search();
}

void TAcIn::search()
{
    // Closed first: whatever goes wrong below leaves the grid empty rather than showing the
    // previous window's rows under new criteria.
    QueryAcep->close();
    StatusBar1->clearMessage();

    TimeWindow window;
    if (RadioButton6->isChecked()) {
        // The displayed text, where an empty position shows "_" and so parts numbers as a
        // blank would; text() drops empty positions and would join the digits around them.
        const std::optional<QString> start = normalisePeriodEntry(MaskSt->displayText());
        const std::optional<QString> end = normalisePeriodEntry(MaskEn->displayText());
        if (!start || !end) {
            ui::ui().showMessage(!start ? QStringLiteral("기간의 시작 일시를 년-월-일 시:분으로 모두 입력하십시오.")
                                        : QStringLiteral("기간의 종료 일시를 년-월-일 시:분으로 모두 입력하십시오."));
            (!start ? MaskSt : MaskEn)->setFocus();
            return;
        }
        MaskSt->setText(*start);
        MaskEn->setText(*end);
        window = {*start, *end};
    } else if (RadioButton5->isChecked()) {
        window = wholeDay(db::Clock::now().date());
    } else {
        window = lastHour(db::Clock::now());
    }

    QString sql = kSelect;
    sql += QStringLiteral(" x.REPORT_DATE >= to_date('") + window.start + QStringLiteral("','YYYY-MM-DD HH24:MI')");
    sql += QStringLiteral(" and x.REPORT_DATE <= to_date('") + window.end + QStringLiteral("','YYYY-MM-DD HH24:MI')");

    // Operator names are bound, never spliced into the text: a name may hold a quote.
    const QString kind = ComboBox1->currentText();
    const QString value = ComboBox3->currentText();
    bool bindsOperator = false;
    if (kind == QStringLiteral("접수자별")) {
        sql += QStringLiteral(" and  OPERATOR_NAME = :") + kOperatorParam;
        bindsOperator = true;
    } else if (kind == QStringLiteral("처리자별")) {
        sql += QStringLiteral(" and  REGISTER_NAME = :") + kOperatorParam;
        bindsOperator = true;
    } else if (kind == QStringLiteral("제보자별")) {
        const QString code = codeOf(reporterCriteria(), value);
        if (!code.isEmpty())
            sql += QStringLiteral(" and  REPORTER_TYPE = '") + code + QLatin1Char('\'');
    } else if (kind == QStringLiteral("제보종류별")) {
        const QString code = codeOf(contentCriteria(), value);
        if (!code.isEmpty())
            sql += QStringLiteral(" and  INCIDENT_TYPE = '") + code + QLatin1Char('\'');
    }

    const QString processing = ComboBox8->currentText();
    if (processing == QStringLiteral("방송"))
        sql += QStringLiteral(" and x.BROAD_FLAG = '1' ");
    else if (processing == QStringLiteral("비보도"))
        sql += QStringLiteral(" and ( x.BROAD_FLAG <> '1' Or x.BROAD_FLAG is Null ) and x.SEND_FLAG = '1' ");
    else if (processing == QStringLiteral("전송"))
        sql += QStringLiteral(" and x.SEND_FLAG = '1' ");
    else if (processing == QStringLiteral("자체처리"))
        sql += QStringLiteral(" and x.SEND_FLAG <> '1' ");

    sql += QStringLiteral(" Order By REPORT_DATE ");

    QueryAcep->setSql({sql});
    try {
        {
            ui::BusyCursor busy;
            if (bindsOperator)
                QueryAcep->paramByName(kOperatorParam).setAsString(value);
            QueryAcep->open();
        }
        DBGrid1->scrollToTop();
        StatusBar1->showMessage(QLocale(QLocale::Korean, QLocale::SouthKorea).toString(QueryAcep->recordCount()) +
                                QStringLiteral("건"));
    } catch (const db::DbError &e) {
        QueryAcep->close();
        ui::ui().showError(e.text());
    }
}

void TAcIn::closeBtnClick()
{
    close();
}

} // namespace tipdesk::reception
