// Scenes by the water, whose lower rows mirror the land above them.
#include "Painting.h"
#include "Scenes.h"

#include <algorithm>
#include <cmath>

namespace mksamples {

namespace {

// Mirrors the scene above `waterline` into the rows below it with a sideways
// ripple and a tint, so the water shows the landscape it lies in.
void reflect(QImage& img, int waterline, int bottom, QRgb tint, double amount, Rng& rng)
{
    const double phase = rng.real(0, 2 * pi);
    const int top = waterline * pixelsPerUnit;
    for (int y = top; y < bottom * pixelsPerUnit; ++y) {
        const int dy = y - top;
        const double d = double(dy) / pixelsPerUnit;
        const int shift = int(std::lround(pixelsPerUnit * 2.5 * std::sin(d * 0.9 + phase) * (1 + d / 40.0)));
        auto* to = reinterpret_cast<QRgb*>(img.scanLine(y));
        const auto* from = reinterpret_cast<const QRgb*>(img.constScanLine(std::max(0, top - 1 - dy)));
        const double t = std::min(0.9, amount + d * 0.004);
        for (int x = 0; x < widthPx; ++x)
            to[x] = mixRgb(from[std::clamp(x + shift, 0, widthPx - 1)], tint, t);
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

} // namespace

QImage lake(Rng& rng)
{
    QImage img = canvas();
    constexpr int shore = 200, lakeEnd = 292;
    QPainter p;
    beginScene(p, img);
    sky(p, shore, {{0, QColor(38, 92, 172)}, {0.6, QColor(140, 190, 235)}, {1, QColor(255, 214, 165)}});
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
    beginScene(p, img);

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

QImage city(Rng& rng)
{
    QImage img = canvas();
    constexpr int water = 292;
    QPainter p;
    beginScene(p, img);
    sky(p, water, {{0, QColor(14, 20, 62)}, {0.5, QColor(92, 52, 122)}, {1, QColor(252, 136, 84)}});
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
    beginScene(p, img);
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

} // namespace mksamples
