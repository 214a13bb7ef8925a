// Patterns rather than places: tiles, shapes and patchwork.
#include "Painting.h"
#include "Scenes.h"

#include <cmath>

namespace mksamples {

namespace {

void patch(QPainter& p, const QRectF& r, int pattern, QColor base, QColor accent)
{
    p.fillRect(r, base);
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    const QPointF c = r.center();
    switch (pattern) {
    case 0:
        for (double y = r.top() + 5; y < r.bottom(); y += 10)
            for (double x = r.left() + 5; x < r.right(); x += 10)
                p.drawEllipse(QPointF(x, y), 2.5, 2.5);
        break;
    case 1:
        p.save();
        p.setClipRect(r);
        p.setPen(QPen(accent, 3));
        for (double k = -r.height(); k < r.width(); k += 9)
            p.drawLine(QPointF(r.left() + k, r.bottom()), QPointF(r.left() + k + r.height(), r.top()));
        p.restore();
        break;
    case 2:
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                if ((i + j) % 2)
                    p.drawRect(QRectF(r.left() + i * r.width() / 4, r.top() + j * r.height() / 4, r.width() / 4,
                                      r.height() / 4));
        break;
    case 3:
        for (int i = 0; i < 2; ++i) {
            const double y = r.top() + i * r.height() / 2;
            p.drawPolygon(QPolygonF{{r.left(), y + r.height() / 2}, {c.x(), y}, {r.right(), y + r.height() / 2}});
        }
        break;
    case 4: p.drawPath(star(c, r.width() * 0.45, r.width() * 0.16, 4, 0)); break;
    default:
        for (int i = 0; i < 3; ++i) {
            p.setBrush(i % 2 ? base : accent);
            const double m = i * r.width() / 7;
            p.drawRect(r.adjusted(m + 3, m + 3, -m - 3, -m - 3));
        }
    }
}

} // namespace

QImage mosaic(Rng& rng)
{
    QImage img = canvas();
    QPainter p;
    beginScene(p, img);
    p.fillRect(QRectF(0, 0, W, H), QColor(240, 232, 215));
    // Hue follows the angle around the centre and depth follows the distance
    // from it, so every region of the board has its own colour.
    const QPointF centre(W / 2.0, H / 2.0);
    constexpr double s = 30;
    p.setPen(QPen(QColor(245, 238, 222), 2));
    for (double y = 0; y < H; y += s)
        for (double x = 0; x < W; x += s) {
            const QPointF mid(x + s / 2, y + s / 2), d = mid - centre;
            const double hue = std::atan2(d.y(), d.x()) / (2 * pi) + 0.5, r = std::hypot(d.x(), d.y()) / 300;
            const QPointF corner[] = {{x, y}, {x + s, y}, {x + s, y + s}, {x, y + s}};
            for (int k = 0; k < 4; ++k) {
                const double v = 0.98 - 0.35 * r;
                p.setBrush(pick(rng, hue - 0.03, hue + 0.03, 0.35 + 0.6 * r, 0.35 + 0.6 * r, v - 0.12, v + 0.05));
                p.drawPolygon(QPolygonF{mid, corner[k], corner[(k + 1) % 4]});
            }
        }
    for (int ring = 1; ring <= 4; ++ring) {
        const double radius = ring * 48.0;
        const int beads = ring * 14;
        for (int i = 0; i < beads; ++i) {
            const double a = 2 * pi * i / beads;
            const QPointF at = centre + QPointF(radius * std::cos(a), radius * std::sin(a));
            p.setPen(QPen(QColor(70, 50, 30), 1));
            p.setBrush(ring % 2 ? QColor(250, 215, 90) : QColor(240, 245, 250));
            if (ring % 2)
                p.drawPath(regular(at, 6, 4, a));
            else
                p.drawEllipse(at, 4, 4);
        }
    }
    p.setPen(QPen(QColor(90, 50, 20), 2));
    p.setBrush(QColor(230, 170, 40));
    p.drawPath(star(centre, 40, 18, 8, 0));
    p.setBrush(QColor(180, 40, 50));
    p.drawEllipse(centre, 12, 12);
    for (const QPointF& c : {QPointF(0, 0), QPointF(W, 0), QPointF(0, H), QPointF(W, H)}) {
        p.setBrush(QColor(40, 70, 130));
        p.drawPath(regular(c, 70, 8, 0));
        p.setBrush(QColor(250, 250, 245));
        p.drawPath(star(c, 50, 22, 8, pi / 8));
    }
    return img;
}

QImage shapes(Rng& rng)
{
    QImage img = canvas();
    QPainter p;
    beginScene(p, img);
    QLinearGradient bg(0, 0, W, H);
    bg.setColorAt(0, QColor(55, 30, 120));
    bg.setColorAt(0.5, QColor(170, 60, 130));
    bg.setColorAt(1, QColor(250, 170, 60));
    p.fillRect(QRectF(0, 0, W, H), bg);
    p.setPen(QPen(QColor(255, 255, 255, 40), 1));
    for (int k = -H; k < W; k += 14)
        p.drawLine(k, 0, k + H, H);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 7; ++i) {
        const QPointF c{rng.real(0, W), rng.real(0, H)};
        const double r = rng.real(50, 100);
        p.setBrush(hsv(rng.real(0, 1), 0.5, 1, 0.25));
        p.drawEllipse(c, r, r);
    }
    for (const QPointF& c : scatter(rng, 8, 6, QRectF(0, 0, W, H))) {
        const double size = rng.real(12, 27), turn = rng.real(0, pi);
        const QColor fill = pick(rng, 0, 1, 0.55, 0.95, 0.8, 1);
        p.setPen(QPen(rng.chance(0.5) ? QColor(255, 255, 255) : QColor(30, 20, 40), 2));
        p.setBrush(fill);
        switch (rng.integer(0, 3)) {
        case 0:
            p.drawEllipse(c, size, size);
            p.setBrush(fill.darker(150));
            p.drawEllipse(c, size * 0.45, size * 0.45);
            break;
        case 1: p.drawPath(star(c, size, size * 0.45, rng.integer(5, 8), turn)); break;
        case 2: p.drawPath(regular(c, size, rng.integer(3, 6), turn)); break;
        default:
            p.drawPath(regular(c, size, 4, turn));
            p.setBrush(fill.lighter(140));
            p.drawPath(star(c, size * 0.6, size * 0.25, 4, turn + pi / 4));
        }
    }
    return img;
}

QImage quilt(Rng& rng)
{
    QImage img = canvas();
    QPainter p;
    beginScene(p, img);
    constexpr double s = 40;
    for (int j = 0; j < H / int(s); ++j)
        for (int i = 0; i < W / int(s); ++i) {
            // Colour drifts diagonally across the quilt so neighbouring patches belong together.
            const double hue = 0.55 + i * 0.045 + j * 0.03 + rng.real(-0.03, 0.03);
            const int pattern = rng.integer(0, 5);
            patch(p, QRectF(i * s, j * s, s, s), pattern, hsv(hue, 0.45, 0.95), hsv(hue + 0.1, 0.75, 0.6));
        }
    p.setPen(QPen(QColor(255, 250, 235), 1.2, Qt::DashLine));
    for (double x = s; x < W; x += s)
        p.drawLine(QPointF(x - 2.5, 0), QPointF(x - 2.5, H));
    for (double y = s; y < H; y += s)
        p.drawLine(QPointF(0, y - 2.5), QPointF(W, y - 2.5));
    const QPointF centre(W / 2.0, H / 2.0);
    p.setPen(QPen(QColor(90, 30, 40), 2));
    p.setBrush(QColor(250, 240, 215));
    p.drawEllipse(centre, 78, 78);
    for (int k = 0; k < 8; ++k) {
        p.save();
        p.translate(centre);
        p.rotate(k * 45);
        p.setBrush(k % 2 ? QColor(200, 50, 70) : QColor(60, 110, 170));
        p.drawEllipse(QPointF(0, -44), 13, 28);
        p.restore();
    }
    p.setBrush(QColor(240, 190, 40));
    p.drawPath(star(centre, 20, 9, 6, 0));
    p.setPen(QPen(QColor(120, 25, 40), 10));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(5, 5, W - 10, H - 10));
    p.setPen(QPen(QColor(250, 220, 120), 2, Qt::DotLine));
    p.drawRect(QRectF(5, 5, W - 10, H - 10));
    return img;
}

} // namespace mksamples
