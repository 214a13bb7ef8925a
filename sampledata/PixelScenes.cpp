// Scenes whose ground is computed pixel by pixel, from noise or geometry,
// before anything is painted over it.
#include "Noise.h"
#include "Painting.h"
#include "Scenes.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <thread>
#include <vector>

namespace mksamples {

namespace {

// Sets each pixel of `image` to colourAt(x, y), the pixel's centre in units.
// These scenes take most of the generator's time, so their rows are shared
// among the processor's cores; colourAt depends on the point alone, so the
// picture comes out the same however the rows were shared.
template <typename ColourAt>
void fillByPixel(QImage& image, const ColourAt& colourAt)
{
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const int threads = int(std::clamp(std::thread::hardware_concurrency(), 1u, 16u));
    std::vector<std::jthread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([=, &colourAt] {
            for (int py = t; py < heightPx; py += threads) {
                auto* line = reinterpret_cast<QRgb*>(bits + py * stride);
                for (int px = 0; px < widthPx; ++px)
                    line[px] = colourAt(unitAt(px), unitAt(py));
            }
        });
}

} // namespace

QImage underwater(Rng& rng)
{
    QImage img = canvas();
    const Noise caustic(rng, 22), grain(rng, 6);
    fillByPixel(img, [&](double x, double y) {
        const double seabed = 300 + 8 * std::sin(x * 0.025);
        if (y >= seabed) {
            const double v = 0.8 + 0.35 * grain.fractal(x, y, 4);
            return qRgb(int(215 * v), int(190 * v), int(135 * v));
        }
        // Ridged noise makes the web of light seen on shallow water.
        const double n = 1 - std::abs(2 * caustic.fractal(x, y * 1.4, 3) - 1);
        const double light = std::pow(n, 6) * 110 * (1 - y / 330.0);
        const QRgb water = mixRgb(qRgb(70, 195, 230), qRgb(8, 40, 110), y / 300.0);
        return qRgb(std::min(255, qRed(water) + int(light * 0.7)), std::min(255, qGreen(water) + int(light)),
                    std::min(255, qBlue(water) + int(light)));
    });
    QPainter p;
    beginScene(p, img);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        const double x = 40 + i * 80 + rng.real(-20, 20), w = rng.real(8, 20);
        p.setBrush(QColor(255, 255, 255, 28));
        p.drawPolygon(QPolygonF{{x, 0}, {x + w, 0}, {x + w * 4 - 60, 300}, {x - 60, 300}});
    }
    for (int i = 0; i < 16; ++i) {
        const double x0 = rng.real(0, W), h = rng.real(50, 170), phase = rng.real(0, 2 * pi);
        QPainterPath weed(QPointF(x0, 312));
        for (double t = 10; t <= h; t += 10)
            weed.lineTo(x0 + 7 * std::sin(t * 0.08 + phase), 312 - t);
        p.setBrush(Qt::NoBrush);
        const QColor green = pick(rng, 0.25, 0.4, 0.75, 0.75, 0.35, 0.7);
        p.setPen(QPen(green, rng.real(4, 8), Qt::SolidLine, Qt::RoundCap));
        p.drawPath(weed);
    }
    p.setPen(Qt::NoPen);
    for (const QPointF& c : scatter(rng, 6, 1, QRectF(0, 318, W, 36))) {
        switch (rng.integer(0, 2)) {
        case 0:
            p.setBrush(QColor(240, 120, 40));
            p.drawPath(star(c, 12, 5, 5, rng.real(0, pi)));
            break;
        case 1:
            p.setBrush(QColor(250, 225, 200));
            p.drawPie(QRectF(c.x() - 10, c.y() - 10, 20, 20), 0, 180 * 16);
            break;
        default:
            p.setBrush(QColor(235, 90, 140));
            for (int k = 0; k < 7; ++k)
                p.drawEllipse(c + QPointF{rng.real(-14, 14), rng.real(-22, 0)}, 5, 5);
        }
    }
    for (const QPointF& c : scatter(rng, 5, 4, QRectF(0, 15, W, 270))) {
        const double len = rng.real(12, 28), dir = rng.chance(0.5) ? 1 : -1;
        const QColor body = hsv(rng.real(0, 1), 0.85, 1);
        p.save();
        p.translate(c);
        p.scale(dir, 1);
        p.setBrush(body.darker(130));
        p.drawPolygon(QPolygonF{{-len * 0.8, 0}, {-len * 1.3, -len * 0.35}, {-len * 1.3, len * 0.35}});
        QPainterPath fish;
        fish.addEllipse(QPointF(0, 0), len, len * 0.45);
        p.setBrush(body);
        p.drawPath(fish);
        p.setClipPath(fish);
        p.setBrush(rng.chance(0.5) ? QColor(255, 255, 255, 200) : QColor(30, 30, 60, 160));
        for (double sx = -len * 0.5; sx < len * 0.6; sx += len * 0.45)
            p.drawRect(QRectF(sx, -len, len * 0.14, len * 2));
        p.setClipping(false);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(len * 0.55, -len * 0.1), len * 0.14, len * 0.14);
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(len * 0.58, -len * 0.1), len * 0.07, len * 0.07);
        p.restore();
    }
    for (int column = 0; column < 7; ++column) {
        double x = rng.real(0, W), y = 300;
        for (double r = 1.5; y > 0; r += 0.35) {
            p.setPen(QPen(QColor(255, 255, 255, 190), 1));
            p.setBrush(QColor(255, 255, 255, 45));
            p.drawEllipse(QPointF(x, y), r, r);
            y -= rng.real(10, 26);
            x += rng.real(-4, 4);
        }
    }
    return img;
}

QImage stainedGlass(Rng& rng)
{
    QImage img = canvas();
    const QColor palette[] = {QColor(170, 20, 40),  QColor(30, 60, 170),  QColor(20, 130, 70),  QColor(235, 170, 30),
                              QColor(110, 40, 150), QColor(20, 140, 150), QColor(215, 80, 130), QColor(240, 215, 120)};
    constexpr int cols = 12, rows = 9;
    const std::vector<QPointF> seeds = scatter(rng, cols, rows, QRectF(0, 0, W, H));
    std::vector<QColor> cellColour;
    for (std::size_t i = 0; i < seeds.size(); ++i)
        cellColour.push_back(palette[rng.integer(0, 7)]);
    std::vector<double> apart;
    for (const QPointF& a : seeds)
        for (const QPointF& b : seeds)
            apart.push_back(std::hypot(b.x() - a.x(), b.y() - a.y()));
    const Noise texture(rng, 9);
    const QPointF centre(W / 2.0, H / 2.0);
    constexpr double rings[] = {0, 32, 72, 118, 165};
    constexpr int sectors[] = {1, 8, 16, 24};
    const QColor lead(32, 26, 30);
    fillByPixel(img, [&](double x, double y) {
        const QPointF pt(x, y), d = pt - centre;
        const double r = std::hypot(d.x(), d.y());
        QColor glass;
        double edge;
        if (r < rings[4]) {
            // The rose window: rings of petals, symmetric about the centre.
            int ring = 0;
            while (r >= rings[ring + 1])
                ++ring;
            const double a = std::atan2(d.y(), d.x()) / (2 * pi) + 0.5 + ring * 0.02;
            const double part = a * sectors[ring];
            const int sector = int(part) % sectors[ring];
            glass = palette[(ring * 3 + sector % (ring + 2)) % 8];
            edge = std::min(
                {r - rings[ring], rings[ring + 1] - r,
                 ring ? r * 2 * pi / sectors[ring] * std::min(part - std::floor(part), std::ceil(part) - part) : 99.0});
        } else {
            // With one seed to a cell of the grid, the nearest seed, and any
            // whose border with it passes within a lead's width, lie within
            // two cells of this pixel's own.
            const int col = int(x * cols / W), row = int(y * rows / H);
            std::size_t near[25], nearCount = 0;
            for (int j = std::max(0, row - 2); j <= std::min(rows - 1, row + 2); ++j)
                for (int i = std::max(0, col - 2); i <= std::min(cols - 1, col + 2); ++i)
                    near[nearCount++] = std::size_t(j * cols + i);
            std::size_t best = 0;
            double bestDist = 1e9;
            for (std::size_t i : std::span(near, nearCount)) {
                const QPointF e = pt - seeds[i];
                const double dist = e.x() * e.x() + e.y() * e.y();
                if (dist < bestDist) {
                    bestDist = dist;
                    best = i;
                }
            }
            edge = r - rings[4];
            for (std::size_t i : std::span(near, nearCount)) {
                if (i == best)
                    continue;
                const QPointF e = pt - seeds[i];
                const double gap = (e.x() * e.x() + e.y() * e.y() - bestDist) / (2 * apart[best * seeds.size() + i]);
                edge = std::min(edge, gap);
            }
            glass = cellColour[best];
        }
        edge = std::min({edge, x, W - x, y, H - y});
        const double shine = 0.7 + 0.45 * texture.fractal(x, y, 5) + 0.2 * (1 - y / double(H));
        const QRgb lit = qRgb(std::min(255, int(glass.red() * shine)), std::min(255, int(glass.green() * shine)),
                              std::min(255, int(glass.blue() * shine)));
        // Lead 1.7 units to either side of a border, its edge softened over one pixel.
        return mixRgb(lead.rgb(), lit, std::clamp((edge - 1.7) * pixelsPerUnit + 0.5, 0.0, 1.0));
    });
    return img;
}

QImage space(Rng& rng)
{
    QImage img = canvas();
    const Noise cloudA(rng, 70), cloudB(rng, 45);
    fillByPixel(img, [&](double x, double y) {
        const double a = std::pow(cloudA.fractal(x, y, 7), 2.2) * 2.2, b = std::pow(cloudB.fractal(x, y, 6), 3) * 2.5;
        return qRgb(std::min(255, int(10 + 170 * a + 40 * b)), std::min(255, int(8 + 30 * a + 120 * b)),
                    std::min(255, int(30 + 160 * a + 150 * b)));
    });
    QPainter p;
    beginScene(p, img);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 450; ++i) {
        const QPointF at{rng.real(0, W), rng.real(0, H)};
        const double r = rng.real(0.4, 1.4);
        const QColor tint = pick(rng, 0.5, 0.7, 0, 0.3, 1, 1);
        p.setBrush(hsv(tint.hueF(), tint.saturationF(), 1, rng.real(0.5, 1)));
        p.drawEllipse(at, r, r);
    }
    for (const QPointF& c : scatter(rng, 6, 4, QRectF(0, 0, W, H))) {
        p.setPen(QPen(QColor(255, 255, 240, 200), 1));
        const double r = rng.real(3, 7);
        p.drawLine(c - QPointF(r, 0), c + QPointF(r, 0));
        p.drawLine(c - QPointF(0, r), c + QPointF(0, r));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(c, 1.6, 1.6);
    }
    // A small spiral galaxy: two arms of dots along logarithmic spirals.
    const QPointF galaxy(115, 90);
    for (int i = 0; i < 500; ++i) {
        const double t = rng.real(0, 3.2), arm = (i % 2) * pi, spread = rng.real(-0.25, 0.25);
        const double r = 6 * std::exp(0.55 * t);
        const QPointF at = galaxy + QPointF(r * std::cos(t + arm + spread), 0.55 * r * std::sin(t + arm + spread));
        p.setBrush(QColor(255, 240, 220, int(220 - t * 50)));
        p.drawEllipse(at, 1.1, 1.1);
    }
    QRadialGradient core(galaxy, 16);
    core.setColorAt(0, QColor(255, 250, 220, 255));
    core.setColorAt(1, QColor(255, 250, 220, 0));
    p.setBrush(core);
    p.drawEllipse(galaxy, 16, 16);

    const QPointF planet(330, 235);
    const QRectF ring(planet.x() - 120, planet.y() - 26, 240, 52);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(220, 200, 160, 200), 9));
    p.drawArc(ring, 0, 180 * 16);
    QPainterPath ball;
    ball.addEllipse(planet, 68, 68);
    QRadialGradient body(planet - QPointF(25, 25), 100);
    body.setColorAt(0, QColor(250, 200, 130));
    body.setColorAt(1, QColor(120, 60, 40));
    p.fillPath(ball, body);
    p.save();
    p.setClipPath(ball);
    p.setPen(Qt::NoPen);
    for (double y = planet.y() - 68; y < planet.y() + 68; y += rng.real(7, 16)) {
        p.setBrush(QColor(140, 70, 40, rng.integer(40, 110)));
        p.drawRect(QRectF(planet.x() - 70, y, 140, rng.real(2, 6)));
    }
    p.restore();
    p.setPen(QPen(QColor(235, 215, 175, 220), 9));
    p.drawArc(ring, 180 * 16, 180 * 16);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(190, 190, 200));
    p.drawEllipse(QPointF(90, 275), 34, 34);
    for (int i = 0; i < 9; ++i) {
        const QPointF at = QPointF(90, 275) + QPointF{rng.real(-24, 24), rng.real(-24, 24)};
        p.setBrush(QColor(140, 140, 155));
        const double rx = rng.real(3, 7), ry = rng.real(3, 7);
        p.drawEllipse(at, rx, ry);
    }
    QLinearGradient tail(QPointF(420, 70), QPointF(300, 20));
    tail.setColorAt(0, QColor(200, 240, 255, 230));
    tail.setColorAt(1, QColor(200, 240, 255, 0));
    p.setBrush(tail);
    p.drawPolygon(QPolygonF{{420, 66}, {300, 14}, {290, 34}, {420, 74}});
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(422, 70), 5, 5);
    return img;
}

} // namespace mksamples
