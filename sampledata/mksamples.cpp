// Writes the pictures, move sound and readme that the game loads from beside
// its executable. Everything is drawn from code with fixed seeds so that a
// build reproduces the same bytes and the repository carries no binary assets.
//
// Usage: mksamples <output-folder>

#include <QColorSpace>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <random>
#include <vector>

namespace {

constexpr int W = 480;
constexpr int H = 360;
using std::numbers::pi;

// <random>'s distributions are not bit-exact across standard libraries, so
// the raw engine output is mapped by hand. Callers keep to one draw per
// expression (or a braced list, which is sequenced) for the same reason.
class Rng {
public:
    explicit Rng(std::uint32_t seed)
        : generator(seed)
    {
    }
    double real(double lo, double hi) { return lo + (hi - lo) * (double(generator()) / 4294967296.0); }
    int integer(int lo, int hi) { return lo + int(generator() % std::uint32_t(hi - lo + 1)); }
    bool chance(double p) { return real(0, 1) < p; }

private:
    std::mt19937 generator;
};

QColor hsv(double h, double s, double v, double a = 1.0)
{
    return QColor::fromHsvF(float(h - std::floor(h)), float(std::clamp(s, 0.0, 1.0)), float(std::clamp(v, 0.0, 1.0)),
                            float(std::clamp(a, 0.0, 1.0)));
}

// Draws hue, saturation and value in that order from the given ranges.
QColor pick(Rng& rng, double h0, double h1, double s0, double s1, double v0, double v1, double a = 1.0)
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

// Smooth lattice noise: enough to give water, sand, glass and nebulae some
// texture without pulling in a noise library.
class Noise {
public:
    Noise(Rng& rng, double size)
        : cellSize(size)
    {
        for (double& v : grid)
            v = rng.real(0, 1);
    }
    double at(double x, double y) const
    {
        x /= cellSize;
        y /= cellSize;
        const int ix = int(std::floor(x)), iy = int(std::floor(y));
        const double tx = smooth(x - ix), ty = smooth(y - iy);
        auto g = [this](int i, int j) { return grid[std::size_t((j & (N - 1)) * N + (i & (N - 1)))]; };
        const double top = g(ix, iy) + (g(ix + 1, iy) - g(ix, iy)) * tx;
        const double bottom = g(ix, iy + 1) + (g(ix + 1, iy + 1) - g(ix, iy + 1)) * tx;
        return top + (bottom - top) * ty;
    }
    double fractal(double x, double y, int octaves) const
    {
        double sum = 0, amp = 1, norm = 0;
        for (int o = 0; o < octaves; ++o, amp *= 0.5, x = x * 2 + 17.3, y = y * 2 + 5.1) {
            sum += amp * at(x, y);
            norm += amp;
        }
        return sum / norm;
    }

private:
    static constexpr int N = 64;
    static double smooth(double t) { return t * t * (3 - 2 * t); }
    double cellSize;
    std::array<double, N * N> grid{};
};

// One point per cell of a grid over `area`: looks random, yet no part of the
// picture is left without something to recognise it by.
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

QImage canvas()
{
    QImage img(W, H, QImage::Format_RGB32);
    img.fill(Qt::white);
    img.setColorSpace(QColorSpace::SRgb);
    return img;
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

// Mirrors the scene above `waterline` into the rows below it with a sideways
// ripple and a tint, so the water shows the landscape it lies in.
void reflect(QImage& img, int waterline, int bottom, QRgb tint, double amount, Rng& rng)
{
    const double phase = rng.real(0, 2 * pi);
    for (int y = waterline; y < bottom; ++y) {
        const int d = y - waterline;
        const int shift = int(std::lround(2.5 * std::sin(d * 0.9 + phase) * (1 + d / 40.0)));
        auto* to = reinterpret_cast<QRgb*>(img.scanLine(y));
        const auto* from = reinterpret_cast<const QRgb*>(img.constScanLine(std::max(0, waterline - 1 - d)));
        const double t = std::min(0.9, amount + d * 0.004);
        for (int x = 0; x < W; ++x)
            to[x] = mixRgb(from[std::clamp(x + shift, 0, W - 1)], tint, t);
    }
}

void conifer(QPainter& p, QPointF base, double h, QColor green)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 60, 35));
    p.drawRect(QRectF(base.x() - h * 0.05, base.y() - h * 0.2, h * 0.1, h * 0.2));
    for (int i = 0; i < 3; ++i) {
        const double y0 = base.y() - h * (0.15 + i * 0.25), w = h * (0.32 - i * 0.07);
        p.setBrush(green.darker(100 + i * 12));
        p.drawPolygon(QPolygonF{{base.x() - w, y0}, {base.x() + w, y0}, {base.x(), y0 - h * 0.45}});
    }
}

// ---------------------------------------------------------------- pictures

QImage lake(Rng& rng)
{
    QImage img = canvas();
    constexpr int shore = 200, lakeEnd = 292;
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, shore);
    sky.setColorAt(0, QColor(38, 92, 172));
    sky.setColorAt(0.6, QColor(140, 190, 235));
    sky.setColorAt(1, QColor(255, 214, 165));
    p.fillRect(0, 0, W, shore, sky);
    const QPointF sun(370, 60);
    QRadialGradient glow(sun, 180);
    glow.setColorAt(0, QColor(255, 240, 180, 230));
    glow.setColorAt(1, QColor(255, 240, 180, 0));
    p.fillRect(0, 0, W, shore, glow);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 236, 140));
    p.drawEllipse(sun, 22, 22);
    for (const QPointF& c : scatter(rng, 4, 2, QRectF(90, 5, W - 90, 115)))
        cloud(p, rng, c, rng.real(9, 17));
    birds(p, rng, 8, QRectF(150, 20, 280, 80));

    // Far mountains, snow above a ragged line.
    QPolygonF ridge{{0, double(shore)}};
    for (int x = 0; x <= W; x += 24)
        ridge << QPointF(x, rng.real(104, 150));
    ridge << QPointF(W, shore);
    QPainterPath mountains;
    mountains.addPolygon(ridge);
    QLinearGradient rock(0, 100, 0, shore);
    rock.setColorAt(0, QColor(110, 120, 170));
    rock.setColorAt(1, QColor(165, 170, 205));
    p.fillPath(mountains, rock);
    p.save();
    p.setClipPath(mountains);
    QPolygonF snow{{0, 0}, {W, 0}};
    for (int x = W; x >= 0; x -= 8)
        snow << QPointF(x, rng.real(120, 130));
    p.setBrush(QColor(245, 248, 255));
    p.drawPolygon(snow);
    p.restore();

    auto hill = [](double x, double base, double k) {
        return base + 9 * std::sin(x * 0.013 * k + k) + 5 * std::sin(x * 0.041 + k * 2);
    };
    const QColor hillColours[] = {QColor(80, 150, 85), QColor(52, 122, 60)};
    for (int layer = 0; layer < 2; ++layer) {
        QPolygonF poly{{0, double(shore)}};
        for (int x = 0; x <= W; x += 6)
            poly << QPointF(x, hill(x, 166 + layer * 16, 1 + layer));
        poly << QPointF(W, shore);
        p.setBrush(hillColours[layer]);
        p.drawPolygon(poly);
        for (int i = 0; i < 14; ++i) {
            const double x = rng.real(0, W);
            const double h = rng.real(12, 30) * (layer ? 1.0 : 0.6);
            conifer(p, QPointF(x, std::min(double(shore), hill(x, 166 + layer * 16, 1 + layer) + 8)), h,
                    layer ? QColor(30, 95, 45) : QColor(55, 115, 70));
        }
    }
    p.end();
    reflect(img, shore, lakeEnd, qRgb(40, 90, 140), 0.3, rng);
    p.begin(&img);
    p.setRenderHint(QPainter::Antialiasing);

    for (int i = 0; i < 90; ++i) {
        const double y = rng.real(shore + 2, lakeEnd);
        const double x = i < 30 ? rng.real(335, 405) : rng.real(0, W);
        p.setPen(QPen(QColor(255, 250, 220, 110), 1));
        p.drawLine(QPointF(x, y), QPointF(x + (y - shore) * 0.15 + 4, y));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 70, 40));
    p.drawPolygon(QPolygonF{{215, 236}, {265, 236}, {257, 245}, {222, 245}});
    p.setBrush(QColor(240, 240, 230));
    p.drawPolygon(QPolygonF{{240, 234}, {240, 200}, {262, 234}});
    p.setBrush(QColor(60, 80, 110, 140));
    p.drawPolygon(QPolygonF{{240, 248}, {240, 276}, {258, 248}});

    QPolygonF bank{{0, double(H)}};
    for (int x = 0; x <= W; x += 8)
        bank << QPointF(x, lakeEnd - 6 + 6 * std::sin(x * 0.03));
    bank << QPointF(W, H);
    QLinearGradient grass(0, lakeEnd - 10, 0, H);
    grass.setColorAt(0, QColor(120, 170, 70));
    grass.setColorAt(1, QColor(50, 105, 40));
    p.setBrush(grass);
    p.drawPolygon(bank);
    for (int i = 0; i < 900; ++i) {
        const QPointF root{rng.real(0, W), rng.real(lakeEnd, H + 4)};
        const double len = rng.real(5, 16), lean = rng.real(-4, 4);
        p.setPen(QPen(pick(rng, 0.22, 0.34, 0.7, 0.7, 0.35, 0.75), 1.2));
        p.drawLine(root, root + QPointF(lean, -len));
    }
    p.setPen(Qt::NoPen);
    for (const QPointF& c : scatter(rng, 12, 2, QRectF(70, lakeEnd + 4, W - 70, H - lakeEnd - 8))) {
        p.setBrush(hsv(rng.real(0, 1), 0.7, 1));
        for (int k = 0; k < 5; ++k)
            p.drawEllipse(c + QPointF(3.5 * std::cos(k * 2 * pi / 5), 3.5 * std::sin(k * 2 * pi / 5)), 2.8, 2.8);
        p.setBrush(QColor(255, 220, 60));
        p.drawEllipse(c, 2, 2);
    }

    // A big tree on the near bank frames the left edge and fills the sky there.
    p.setBrush(QColor(95, 65, 40));
    p.drawPolygon(QPolygonF{{28, H}, {58, H}, {52, 120}, {78, 70}, {70, 66}, {44, 110}, {30, 60}, {22, 64}, {36, 120}});
    for (int i = 0; i < 26; ++i) {
        const QPointF c{rng.real(0, 120), rng.real(10, 130)};
        const double r = rng.real(16, 30);
        QRadialGradient leaf(c - QPointF(r / 3, r / 3), r * 1.2);
        leaf.setColorAt(0, hsv(0.25 + rng.real(0, 0.08), 0.7, 0.75));
        leaf.setColorAt(1, QColor(25, 80, 35));
        p.setBrush(leaf);
        p.drawEllipse(c, r, r * 0.85);
    }
    return img;
}

QImage mosaic(Rng& rng)
{
    QImage img = canvas();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(img.rect(), QColor(240, 232, 215));
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
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, W, H);
    bg.setColorAt(0, QColor(55, 30, 120));
    bg.setColorAt(0.5, QColor(170, 60, 130));
    bg.setColorAt(1, QColor(250, 170, 60));
    p.fillRect(img.rect(), bg);
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

QImage city(Rng& rng)
{
    QImage img = canvas();
    constexpr int water = 292;
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, water);
    sky.setColorAt(0, QColor(14, 20, 62));
    sky.setColorAt(0.5, QColor(92, 52, 122));
    sky.setColorAt(1, QColor(252, 136, 84));
    p.fillRect(0, 0, W, water, sky);
    QRadialGradient glow(QPointF(380, water), 330);
    glow.setColorAt(0, QColor(255, 190, 90, 210));
    glow.setColorAt(1, QColor(255, 190, 90, 0));
    p.fillRect(0, 0, W, water, glow);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 170; ++i) {
        const QPointF at{rng.real(0, W), rng.real(0, 170)};
        const double r = rng.real(0.5, 1.6);
        p.setBrush(QColor(255, 255, 230, int(255 * (1 - at.y() / 190))));
        p.drawEllipse(at, r, r);
    }
    QPainterPath moon;
    moon.addEllipse(QPointF(90, 55), 22, 22);
    QPainterPath bite;
    bite.addEllipse(QPointF(101, 48), 20, 20);
    p.fillPath(moon.subtracted(bite), QColor(250, 245, 210));
    for (int i = 0; i < 9; ++i) {
        const QPointF c{rng.real(0, W), rng.real(110, 190)};
        const double w = rng.real(30, 70);
        p.setBrush(QColor(250, 150, 170, 120));
        p.drawEllipse(c, w, w * 0.12);
    }
    // High wisps and a radio mast give the top of the sky landmarks of its own.
    for (const QPointF& c : scatter(rng, 5, 1, QRectF(130, 8, W - 130, 80))) {
        const double w = rng.real(22, 40);
        p.setBrush(QColor(150, 90, 150, 130));
        p.drawEllipse(c, w, w * 0.16);
        p.setBrush(QColor(255, 160, 170, 110));
        p.drawEllipse(c + QPointF(w * 0.1, w * 0.07), w * 0.7, w * 0.07);
    }
    const double mast = 292;
    p.setBrush(QColor(45, 38, 78));
    p.drawPolygon(QPolygonF{{mast - 7, double(water)}, {mast + 7, double(water)}, {mast + 1.5, 40}, {mast - 1.5, 40}});
    p.drawEllipse(QPointF(mast, 92), 14, 7);
    p.setPen(QPen(QColor(45, 38, 78), 1.5));
    p.drawLine(QPointF(mast, 40), QPointF(mast, 14));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 70, 70));
    p.drawEllipse(QPointF(mast, 14), 2.2, 2.2);
    p.setBrush(QColor(255, 220, 140));
    for (int k = -4; k <= 4; ++k)
        p.drawRect(QRectF(mast + k * 3 - 1, 91, 1.6, 2.2));

    // Two rows of buildings: paler far towers behind darker near blocks.
    for (int layer = 0; layer < 2; ++layer) {
        for (double x = rng.real(-20, 0); x < W;) {
            const double w = rng.real(24, 52) + layer * 8;
            const double h = layer ? rng.real(45, 150) : rng.real(90, 190);
            const QRectF b(x, water - h, w, h);
            p.setPen(Qt::NoPen);
            p.setBrush(layer ? QColor(28, 26, 52) : QColor(72, 60, 108));
            p.drawRect(b);
            if (rng.chance(0.3))
                p.drawPolygon(QPolygonF{b.topLeft(), b.topRight(), {b.center().x(), b.top() - w * 0.6}});
            if (rng.chance(0.35)) {
                p.setPen(QPen(QColor(20, 20, 30), 1.5));
                p.drawLine(QPointF(b.center().x(), b.top()), QPointF(b.center().x(), b.top() - 22));
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(255, 60, 60));
                p.drawEllipse(QPointF(b.center().x(), b.top() - 22), 2, 2);
            }
            const double lit = rng.real(0.25, 0.6), hue = rng.real(0.08, 0.16);
            for (double wy = b.top() + 5; wy < water - 6; wy += 8)
                for (double wx = x + 4; wx < x + w - 5; wx += 6) {
                    const double v = rng.real(0, 1);
                    if (v < lit) {
                        p.setBrush(hsv(hue + v * 0.1, 0.7 - v * 0.6, 1));
                        p.drawRect(QRectF(wx, wy, 3, 4));
                    }
                }
            x += w + rng.real(-4, 6);
        }
    }
    p.end();
    reflect(img, water, H, qRgb(15, 25, 60), 0.35, rng);
    p.begin(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // Moonlight on the left, sunset glow on the right and a few boats keep the
    // water rows from being a uniform dark band.
    for (double y = water + 3; y < H; y += 3) {
        const double half = 3 + (y - water) * 0.2, x = 90 + rng.real(-4, 4);
        p.setPen(QPen(QColor(250, 240, 190, 170), 1.5));
        p.drawLine(QPointF(x - half, y), QPointF(x + half, y));
    }
    for (int i = 0; i < 140; ++i) {
        const QPointF at{rng.real(150, W), rng.real(water + 2, H)};
        p.setPen(QPen(QColor(255, 170, 90, int(60 + at.x() / 4)), 1));
        p.drawLine(at, at + QPointF(rng.real(4, 14), 0));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(22, 20, 38));
    p.drawPolygon(QPolygonF{{292, 316}, {392, 316}, {382, 330}, {300, 330}});
    p.drawRect(QRectF(308, 304, 62, 12));
    p.drawRect(QRectF(318, 296, 8, 8));
    for (double x = 312; x < 366; x += 7) {
        p.setBrush(QColor(255, 225, 130));
        p.drawRect(QRectF(x, 307, 4, 4));
        p.setBrush(QColor(255, 225, 130, 110));
        p.drawRect(QRectF(x, 334, 4, 1.5 + (x - 312) / 20));
    }
    p.setBrush(QColor(30, 24, 44));
    p.drawPolygon(QPolygonF{{160, 343}, {206, 343}, {200, 350}, {166, 350}});
    p.setBrush(QColor(245, 200, 170));
    p.drawPolygon(QPolygonF{{184, 341}, {184, 302}, {203, 341}});
    p.setBrush(QColor(220, 60, 50));
    p.drawRect(QRectF(444, 336, 8, 12));
    p.setBrush(QColor(255, 90, 80));
    p.drawEllipse(QPointF(448, 333), 3, 3);
    return img;
}

QImage underwater(Rng& rng)
{
    QImage img = canvas();
    const Noise caustic(rng, 22), grain(rng, 6);
    for (int y = 0; y < H; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < W; ++x) {
            const double seabed = 300 + 8 * std::sin(x * 0.025);
            if (y >= seabed) {
                const double v = 0.8 + 0.35 * grain.fractal(x, y, 2);
                line[x] = qRgb(int(215 * v), int(190 * v), int(135 * v));
            } else {
                // Ridged noise makes the web of light seen on shallow water.
                const double n = 1 - std::abs(2 * caustic.fractal(x, y * 1.4, 3) - 1);
                const double light = std::pow(n, 6) * 110 * (1 - y / 330.0);
                line[x] = mixRgb(qRgb(70, 195, 230), qRgb(8, 40, 110), y / 300.0);
                line[x] = qRgb(std::min(255, qRed(line[x]) + int(light * 0.7)),
                               std::min(255, qGreen(line[x]) + int(light)), std::min(255, qBlue(line[x]) + int(light)));
            }
        }
    }
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
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

QImage tulips(Rng& rng)
{
    QImage img = canvas();
    constexpr double horizon = 125;
    const QPointF vanish(240, 85);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor(60, 130, 210));
    sky.setColorAt(1, QColor(200, 230, 250));
    p.fillRect(0, 0, W, int(horizon), sky);
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

QImage stainedGlass(Rng& rng)
{
    QImage img = canvas();
    const QColor palette[] = {QColor(170, 20, 40),  QColor(30, 60, 170),  QColor(20, 130, 70),  QColor(235, 170, 30),
                              QColor(110, 40, 150), QColor(20, 140, 150), QColor(215, 80, 130), QColor(240, 215, 120)};
    const std::vector<QPointF> seeds = scatter(rng, 12, 9, QRectF(0, 0, W, H));
    std::vector<QColor> cellColour;
    for (std::size_t i = 0; i < seeds.size(); ++i)
        cellColour.push_back(palette[rng.integer(0, 7)]);
    const Noise texture(rng, 9);
    const QPointF centre(W / 2.0, H / 2.0);
    constexpr double rings[] = {0, 32, 72, 118, 165};
    constexpr int sectors[] = {1, 8, 16, 24};
    const QColor lead(32, 26, 30);
    for (int y = 0; y < H; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < W; ++x) {
            const QPointF pt(x + 0.5, y + 0.5), d = pt - centre;
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
                     ring ? r * 2 * pi / sectors[ring] * std::min(part - std::floor(part), std::ceil(part) - part)
                          : 99.0});
            } else {
                std::size_t best = 0;
                double bestDist = 1e9;
                for (std::size_t i = 0; i < seeds.size(); ++i) {
                    const QPointF e = pt - seeds[i];
                    const double dist = e.x() * e.x() + e.y() * e.y();
                    if (dist < bestDist) {
                        bestDist = dist;
                        best = i;
                    }
                }
                edge = r - rings[4];
                for (std::size_t i = 0; i < seeds.size(); ++i) {
                    if (i == best)
                        continue;
                    const QPointF e = pt - seeds[i], s = seeds[i] - seeds[best];
                    const double gap = (e.x() * e.x() + e.y() * e.y() - bestDist) / (2 * std::hypot(s.x(), s.y()));
                    edge = std::min(edge, gap);
                }
                glass = cellColour[best];
            }
            edge = std::min({edge, x + 0.5, W - x - 0.5, y + 0.5, H - y - 0.5});
            const double shine = 0.7 + 0.45 * texture.fractal(x, y, 3) + 0.2 * (1 - y / double(H));
            const QRgb lit = qRgb(std::min(255, int(glass.red() * shine)), std::min(255, int(glass.green() * shine)),
                                  std::min(255, int(glass.blue() * shine)));
            line[x] = mixRgb(lead.rgb(), lit, std::clamp(edge - 1.2, 0.0, 1.0));
        }
    }
    return img;
}

QPainterPath envelope(QPointF c, double r)
{
    QPainterPath path(c + QPointF(-0.28 * r, 1.3 * r));
    path.cubicTo(c + QPointF(-0.7 * r, 0.8 * r), c + QPointF(-r, 0.4 * r), c + QPointF(-r, 0));
    path.arcTo(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 180, -180);
    path.cubicTo(c + QPointF(r, 0.4 * r), c + QPointF(0.7 * r, 0.8 * r), c + QPointF(0.28 * r, 1.3 * r));
    path.closeSubpath();
    return path;
}

QImage balloons(Rng& rng)
{
    QImage img = canvas();
    constexpr double ground = 258;
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, ground);
    sky.setColorAt(0, QColor(60, 130, 215));
    sky.setColorAt(1, QColor(210, 230, 245));
    p.fillRect(QRectF(0, 0, W, ground), sky);
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

QImage quilt(Rng& rng)
{
    QImage img = canvas();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
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

QImage space(Rng& rng)
{
    QImage img = canvas();
    const Noise cloudA(rng, 70), cloudB(rng, 45);
    for (int y = 0; y < H; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < W; ++x) {
            const double a = std::pow(cloudA.fractal(x, y, 5), 2.2) * 2.2,
                         b = std::pow(cloudB.fractal(x, y, 4), 3) * 2.5;
            line[x] = qRgb(std::min(255, int(10 + 170 * a + 40 * b)), std::min(255, int(8 + 30 * a + 120 * b)),
                           std::min(255, int(30 + 160 * a + 150 * b)));
        }
    }
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
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

// Listed in the order the player meets them.
using Painter = QImage (*)(Rng&);
constexpr Painter pictures[] = {lake, mosaic, shapes, city, underwater, tulips, stainedGlass, balloons, quilt, space};
static_assert(std::size(pictures) == MKSAMPLES_PICTURE_COUNT, "update VELLUMI_SAMPLE_PICTURES in CMakeLists.txt");

// ------------------------------------------------------------------- sound

// libsndfile writes the wave file into memory, so that it is saved like every other output.
class MemoryFile {
public:
    QByteArray bytes;

    SF_VIRTUAL_IO io()
    {
        return {[](void* self) { return sf_count_t(get(self).bytes.size()); },
                [](sf_count_t offset, int whence, void* self) {
                    MemoryFile& f = get(self);
                    f.pos = offset + (whence == SEEK_CUR ? f.pos : whence == SEEK_END ? f.bytes.size() : 0);
                    return f.pos;
                },
                [](void* to, sf_count_t count, void* self) {
                    MemoryFile& f = get(self);
                    count = std::clamp<sf_count_t>(f.bytes.size() - f.pos, 0, count);
                    std::memcpy(to, f.bytes.constData() + f.pos, size_t(count));
                    f.pos += count;
                    return count;
                },
                [](const void* from, sf_count_t count, void* self) {
                    MemoryFile& f = get(self);
                    if (f.pos + count > f.bytes.size())
                        f.bytes.resize(f.pos + count, '\0');
                    std::memcpy(f.bytes.data() + f.pos, from, size_t(count));
                    f.pos += count;
                    return count;
                },
                [](void* self) { return get(self).pos; }};
    }

private:
    static MemoryFile& get(void* self) { return *static_cast<MemoryFile*>(self); }
    sf_count_t pos = 0;
};

// A short wooden tick followed by silence. Padding to a third of a second
// keeps some audio back-ends from clipping the start of very short clips.
QByteArray moveSound()
{
    constexpr int rate = 44100, total = rate * 320 / 1000, clickLength = rate * 50 / 1000;
    Rng rng(0x5eed0001);
    std::vector<double> wave(total, 0.0);
    double filtered = 0, peak = 0;
    for (int i = 0; i < clickLength; ++i) {
        const double t = double(i) / rate;
        const double attack = std::min(1.0, t / 0.002);
        const double release = std::min(1.0, (clickLength - i) / (0.005 * rate));
        const double tone = std::sin(2 * pi * 1500 * t) * std::exp(-t / 0.012) +
                            0.35 * std::sin(2 * pi * 3150 * t) * std::exp(-t / 0.005);
        filtered += 0.3 * (rng.real(-1, 1) - filtered);
        wave[std::size_t(i)] = attack * release * (tone + 1.2 * filtered * std::exp(-t / 0.003));
        peak = std::max(peak, std::abs(wave[std::size_t(i)]));
    }
    const double gain = 0.5 / peak; // -6 dBFS
    std::vector<short> samples;
    for (double v : wave)
        samples.push_back(short(std::lround(v * gain * 32767)));

    MemoryFile out;
    SF_VIRTUAL_IO io = out.io();
    SF_INFO format{0, rate, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE* file = sf_open_virtual(&io, SFM_WRITE, &format, &out);
    if (!file || sf_writef_short(file, samples.data(), total) != total || sf_close(file) != 0) {
        std::fprintf(stderr, "mksamples: cannot make the move sound: %s\n", sf_strerror(nullptr));
        return {};
    }
    return out.bytes;
}

const char readme[] = R"(Vellumi 拼图游戏 使用说明（程序文件：tessra）

游戏目标：把打乱的小块移回原处，重新拼出完整的图画。

菜单“游戏(G)”：
  开始游戏 —— 图画渐渐淡出并被切成小块，右下角的一块被拿走留作空位，然后打乱顺序，游戏开始。
  重新开始 —— 回到本局开始时的排列，从头再拼一次。
  使用帮助 —— 查看游戏的使用说明。
  注册版权 —— 查看版本和版权信息。
  退出游戏 —— 游戏进行中时放弃本局；没有进行游戏时退出程序。

操作：单击紧挨着空位的小块，它就会滑进空位。在窗口中单击右键可以打开游戏菜单。
键盘：游戏中按方向键，空位旁的小块就朝箭头的方向滑进空位（例如按 ← 时，空位右边的小块向左滑）；
  两局之间按 ← → 可以向前或向后切换图画，按 ↑ ↓ 可以改变难易度。
  Ctrl+N 开始游戏，Ctrl+R 重新开始，Ctrl+Z 撤销一步，Ctrl+Y 或 Ctrl+Shift+Z 重做，F1 使用帮助，
  Alt+G 打开游戏菜单。
  按住空格键可以查看整张图画，松开后回到拼图。
  H 键提示：按回家的路移动一块（3×3 和 4×4 走的是最短的路）；Shift+H 让游戏自己走完，按任意键或单击即停止。
  N 键在小块上显示或隐藏编号（左上角的一块是 1 号，按行数下去），M 键关闭或打开声音；
  T 键在菜单栏右端显示或隐藏本局的步数和用时，Ctrl+H 查看成绩记录（每张图画每种难易度
  不用提示完成的最少步数、最短用时和完成次数）；这些设置会被记住。启动时加上 --mute 可以关闭声音。
未完成的游戏：每走一步都会保存，关闭游戏后下次启动时接着玩；用“退出游戏”放弃本局则不再保存。
  成绩记录在 ~/.local/share/vellumi/records，未完成的游戏在 ~/.local/state/vellumi/unfinished-game。
难易度：单击“难易度”旁边的箭头按钮，依次切换 初级 3×3、中级 4×4、高级 5×5、特级 6×6。
选择图画：单击“选择”两侧的按钮，可以向前或向后切换图画。

添加自己的图画：把照片放进 ~/.local/share/vellumi/pictures/ 文件夹，或者在两局之间把图片文件
从文件管理器拖到游戏窗口上（图片会被复制进这个文件夹）。任何大小的 JPEG、PNG、BMP、GIF 或 WebP 照片
都可以：图片会按拍摄方向摆正，缩放并居中裁剪成 480 × 360。切换图画时，它们排在程序自带的图画之后，
按文件名的自然顺序出现；游戏运行中新放进或删掉的图片，下次切换时就会生效。
打不开的图片（其他格式如 SVG、已损坏、不完整或大得读不了）会提示一次并被跳过，游戏照常进行。
)";

// ------------------------------------------------------------------ output

bool save(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    std::fprintf(stderr, "mksamples: cannot write %s: %s\n", qPrintable(QDir::toNativeSeparators(path)),
                 qPrintable(file.errorString()));
    return false;
}

bool saveJpeg(const QString& path, const QImage& image)
{
    QSaveFile file(path);
    QImageWriter writer(&file, "jpeg");
    writer.setQuality(90);
    writer.setOptimizedWrite(false);
    writer.setProgressiveScanWrite(false);
    if (file.open(QIODevice::WriteOnly) && writer.write(image) && file.commit())
        return true;
    const QString why = writer.error() != QImageWriter::UnknownError ? writer.errorString() : file.errorString();
    std::fprintf(stderr, "mksamples: cannot write %s: %s\n", qPrintable(QDir::toNativeSeparators(path)),
                 qPrintable(why));
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    // Only for plugin lookup: the JPEG writer is a plugin. No display is needed.
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: mksamples <output-folder>\n");
        return 2;
    }
    if (!QImageWriter::supportedImageFormats().contains("jpeg")) {
        std::fprintf(stderr, "mksamples: Qt has no JPEG writer (imageformats plugin missing)\n");
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("image"))) {
        std::fprintf(stderr, "mksamples: cannot create %s\n",
                     qPrintable(QDir::toNativeSeparators(out.filePath("image"))));
        return 1;
    }

    const int count = int(std::size(pictures));
    for (int i = 0; i < count; ++i) {
        // Each picture has its own seed so that changing one leaves the others' bytes alone.
        Rng rng(0x7e55a000u + std::uint32_t(i));
        if (!saveJpeg(out.filePath(QStringLiteral("image/angle%1.jpg").arg(i + 1)), pictures[i](rng)))
            return 1;
    }
    const QByteArray sound = moveSound();
    const bool ok = save(out.filePath(QStringLiteral("image/picture.txt")), QByteArray::number(count) + '\n') &&
                    !sound.isEmpty() && save(out.filePath(QStringLiteral("move.wav")), sound) &&
                    save(out.filePath(QStringLiteral("readme.txt")), QByteArray(readme));
    return ok ? 0 : 1;
}
