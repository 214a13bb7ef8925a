// The brushwork several scenes share.
#include "Painting.h"

#include <QColorSpace>

#include <algorithm>
#include <cmath>

namespace mksamples {

QImage canvas()
{
    QImage img(widthPx, heightPx, QImage::Format_RGB32);
    img.fill(Qt::white);
    img.setColorSpace(QColorSpace::SRgb);
    return img;
}

void beginScene(QPainter& p, QImage& image)
{
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(pixelsPerUnit, pixelsPerUnit);
}

QColor hsv(double h, double s, double v, double a)
{
    return QColor::fromHsvF(float(h - std::floor(h)), float(std::clamp(s, 0.0, 1.0)), float(std::clamp(v, 0.0, 1.0)),
                            float(std::clamp(a, 0.0, 1.0)));
}

QColor pick(Rng& rng, double h0, double h1, double s0, double s1, double v0, double v1, double a)
{
    const double h = rng.real(h0, h1);
    const double s = rng.real(s0, s1);
    const double v = rng.real(v0, v1);
    return hsv(h, s, v, a);
}

QRgb mixRgb(QRgb a, QRgb b, double t)
{
    auto ch = [t](int x, int y) { return std::clamp(int(std::lround(x + (y - x) * t)), 0, 255); };
    return qRgb(ch(qRed(a), qRed(b)), ch(qGreen(a), qGreen(b)), ch(qBlue(a), qBlue(b)));
}

std::vector<QPointF> scatter(Rng& rng, int cols, int rows, const QRectF& area)
{
    std::vector<QPointF> points;
    const double cw = area.width() / cols, ch = area.height() / rows;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const double fx = rng.real(0.15, 0.85);
            const double fy = rng.real(0.15, 0.85);
            points.emplace_back(area.left() + (c + fx) * cw, area.top() + (r + fy) * ch);
        }
    return points;
}

QPainterPath star(QPointF c, double outer, double inner, int points, double turn)
{
    QPolygonF poly;
    for (int i = 0; i < points * 2; ++i) {
        const double r = i % 2 ? inner : outer;
        const double a = turn + i * pi / points;
        poly << c + QPointF(r * std::sin(a), -r * std::cos(a));
    }
    QPainterPath path;
    path.addPolygon(poly);
    path.closeSubpath();
    return path;
}

QPainterPath regular(QPointF c, double r, int sides, double turn)
{
    QPolygonF poly;
    for (int i = 0; i < sides; ++i)
        poly << c + QPointF(r * std::sin(turn + 2 * pi * i / sides), -r * std::cos(turn + 2 * pi * i / sides));
    QPainterPath path;
    path.addPolygon(poly);
    path.closeSubpath();
    return path;
}

void sky(QPainter& p, double bottom, std::initializer_list<std::pair<double, QColor>> stops)
{
    QLinearGradient gradient(0, 0, 0, bottom);
    for (const auto& [at, colour] : stops)
        gradient.setColorAt(at, colour);
    p.fillRect(QRectF(0, 0, W, bottom), gradient);
}

void cloud(QPainter& p, Rng& rng, QPointF c, double size)
{
    p.setPen(Qt::NoPen);
    const int puffs = rng.integer(4, 7);
    for (int i = 0; i < puffs; ++i) {
        const QPointF at = c + QPointF{rng.real(-1.3, 1.3) * size, rng.real(-0.4, 0.2) * size};
        const double r = rng.real(0.45, 0.85) * size;
        QRadialGradient g(at - QPointF(0, r * 0.4), r * 1.4);
        g.setColorAt(0, QColor(255, 255, 255, 235));
        g.setColorAt(1, QColor(200, 205, 225, 215));
        p.setBrush(g);
        p.drawEllipse(at, r * 1.3, r);
    }
}

void birds(QPainter& p, Rng& rng, int count, const QRectF& area)
{
    p.setPen(QPen(QColor(40, 40, 60), 1.4));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < count; ++i) {
        const QPointF c{area.left() + rng.real(0, area.width()), area.top() + rng.real(0, area.height())};
        const double s = rng.real(3, 7);
        QPainterPath v(c - QPointF(s, 0));
        v.quadTo(c - QPointF(s / 2, s * 0.6), c);
        v.quadTo(c + QPointF(s / 2, -s * 0.6), c + QPointF(s, 0));
        p.drawPath(v);
    }
}

} // namespace mksamples
