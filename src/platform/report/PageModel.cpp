#include "platform/report/PageModel.h"
#include "platform/report/Layout.h"

#include <QDataStream>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

namespace tipdesk::report {

std::vector<const Primitive *> Page::texts() const
{
    std::vector<const Primitive *> out;
    for (const Primitive &p : items)
        if (p.kind == Primitive::Kind::Text)
            out.push_back(&p);
    return out;
}

QStringList Page::textsOf(const QString &source) const
{
    QStringList out;
    for (const Primitive &p : items)
        if (p.kind == Primitive::Kind::Text && p.source == source)
            out << p.text;
    return out;
}

bool Page::contains(const QString &text) const
{
    for (const Primitive &p : items)
        if (p.kind == Primitive::Kind::Text && p.text == text)
            return true;
    return false;
}

int PageModel::fontIndex(const PageFont &f)
{
    for (size_t i = 0; i < fonts.size(); ++i)
        if (fonts[i] == f)
            return int(i);
    fonts.push_back(f);
    return int(fonts.size()) - 1;
}

namespace {

const char kMagic[] = "TIPDESK-REPORT";
// Version 2 added pagesAreForms; version 1 files still load.
constexpr qint32 kVersion = 2;

} // namespace

void PageModel::save(QIODevice &out) const
{
    QDataStream s(&out);
    s.setVersion(QDataStream::Qt_6_4);
    s.writeRawData(kMagic, sizeof kMagic);
    s << kVersion << title << pagesAreForms << qint32(fonts.size());
    for (const PageFont &f : fonts)
        s << f.family << f.pointSize << f.bold << f.italic << f.underline;
    s << qint32(pages.size());
    for (const Page &page : pages) {
        s << page.size << qint32(page.items.size());
        for (const Primitive &p : page.items)
            s << quint8(p.kind) << p.rect << p.text << qint32(p.font) << qint32(p.align) << p.penWidth
              << qint32(p.penStyle) << p.color << p.fill << p.source;
    }
}

PageModel PageModel::load(QIODevice &in)
{
    auto damaged = [] { return ReportError(QStringLiteral("저장된 보고서 파일이 손상되었거나 형식이 다릅니다.")); };
    QDataStream s(&in);
    s.setVersion(QDataStream::Qt_6_4);
    char magic[sizeof kMagic] = {};
    if (s.readRawData(magic, sizeof magic) != int(sizeof magic) || memcmp(magic, kMagic, sizeof magic) != 0)
        throw damaged();
    qint32 version = 0, nfonts = 0, npages = 0;
    PageModel m;
    s >> version;
    if (version != 1 && version != kVersion)
        throw damaged();
    s >> m.title;
    if (version >= 2)
        s >> m.pagesAreForms;
    s >> nfonts;
    if (s.status() != QDataStream::Ok || nfonts < 0 || nfonts > 10000)
        throw damaged();
    for (qint32 i = 0; i < nfonts; ++i) {
        PageFont f;
        s >> f.family >> f.pointSize >> f.bold >> f.italic >> f.underline;
        m.fonts.push_back(f);
    }
    s >> npages;
    if (s.status() != QDataStream::Ok || npages < 0 || npages > 1000000)
        throw damaged();
    for (qint32 i = 0; i < npages; ++i) {
        Page page;
        qint32 n = 0;
        s >> page.size >> n;
        if (s.status() != QDataStream::Ok || n < 0 || n > 10000000)
            throw damaged();
        page.items.reserve(size_t(n));
        for (qint32 k = 0; k < n; ++k) {
            Primitive p;
            quint8 kind = 0;
            qint32 font = 0, align = 0, style = 0;
            s >> kind >> p.rect >> p.text >> font >> align >> p.penWidth >> style >> p.color >> p.fill >> p.source;
            if (s.status() != QDataStream::Ok || kind > quint8(Primitive::Kind::Rect) || font < -1 || font >= nfonts ||
                (kind == quint8(Primitive::Kind::Text) && font < 0) || style < 0 || style > int(Qt::CustomDashLine))
                throw damaged();
            p.kind = Primitive::Kind(kind);
            p.font = font;
            p.align = Qt::Alignment(align);
            p.penStyle = Qt::PenStyle(style);
            page.items.push_back(std::move(p));
        }
        m.pages.push_back(std::move(page));
    }
    if (s.status() != QDataStream::Ok)
        throw damaged();
    return m;
}

void PageModel::saveFile(const QString &path) const
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw ReportError(QStringLiteral("%1 에 저장할 수 없습니다: %2").arg(path, f.errorString()));
    save(f);
    if (!f.commit())
        throw ReportError(QStringLiteral("%1 에 저장할 수 없습니다: %2").arg(path, f.errorString()));
}

PageModel PageModel::loadFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw ReportError(QStringLiteral("%1 을(를) 열 수 없습니다: %2").arg(path, f.errorString()));
    return load(f);
}

QString formatMm(double mm)
{
    QString s = QString::number(mm, 'f', 2);
    while (s.endsWith(u'0'))
        s.chop(1);
    if (s.endsWith(u'.'))
        s.chop(1);
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s;
}

QString dumpText(const PageModel &model)
{
    QString out;
    QTextStream ts(&out);
    for (size_t i = 0; i < model.pages.size(); ++i) {
        const Page &page = model.pages[i];
        const int n = int(i) + 1;
        ts << "page " << n << ' ' << formatMm(page.size.width()) << 'x' << formatMm(page.size.height()) << '\n';
        for (const Primitive &p : page.items) {
            switch (p.kind) {
            case Primitive::Kind::Text: {
                const PageFont &f = model.fonts[size_t(p.font)];
                const char *al = (p.align & Qt::AlignHCenter) ? "center"
                                 : (p.align & Qt::AlignRight) ? "right"
                                                              : "left";
                ts << "text " << n << ' ' << p.source << " x=" << formatMm(p.rect.x()) << " y=" << formatMm(p.rect.y())
                   << " w=" << formatMm(p.rect.width()) << " h=" << formatMm(p.rect.height()) << ' ' << al << ' '
                   << f.family << ' ' << formatMm(f.pointSize) << (f.bold ? " bold" : "") << (f.italic ? " italic" : "")
                   << (p.color != Qt::black ? QStringLiteral(" ") + p.color.name() : QString()) << " \"" << p.text
                   << "\"\n";
                break;
            }
            case Primitive::Kind::Line:
                ts << "line " << n << ' ' << p.source << " x1=" << formatMm(p.rect.left())
                   << " y1=" << formatMm(p.rect.top()) << " x2=" << formatMm(p.rect.right())
                   << " y2=" << formatMm(p.rect.bottom()) << " pen=" << formatMm(p.penWidth) << ' ' << p.color.name()
                   << '\n';
                break;
            case Primitive::Kind::Rect:
                ts << "rect " << n << ' ' << p.source << " x=" << formatMm(p.rect.x()) << " y=" << formatMm(p.rect.y())
                   << " w=" << formatMm(p.rect.width()) << " h=" << formatMm(p.rect.height())
                   << " pen=" << formatMm(p.penWidth) << ' ' << p.color.name()
                   << (p.fill.isValid() ? QStringLiteral(" fill=") + p.fill.name() : QString()) << '\n';
                break;
            }
        }
    }
    return out;
}

} // namespace tipdesk::report
