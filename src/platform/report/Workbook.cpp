#include "platform/report/Workbook.h"
#include "platform/report/Layout.h"
#include "platform/report/SheetGrid.h"

#include <QFileInfo>
#include <QHash>
#include <QTemporaryFile>
#include <cmath>
#include <filesystem>
#include <xlsxwriter.h>

namespace tipdesk::report {

namespace {

// Column widths go to libxlsxwriter in pixels at 96 dpi (1 mm = 96 / 25.4 px), which it turns
// into Excel's width in characters of the default font (Calibri 11: 7 px a digit and 5 px of
// padding, so 10 mm = 38 px = 4.71 characters); row heights in points (1 mm = 72 / 25.4 pt).
uint32_t pixels(double mm)
{
    return uint32_t(std::lround(mm * 96 / 25.4));
}

double points(double mm)
{
    return mm * 72 / 25.4;
}

// One format per look: font, alignment, frame and number format.
class Formats {
public:
    Formats(lxw_workbook *workbook, const PageModel &model) : m_workbook(workbook), m_model(model) {}

    lxw_format *get(const GridCell &cell, const QByteArray &numberFormat)
    {
        const QByteArray key = QByteArray::number(cell.font) + ' ' + QByteArray::number(int(cell.align)) + ' ' +
                               QByteArray::number(cell.borders) + ' ' + numberFormat;
        if (lxw_format *f = m_formats.value(key))
            return f;
        lxw_format *f = workbook_add_format(m_workbook);
        if (cell.font >= 0) {
            const PageFont &font = m_model.fonts[size_t(cell.font)];
            format_set_font_name(f, font.family.toUtf8().constData());
            format_set_font_size(f, font.pointSize);
            if (font.bold)
                format_set_bold(f);
            if (font.italic)
                format_set_italic(f);
            if (font.underline)
                format_set_underline(f, LXW_UNDERLINE_SINGLE);
        }
        format_set_align(f, (cell.align & Qt::AlignHCenter) ? LXW_ALIGN_CENTER
                            : (cell.align & Qt::AlignRight) ? LXW_ALIGN_RIGHT
                                                            : LXW_ALIGN_LEFT);
        format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
        if (cell.borders & GridCell::Left)
            format_set_left(f, LXW_BORDER_THIN);
        if (cell.borders & GridCell::Right)
            format_set_right(f, LXW_BORDER_THIN);
        if (cell.borders & GridCell::Top)
            format_set_top(f, LXW_BORDER_THIN);
        if (cell.borders & GridCell::Bottom)
            format_set_bottom(f, LXW_BORDER_THIN);
        if (!numberFormat.isEmpty())
            format_set_num_format(f, numberFormat.constData());
        m_formats.insert(key, f);
        return f;
    }

private:
    lxw_workbook *m_workbook;
    const PageModel &m_model;
    QHash<QByteArray, lxw_format *> m_formats;
};

// A sheet name Excel accepts: at most 31 characters, none of []:*?/\.
QByteArray sheetName(QString name)
{
    static const QString forbidden = QStringLiteral("[]:*?/\\");
    for (QChar &c : name)
        if (forbidden.contains(c))
            c = u'_';
    name = name.trimmed();
    if (name.isEmpty())
        name = QStringLiteral("tipdesk");
    return name.left(31).toUtf8();
}

// Writes one sheet; the first error libxlsxwriter reports, or LXW_NO_ERROR.
lxw_error writeSheet(lxw_worksheet *ws, const GridSheet &sheet, Formats &formats)
{
    lxw_error first = LXW_NO_ERROR;
    const auto check = [&first](lxw_error e) {
        if (first == LXW_NO_ERROR)
            first = e;
    };
    for (size_t c = 0; c + 1 < sheet.columns.size(); ++c)
        check(worksheet_set_column_pixels(ws, lxw_col_t(c), lxw_col_t(c),
                                          pixels(sheet.columns[c + 1] - sheet.columns[c]), nullptr));
    for (size_t r = 0; r < sheet.rowHeights.size(); ++r)
        check(worksheet_set_row(ws, lxw_row_t(r), points(sheet.rowHeights[r]), nullptr));
    for (const GridCell &cell : sheet.cells) {
        CellValue value = cellValue(cell.text);
        QString text = cell.text;
        if (!cell.before.isEmpty() || !cell.after.isEmpty()) {
            // A figure inside a label keeps its value; the label goes into its format.
            const auto quoted = [](QString s) {
                return s.isEmpty() ? QByteArray() : (u'"' + s.remove(u'"') + u'"').toUtf8();
            };
            if (value.number)
                value.format = quoted(cell.before.isEmpty() ? QString() : cell.before + u' ') +
                               (value.format.isEmpty() ? QByteArray("General") : value.format) +
                               quoted(cell.after.isEmpty() ? QString() : u' ' + cell.after);
            else
                text = QStringList{cell.before, cell.text, cell.after}.join(u' ').trimmed();
        }
        lxw_format *format = formats.get(cell, value.format);
        const auto row = lxw_row_t(cell.row);
        const auto col = lxw_col_t(cell.col);
        if (cell.lastCol > cell.col)
            check(worksheet_merge_range(ws, row, col, row, lxw_col_t(cell.lastCol), "", format));
        if (value.number)
            check(worksheet_write_number(ws, row, col, value.value, format));
        else if (!text.isEmpty())
            // Text as text: "=1+2" or "@x" printed on the page is no formula here.
            check(worksheet_write_string(ws, row, col, text.toUtf8().constData(), format));
        else if (cell.lastCol == cell.col)
            check(worksheet_write_blank(ws, row, col, format));
    }
    const bool landscape = sheet.paper.width() > sheet.paper.height();
    if (landscape)
        worksheet_set_landscape(ws);
    const QSizeF portrait = landscape ? sheet.paper.transposed() : sheet.paper;
    if (std::abs(portrait.width() - 210) < 1 && std::abs(portrait.height() - 297) < 1)
        worksheet_set_paper(ws, 9); // A4
    worksheet_fit_to_pages(ws, 1, 0);
    // Printed where the report prints on its paper (inches); the bottom as Excel has it.
    const double right = sheet.paper.width() - sheet.columns.back();
    worksheet_set_margins(ws, sheet.columns.front() / 25.4, std::max(0.0, right) / 25.4, sheet.top / 25.4, -1);
    if (sheet.repeatFirst >= 0) {
        check(worksheet_repeat_rows(ws, lxw_row_t(sheet.repeatFirst), lxw_row_t(sheet.repeatLast)));
        // The column headings stay in sight over a long report, as on every printed page.
        worksheet_freeze_panes(ws, lxw_row_t(sheet.repeatLast + 1), 0);
    }
    return first;
}

} // namespace

void writeWorkbook(const PageModel &model, const QString &path)
{
    const auto failed = [&path](const QString &why) {
        return ReportError(QStringLiteral("%1 에 저장할 수 없습니다: %2").arg(path, why));
    };
    if (model.pageCount() == 0)
        throw ReportError(QStringLiteral("인쇄할 페이지가 없습니다."));
    const std::vector<GridSheet> sheets = sheetGrids(model);

    // libxlsxwriter writes the file by name: a name of our own beside the target, renamed over it
    // once the workbook is whole.
    const QFileInfo target(path);
    QTemporaryFile temporary(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                             QStringLiteral(".XXXXXX"));
    if (!temporary.open())
        throw failed(temporary.errorString());
    const QString temporaryName = temporary.fileName();
    temporary.close();

    lxw_workbook_options options = {};
    options.constant_memory = LXW_FALSE; // merged ranges need the whole sheet in memory
    lxw_workbook *workbook = workbook_new_opt(QFile::encodeName(temporaryName).constData(), &options);
    if (!workbook)
        throw failed(QStringLiteral("libxlsxwriter"));
    const QByteArray title = model.title.toUtf8();
    lxw_doc_properties properties = {};
    properties.title = const_cast<char *>(title.constData());
    properties.author = const_cast<char *>("tipdesk");
    lxw_error error = workbook_set_properties(workbook, &properties);

    Formats formats(workbook, model);
    for (size_t i = 0; i < sheets.size(); ++i) {
        const QString name = sheets.size() == 1 ? model.title : QStringLiteral("%1쪽").arg(i + 1);
        lxw_worksheet *ws = workbook_add_worksheet(workbook, sheetName(name).constData());
        if (!ws)
            ws = workbook_add_worksheet(workbook, nullptr);
        const lxw_error e = ws ? writeSheet(ws, sheets[i], formats) : LXW_ERROR_MEMORY_MALLOC_FAILED;
        if (error == LXW_NO_ERROR)
            error = e;
    }
    // Closed in every case: it frees the workbook.
    const lxw_error closed = workbook_close(workbook);
    if (error == LXW_NO_ERROR)
        error = closed;
    if (error != LXW_NO_ERROR)
        throw failed(QString::fromUtf8(lxw_strerror(error)));

    // A new file gets the permissions a saved file gets; a replaced one keeps its own.
    QFile::setPermissions(temporaryName, target.exists() ? QFile::permissions(path)
                                                         : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                               QFileDevice::ReadGroup | QFileDevice::ReadOther);
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(temporaryName.toStdU16String()),
                            std::filesystem::path(path.toStdU16String()), ec);
    if (ec)
        throw failed(QString::fromStdString(ec.message()));
    temporary.setAutoRemove(false);
}

} // namespace tipdesk::report
