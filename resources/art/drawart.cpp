// Draws the program's artwork: the login picture, the main menu background, the two button
// pictures and the program's icon in the sizes a desktop asks for (icons/tipdesk-N.png).
// `cmake --build build --target draw-art` builds the drawer and redraws this folder.
#include <QApplication>
#include <QDir>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

const QColor kGreen(0x1f, 0x8a, 0x3b);
const QColor kDarkGreen(0x12, 0x5c, 0x27);
const QColor kAsphalt(0x4a, 0x4f, 0x57);

// A road running from the bottom edge to a vanishing point, with dashed centre marks.
void drawRoad(QPainter &p, const QRectF &area, qreal horizon)
{
    const QPointF vanish(area.center().x() - area.width() * 0.08, horizon);
    QPainterPath road;
    road.moveTo(area.left() + area.width() * 0.05, area.bottom());
    road.lineTo(vanish.x() - 4, vanish.y());
    road.lineTo(vanish.x() + 4, vanish.y());
    road.lineTo(area.right() - area.width() * 0.12, area.bottom());
    road.closeSubpath();
    QLinearGradient g(0, horizon, 0, area.bottom());
    g.setColorAt(0, kAsphalt.lighter(140));
    g.setColorAt(1, kAsphalt);
    p.fillPath(road, g);

    // Edge lines.
    p.setPen(QPen(QColor(0xf2, 0xf2, 0xf2), 2));
    p.drawLine(QPointF(area.left() + area.width() * 0.08, area.bottom()), QPointF(vanish.x() - 3, vanish.y() + 1));
    p.drawLine(QPointF(area.right() - area.width() * 0.15, area.bottom()), QPointF(vanish.x() + 3, vanish.y() + 1));

    // Centre dashes, shorter and thinner towards the horizon.
    const QPointF base((area.left() + area.width() * 0.05 + area.right() - area.width() * 0.12) / 2, area.bottom());
    for (int i = 0; i < 9; ++i) {
        const qreal t0 = std::pow(0.72, i);
        const qreal t1 = t0 * 0.82;
        const QPointF a = vanish + (base - vanish) * t0;
        const QPointF b = vanish + (base - vanish) * t1;
        p.setPen(QPen(QColor(0xff, 0xc8, 0x2e), std::max(1.0, 5.0 * t0), Qt::SolidLine, Qt::FlatCap));
        p.drawLine(a, b);
    }
}

// A three-light traffic signal on a pole; the green light is lit.
void drawSignal(QPainter &p, const QPointF &top, qreal scale)
{
    const qreal w = 22 * scale, h = 60 * scale;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3a, 0x3a, 0x3a));
    p.drawRect(QRectF(top.x() + w / 2 - 2 * scale, top.y() + h, 4 * scale, 90 * scale));
    p.setBrush(QColor(0x22, 0x22, 0x22));
    p.drawRoundedRect(QRectF(top, QSizeF(w, h)), 4 * scale, 4 * scale);
    const QColor lights[3] = {QColor(0x6b, 0x1d, 0x1d), QColor(0x6b, 0x55, 0x1d), QColor(0x3c, 0xe0, 0x6a)};
    for (int i = 0; i < 3; ++i) {
        const QPointF c(top.x() + w / 2, top.y() + h * (i + 0.5) / 3);
        if (i == 2) {
            QRadialGradient glow(c, 14 * scale);
            glow.setColorAt(0, QColor(0x3c, 0xe0, 0x6a, 160));
            glow.setColorAt(1, QColor(0x3c, 0xe0, 0x6a, 0));
            p.setBrush(glow);
            p.drawEllipse(c, 14 * scale, 14 * scale);
        }
        p.setBrush(lights[i]);
        p.drawEllipse(c, 7 * scale, 7 * scale);
    }
}

QImage loginPicture()
{
    QImage img(277, 244, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal horizon = 150;
    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor(0x2d, 0x6c, 0xb5));
    sky.setColorAt(1, QColor(0xbf, 0xdc, 0xf2));
    p.fillRect(QRectF(0, 0, 277, horizon), sky);
    QLinearGradient field(0, horizon, 0, 244);
    field.setColorAt(0, QColor(0x8c, 0xc0, 0x6e));
    field.setColorAt(1, QColor(0x4f, 0x8f, 0x3c));
    p.fillRect(QRectF(0, horizon, 277, 244 - horizon), field);
    // Distant hills.
    QPainterPath hills;
    hills.moveTo(0, horizon);
    hills.cubicTo(50, horizon - 30, 90, horizon - 8, 140, horizon - 18);
    hills.cubicTo(190, horizon - 30, 230, horizon - 6, 277, horizon - 22);
    hills.lineTo(277, horizon);
    hills.closeSubpath();
    p.fillPath(hills, QColor(0x5d, 0x8f, 0x7a));
    drawRoad(p, QRectF(0, 0, 277, 244), horizon);
    drawSignal(p, QPointF(214, 40), 1.0);

    QFont f(QStringLiteral("NanumGothic"));
    f.setPixelSize(22);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(QRectF(13, 15, 200, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("교통정보 제보"));
    p.setPen(Qt::white);
    p.drawText(QRectF(12, 14, 200, 30), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("교통정보 제보"));
    f.setPixelSize(14);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRectF(12, 44, 200, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("접수 · 통계"));
    return img;
}

QImage menuBackground()
{
    QImage img(576, 449, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // The green frame.
    p.setPen(QPen(kGreen, 10));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(5, 5, 566, 439));
    p.setPen(QPen(kDarkGreen, 2));
    p.drawRect(QRectF(14, 14, 548, 421));

    // The logo: a round badge with the road and the signal, on the left.
    const QPointF c(190, 190);
    const qreal r = 120;
    QPainterPath badge;
    badge.addEllipse(c, r, r);
    p.save();
    p.setClipPath(badge);
    QLinearGradient sky(0, c.y() - r, 0, c.y() + 20);
    sky.setColorAt(0, QColor(0x2d, 0x6c, 0xb5));
    sky.setColorAt(1, QColor(0xbf, 0xdc, 0xf2));
    p.fillRect(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), sky);
    p.fillRect(QRectF(c.x() - r, c.y() + 20, 2 * r, r), QColor(0x6f, 0xa8, 0x55));
    drawRoad(p, QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), c.y() + 20);
    drawSignal(p, QPointF(c.x() + 45, c.y() - 80), 1.2);
    p.restore();
    p.setPen(QPen(kGreen, 8));
    p.drawEllipse(c, r, r);

    QFont f(QStringLiteral("NanumGothic"));
    f.setPixelSize(30);
    f.setBold(true);
    p.setFont(f);
    p.setPen(kDarkGreen);
    p.drawText(QRectF(30, 330, 320, 40), Qt::AlignCenter, QStringLiteral("교통정보 제보"));
    f.setPixelSize(20);
    f.setBold(false);
    p.setFont(f);
    p.setPen(QColor(0x44, 0x44, 0x44));
    p.drawText(QRectF(30, 370, 320, 30), Qt::AlignCenter, QStringLiteral("접수 현황과 통계"));
    return img;
}

QImage buttonPicture(bool ok)
{
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    if (ok) {
        p.setPen(QPen(QColor(0x00, 0x80, 0x00), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.5, 12.5), QPointF(13.5, 3.5)}));
    } else {
        p.setPen(QPen(QColor(0x80, 0x00, 0x00), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    }
    return img;
}

// The program's icon: the menu's badge (a road towards the horizon and a green signal) on a
// rounded square, drawn on a 256-unit grid and scaled, so every size is the same picture. The
// signal is drawn larger than in the badge: it is what still reads at 16 pixels.
QImage programIcon(int size)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    const QRectF square(8, 8, 240, 240);
    const qreal horizon = 132;
    QPainterPath shape;
    shape.addRoundedRect(square, 44, 44);
    p.save();
    p.setClipPath(shape);
    QLinearGradient sky(0, square.top(), 0, horizon);
    sky.setColorAt(0, QColor(0x2d, 0x6c, 0xb5));
    sky.setColorAt(1, QColor(0xbf, 0xdc, 0xf2));
    p.fillRect(QRectF(square.left(), square.top(), square.width(), horizon - square.top()), sky);
    p.fillRect(QRectF(square.left(), horizon, square.width(), square.bottom() - horizon), QColor(0x6f, 0xa8, 0x55));
    drawRoad(p, square.adjusted(-20, 0, 0, 0), horizon);
    drawSignal(p, QPointF(158, 30), 2.6);
    p.restore();
    p.setPen(QPen(kGreen, 14));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    return img;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    bool ok = loginPicture().save(out.filePath(QStringLiteral("login.png")));
    ok = menuBackground().save(out.filePath(QStringLiteral("menu.png"))) && ok;
    ok = buttonPicture(true).save(out.filePath(QStringLiteral("ok.png"))) && ok;
    ok = buttonPicture(false).save(out.filePath(QStringLiteral("cancel.png"))) && ok;
    ok = out.mkpath(QStringLiteral("icons")) && ok;
    for (const int size : {16, 32, 48, 64, 128, 256})
        ok = programIcon(size).save(out.filePath(QStringLiteral("icons/tipdesk-%1.png").arg(size))) && ok;
    return ok ? 0 : 1;
}
