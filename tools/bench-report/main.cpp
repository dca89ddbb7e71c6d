// Benchmark of the report engine: a register-like report of 10,000 rows (A4 landscape, eleven
// columns, one word-wrapped text column averaging two lines), against the floor of drawing the
// same primitives straight onto QPdfWriter, and the same pages as a workbook. Prints the figures;
// it is not a test.

#include "ToolStart.h"
#include "platform/db/Connection.h"
#include "platform/db/EmbeddedBackend.h"
#include "platform/db/Query.h"
#include "platform/report/Painter.h"
#include "platform/report/Renderer.h"
#include "platform/report/Workbook.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <sys/resource.h>

using namespace tipdesk;

namespace {

QJsonObject cell(const QString &name, const QString &cls, const QJsonObject &extra, double left, double width)
{
    QJsonObject o{{"Name", name}, {"Class", cls}, {"Left", left}, {"Top", 0.7}, {"Width", width}, {"Height", 4.2}};
    for (auto it = extra.begin(); it != extra.end(); ++it)
        o.insert(it.key(), it.value());
    return o;
}

QByteArray layoutJson()
{
    const double edges[] = {0, 10.8, 29.6, 49.2, 173.0, 188.9, 204.5, 221.7, 241.0, 248.7, 256.1, 272.0};
    const char *fields[] = {"",    "dday",  "dtime", "comments", "incident", "reporter",
                            "rid", "rtype", "sent",  "broad",    "op"};
    QJsonArray detail, header;
    for (int c = 0; c < 11; ++c) {
        const double l = edges[c] + 0.5, w = edges[c + 1] - edges[c] - 1;
        header.append(cell(QStringLiteral("Head%1").arg(c), "TQRLabel",
                           {{"Caption", QStringLiteral("열%1").arg(c + 1)}, {"Alignment", "taCenter"}}, l, w));
        header.append(QJsonObject{{"Name", QStringLiteral("Rule%1").arg(c)},
                                  {"Class", "TQRShape"},
                                  {"Shape", "qrsRightAndLeft"},
                                  {"Left", edges[c]},
                                  {"Top", 0},
                                  {"Width", edges[c + 1] - edges[c]},
                                  {"Height", 6}});
        if (c == 0)
            detail.append(cell("DetailNo", "TQRSysData", {{"Data", "qrsDetailNo"}, {"Alignment", "taCenter"}}, l, w));
        else
            detail.append(cell(QStringLiteral("Field%1").arg(c), "TQRDBText",
                               {{"DataField", fields[c]}, {"WordWrap", c == 3}}, l, w));
    }
    QJsonObject detailBand{{"Name", "DetailBand1"},
                           {"BandType", "rbDetail"},
                           {"Height", 6},
                           {"Items", detail},
                           {"Frame", QJsonObject{{"DrawBottom", true}, {"DrawLeft", true}, {"DrawRight", true}}}};
    QJsonObject o{
        {"Name", "QReSheet"},
        {"Page", QJsonObject{{"Orientation", "poLandscape"},
                             {"TopMargin", 20},
                             {"BottomMargin", 8},
                             {"LeftMargin", 20},
                             {"RightMargin", 5}}},
        {"Options", QJsonArray{"FirstPageHeader"}},
        {"DataSet", "Query1"},
        {"Queries", QJsonArray{QJsonObject{{"Name", "Query1"}, {"SQL", QJsonArray{"select * from r order by k"}}}}},
        {"Bands",
         QJsonArray{
             QJsonObject{{"Name", "QRBand4"},
                         {"BandType", "rbPageHeader"},
                         {"Height", 6.9},
                         {"Items",
                          QJsonArray{cell("PageNo", "TQRSysData",
                                          {{"Data", "qrsPageNumber"}, {"Alignment", "taRightJustify"}}, 252.7, 17.2)}}},
             QJsonObject{
                 {"Name", "QRBand1"},
                 {"BandType", "rbTitle"},
                 {"Height", 33.7},
                 {"Items", QJsonArray{cell("QRLabel1", "TQRLabel", {{"Caption", "교통정보 접수 대장"}}, 97.2, 75.4)}}},
             QJsonObject{
                 {"Name", "ColumnHeaderBand1"},
                 {"BandType", "rbColumnHeader"},
                 {"Height", 6},
                 {"Items", header},
                 {"Frame",
                  QJsonObject{{"DrawTop", true}, {"DrawBottom", true}, {"DrawLeft", true}, {"DrawRight", true}}}},
             detailBand}}};
    return QJsonDocument(o).toJson();
}

// Comments of one to three lines (about two on average) in the 122 mm column.
QString script(int rows)
{
    return QStringLiteral(
               "create table r(k integer, dday text, dtime text, comments text, incident text, reporter text,"
               " rid text, rtype text, sent text, broad text, op text);"
               "insert into r with recursive c(k) as (select 1 union all select k + 1 from c where k < %1)"
               " select k, '01-07', printf('%02d:%02d', k % 24, k % 60),"
               " case k % 3 when 0 then '강변북로 잠실 방향 정체 구간 안내' "
               " when 1 then '올림픽대로 김포공항 방향 가양대교 부근 2차로 사고 처리 중이며 견인차가 도착하여 "
               "정리하고 있으나 뒤로 약 3킬로미터 정체가 이어지고 있습니다' "
               " else '내부순환로 성산 방향 홍지문 터널 입구 공사로 1개 차로를 막고 작업 중입니다. 서행 바랍니다' end,"
               " '사고', '홍길동', printf('%05d', k), '통신원', '*', '', '김접수' from c;")
        .arg(rows);
}

double seconds(QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e9;
}

// The floor: the same primitives drawn straight onto the writer, with nothing in between.
void drawFloor(const report::PageModel &m, const QString &path)
{
    QPdfWriter writer(path);
    writer.setResolution(1200);
    writer.setPageLayout(QPageLayout(QPageSize(m.pages[0].size, QPageSize::Millimeter), QPageLayout::Portrait,
                                     QMarginsF(), QPageLayout::Millimeter));
    QPainter p(&writer);
    const double s = 1200 / 25.4;
    std::vector<QFont> fonts;
    for (const auto &f : m.fonts) {
        QFont font(f.family);
        font.setPointSizeF(f.pointSize);
        font.setBold(f.bold);
        fonts.push_back(font);
    }
    for (size_t i = 0; i < m.pages.size(); ++i) {
        if (i)
            writer.newPage();
        for (const auto &x : m.pages[i].items) {
            const QRectF r(x.rect.x() * s, x.rect.y() * s, x.rect.width() * s, x.rect.height() * s);
            if (x.kind == report::Primitive::Kind::Text) {
                p.setFont(fonts[size_t(x.font)]);
                p.setPen(x.color);
                p.drawText(r, int(x.align | Qt::AlignTop | Qt::TextSingleLine), x.text);
            } else {
                p.setPen(QPen(x.color, x.penWidth * s));
                if (x.kind == report::Primitive::Kind::Line)
                    p.drawLine(r.topLeft(), r.bottomRight());
                else
                    p.drawRect(r);
            }
        }
    }
}

class BenchForm : public report::ReportForm {
public:
    BenchForm() { setLayout(report::parseLayout(layoutJson(), QStringLiteral("bench.json"))); }
};

} // namespace

int main(int argc, char **argv)
{
    tipdesk::tools::prepareEnvironment(tipdesk::tools::Platform::Offscreen);
    QGuiApplication app(argc, argv);
    const int rows = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    QTemporaryDir dir;
    const QString dbPath = dir.filePath("bench.db");
    db::EmbeddedBackend::runScript(dbPath, script(rows));
    db::Connection connection;
    connection.setAliasName(QStringLiteral("commonDB"));
    connection.setDriverName(QStringLiteral("ORACLE"));
    connection.setLoginPrompt(false);
    connection.setBackend(std::make_unique<db::EmbeddedBackend>(dbPath));
    connection.setConnected(true);

    BenchForm form;
    form.query(QStringLiteral("Query1"))->open();
    // Warm the font caches, as a running program has them.
    {
        report::Renderer warm(form);
        for (int i = 0; i < 50 && warm.step(); ++i) {
        }
    }

    QElapsedTimer t;
    t.start();
    report::Renderer first(form);
    while (first.completedPages() < 1 && first.step()) {
    }
    const QImage page1 = report::renderPage(first.model(), 0, 96);
    const double preview = seconds(t);

    t.restart();
    report::Renderer renderer(form);
    renderer.run();
    report::PageModel model = renderer.takeModel();
    const double build = seconds(t);

    // Each output twice, alternating, best of two: neither profits from the other's warm caches.
    double pdf = 1e9, floor = 1e9, workbook = 1e9;
    for (int round = 0; round < 2; ++round) {
        t.restart();
        drawFloor(model, dir.filePath("floor.pdf"));
        floor = std::min(floor, seconds(t));
        t.restart();
        report::writePdf(model, dir.filePath("report.pdf"));
        pdf = std::min(pdf, seconds(t));
        t.restart();
        report::writeWorkbook(model, dir.filePath("report.xlsx"));
        workbook = std::min(workbook, seconds(t));
    }

    size_t primitives = 0;
    for (const auto &p : model.pages)
        primitives += p.items.size();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double whole = build + pdf;
    printf("rows %d, pages %d, primitives %zu\n", rows, model.pageCount(), primitives);
    printf("page model            %.3f s   (target <= 1 s)\n", build);
    printf("page model -> PDF     %.3f s\n", pdf);
    printf("page model -> xlsx    %.3f s   (target <= 1 s)\n", workbook);
    printf("whole report to PDF   %.3f s\n", whole);
    printf("floor (direct PDF)    %.3f s\n", floor);
    printf("ratio whole / floor   %.2f      (target <= 1.3)\n", whole / floor);
    printf("preview page 1        %.3f s   (target <= 1 s; %dx%d px)\n", preview, page1.width(), page1.height());
    printf("peak memory           %.1f MB  (target <= 300 MB)\n", usage.ru_maxrss / 1024.0);
    return 0;
}
