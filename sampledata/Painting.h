#pragma once

#include <initializer_list>
#include <utility>

#include "Random.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

#include <numbers>
#include <vector>

namespace mksamples {

// Scenes are laid out in units of a W × H frame and drawn with pixelsPerUnit
// pixels to the unit, so the game can show them sharp on screens scaled up to
// three times while every scene keeps its composition.
constexpr int W = 480;
constexpr int H = 360;
constexpr int pixelsPerUnit = 3;
constexpr int widthPx = W * pixelsPerUnit;
constexpr int heightPx = H * pixelsPerUnit;
using std::numbers::pi;

// Where the centre of pixel `px` lies, in units: scenes computed pixel by
// pixel work in the same coordinates as those painted.
inline double unitAt(int px)
{
    return (px + 0.5) / pixelsPerUnit;
}

// A white widthPx × heightPx picture in sRGB.
QImage canvas();

// Starts `p` on `image`, antialiased and measuring in units.
void beginScene(QPainter& p, QImage& image);

QColor hsv(double h, double s, double v, double a = 1.0);
// Draws hue, saturation and value in that order from the given ranges.
QColor pick(Rng& rng, double h0, double h1, double s0, double s1, double v0, double v1, double a = 1.0);
QRgb mixRgb(QRgb a, QRgb b, double t);

// One point per cell of a grid over `area`: looks random, yet no part of the
// picture is left without something to recognise it by. The points come row
// by row.
std::vector<QPointF> scatter(Rng& rng, int cols, int rows, const QRectF& area);

QPainterPath star(QPointF c, double outer, double inner, int points, double turn);
QPainterPath regular(QPointF c, double r, int sides, double turn);

// A sky from the top down to `bottom`, through colours at fractions of the way.
void sky(QPainter& p, double bottom, std::initializer_list<std::pair<double, QColor>> stops);
void cloud(QPainter& p, Rng& rng, QPointF c, double size);
void birds(QPainter& p, Rng& rng, int count, const QRectF& area);

} // namespace mksamples
