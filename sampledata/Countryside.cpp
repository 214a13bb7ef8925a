// Farmland seen in perspective: beds and fields narrow towards the horizon.
#include "Painting.h"
#include "Scenes.h"

#include <algorithm>
#include <cmath>

namespace mksamples {

namespace {

QPainterPath envelope(QPointF c, double r)
{
    QPainterPath path(c + QPointF(-0.28 * r, 1.3 * r));
    path.cubicTo(c + QPointF(-0.7 * r, 0.8 * r), c + QPointF(-r, 0.4 * r), c + QPointF(-r, 0));
    path.arcTo(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 180, -180);
    path.cubicTo(c + QPointF(r, 0.4 * r), c + QPointF(0.7 * r, 0.8 * r), c + QPointF(0.28 * r, 1.3 * r));
    path.closeSubpath();
    return path;
}

} // namespace

QImage tulips(Rng& rng)
{
    QImage img = canvas();
    constexpr double horizon = 125;
    const QPointF vanish(240, 85);
    QPainter p;
    beginScene(p, img);
    sky(p, int(horizon), {{0, QColor(60, 130, 210)}, {1, QColor(200, 230, 250)}});
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 245, 170));
    p.drawEllipse(QPointF(60, 40), 18, 18);
    for (const QPointF& c : scatter(rng, 6, 1, QRectF(80, 5, W - 80, 60)))
        cloud(p, rng, c, rng.real(7, 12));
    birds(p, rng, 6, QRectF(150, 60, 200, 30));
    for (double x = -5; x < W; x += rng.real(6, 12)) {
        const double r = rng.real(5, 9);
        p.setBrush(hsv(0.3, 0.6, rng.real(0.3, 0.5)));
        p.drawEllipse(QPointF(x, horizon - r * 0.6), r, r);
    }
    // Farmhouse and poplars on the left, windmill on the right.
    for (double x : {18.0, 34.0, 50.0}) {
        p.setBrush(QColor(40, 95, 45));
        p.drawEllipse(QPointF(x, horizon - 30 + std::abs(x - 34) * 0.5), 7, 28 - std::abs(x - 34) * 0.5);
    }
    p.setBrush(QColor(235, 225, 205));
    p.drawRect(QRectF(80, 100, 36, 24));
    p.setBrush(QColor(170, 50, 40));
    p.drawPolygon(QPolygonF{{76, 101}, {120, 101}, {98, 84}});
    p.setBrush(QColor(120, 80, 60));
    p.drawPolygon(QPolygonF{{392, horizon}, {416, horizon}, {409, 70}, {399, 70}});
    p.setPen(QPen(QColor(80, 55, 40), 2.5));
    for (int k = 0; k < 4; ++k) {
        const double a = 0.35 + k * pi / 2;
        p.drawLine(QPointF(404, 72), QPointF(404 + 44 * std::cos(a), 72 + 44 * std::sin(a)));
    }
    p.setPen(Qt::NoPen);

    // Coloured beds run towards the vanishing point; nearer flowers are drawn larger.
    const QColor beds[] = {QColor(220, 30, 45),  QColor(250, 210, 40),  QColor(240, 120, 180),
                           QColor(140, 60, 190), QColor(250, 250, 245), QColor(250, 130, 30)};
    constexpr double bedWidth = 72, bedStart = -430;
    auto toGround = [&](double x, double y) {
        return vanish.x() + (x - vanish.x()) * (H - vanish.y()) / (y - vanish.y());
    };
    auto toScreen = [&](double u, double y) {
        return vanish.x() + (u - vanish.x()) * (y - vanish.y()) / (H - vanish.y());
    };
    p.fillRect(QRectF(0, horizon, W, H - horizon), QColor(70, 120, 45));
    for (int k = 0; k < 20; ++k) {
        const double u0 = bedStart + k * bedWidth, u1 = u0 + bedWidth * 0.8;
        p.setBrush(beds[k % 6].darker(150));
        p.drawPolygon(QPolygonF{{toScreen(u0, horizon), horizon}, {toScreen(u1, horizon), horizon}, {u1, H}, {u0, H}});
    }
    for (double y = horizon + 2; y < H + 10; y += 1.5 + (y - horizon) * 0.06) {
        const double s = 1 + (y - horizon) * 0.045;
        for (double x = rng.real(-s, s); x < W + s; x += s * 1.7) {
            const double bed = (toGround(x, y) - bedStart) / bedWidth;
            if (bed < 0 || bed - std::floor(bed) > 0.8)
                continue;
            const QColor c = beds[int(bed) % 6].lighter(rng.integer(85, 125));
            const double jx = rng.real(-0.3, 0.3) * s;
            if (s > 4) {
                p.setPen(QPen(QColor(50, 110, 40), s * 0.15));
                p.drawLine(QPointF(x + jx, y), QPointF(x + jx, y - s * 1.2));
                p.setPen(Qt::NoPen);
            }
            p.setBrush(c);
            p.drawEllipse(QPointF(x + jx, y - s * 1.3), s * 0.42, s * 0.55);
            if (s > 5) {
                p.setBrush(c.darker(125));
                p.drawPolygon(QPolygonF{{x + jx - s * 0.42, y - s * 1.4},
                                        {x + jx - s * 0.2, y - s * 1.95},
                                        {x + jx, y - s * 1.5},
                                        {x + jx + s * 0.2, y - s * 1.95},
                                        {x + jx + s * 0.42, y - s * 1.4}});
            }
        }
    }
    for (const QPointF& c : scatter(rng, 4, 1, QRectF(0, 180, W, 120))) {
        const QColor wing = hsv(rng.real(0, 1), 0.8, 1);
        p.setBrush(wing);
        p.drawEllipse(c + QPointF(-6, -4), 6, 5);
        p.drawEllipse(c + QPointF(6, -4), 6, 5);
        p.setBrush(wing.darker(140));
        p.drawEllipse(c + QPointF(-4, 4), 4, 3.5);
        p.drawEllipse(c + QPointF(4, 4), 4, 3.5);
        p.setBrush(QColor(30, 30, 30));
        p.drawEllipse(c, 1.5, 7);
    }
    return img;
}

QImage balloons(Rng& rng)
{
    QImage img = canvas();
    constexpr double ground = 258;
    QPainter p;
    beginScene(p, img);
    sky(p, ground, {{0, QColor(60, 130, 215)}, {1, QColor(210, 230, 245)}});
    for (const QPointF& c : scatter(rng, 6, 2, QRectF(0, 0, W, 235)))
        cloud(p, rng, c, rng.real(6, 12));
    birds(p, rng, 9, QRectF(0, 150, W, 70));
    QPolygonF hills{{0, ground}};
    for (int x = 0; x <= W; x += 16)
        hills << QPointF(x, ground - 18 - 14 * std::sin(x * 0.017) - rng.real(0, 8));
    hills << QPointF(W, ground);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 140, 180));
    p.drawPolygon(hills);

    // Patchwork fields laid out on the ground plane, then squeezed into perspective.
    auto screenX = [](double u, double y) { return 240 + (u - 240) * (0.5 + (y - ground) / (H - ground)); };
    for (double y0 = ground; y0 < H;) {
        const double y1 = std::min(double(H), y0 + 8 + (y0 - ground) * 0.35);
        for (double u0 = -250; u0 < W + 250;) {
            const double u1 = u0 + rng.real(40, 110);
            const QColor c = pick(rng, 0.12, 0.3, 0.4, 0.75, 0.55, 0.85);
            QPainterPath field;
            field.addPolygon(
                QPolygonF{{screenX(u0, y0), y0}, {screenX(u1, y0), y0}, {screenX(u1, y1), y1}, {screenX(u0, y1), y1}});
            field.closeSubpath();
            p.fillPath(field, c);
            p.save();
            p.setClipPath(field);
            p.setPen(QPen(c.darker(125), 1));
            for (double u = u0; u < u1; u += 5)
                p.drawLine(QPointF(screenX(u, y0), y0), QPointF(screenX(u, y1), y1));
            p.restore();
            if (rng.chance(0.15)) {
                const double hx = screenX((u0 + u1) / 2, y1), s = 3 + (y1 - ground) * 0.05;
                p.setBrush(QColor(245, 240, 230));
                p.drawRect(QRectF(hx - s, y1 - s * 1.6, s * 2, s * 1.2));
                p.setBrush(QColor(190, 60, 40));
                p.drawPolygon(
                    QPolygonF{{hx - s * 1.2, y1 - s * 1.6}, {hx + s * 1.2, y1 - s * 1.6}, {hx, y1 - s * 2.5}});
            }
            u0 = u1;
        }
        y0 = y1;
    }
    QPainterPath river(QPointF(300, ground));
    river.cubicTo(QPointF(200, 290), QPointF(420, 320), QPointF(180, H + 5));
    p.setPen(QPen(QColor(70, 130, 200), 7, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(river);

    const QColor colours[] = {QColor(230, 40, 50),   QColor(255, 210, 30), QColor(40, 90, 200), QColor(40, 170, 80),
                              QColor(250, 250, 250), QColor(240, 120, 30), QColor(150, 60, 180)};
    for (const QPointF& c : scatter(rng, 6, 4, QRectF(0, 0, W, 235))) {
        const double r = rng.real(8, 19);
        const int first = rng.integer(0, 6), second = rng.integer(1, 6), gores = rng.integer(4, 8);
        const QPainterPath shape = envelope(c, r);
        p.setPen(QPen(QColor(90, 60, 40), 1));
        p.drawLine(c + QPointF(-0.28 * r, 1.3 * r), c + QPointF(-0.18 * r, 1.6 * r));
        p.drawLine(c + QPointF(0.28 * r, 1.3 * r), c + QPointF(0.18 * r, 1.6 * r));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(130, 80, 40));
        p.drawRect(QRectF(c.x() - 0.2 * r, c.y() + 1.6 * r, 0.4 * r, 0.3 * r));
        p.save();
        p.setClipPath(shape);
        for (int g = 0; g < gores; ++g) {
            p.setBrush(colours[g % 2 ? (first + second) % 7 : first]);
            p.drawRect(QRectF(c.x() - r + g * 2 * r / gores, c.y() - r, 2 * r / gores + 0.5, 2.4 * r));
        }
        p.setBrush(colours[(first + 3) % 7]);
        p.drawRect(QRectF(c.x() - r, c.y() + 0.25 * r, 2 * r, 0.22 * r));
        QRadialGradient shade(c - QPointF(r * 0.4, r * 0.4), r * 2);
        shade.setColorAt(0, QColor(255, 255, 255, 90));
        shade.setColorAt(1, QColor(0, 0, 40, 110));
        p.setBrush(shade);
        p.drawRect(QRectF(c.x() - r, c.y() - r, 2 * r, 2.4 * r));
        p.restore();
    }
    return img;
}

} // namespace mksamples
