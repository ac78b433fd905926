#include "view/trace_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kresograf {
namespace {

// Liang-Barsky: cuts the segment a-b to the rectangle; false when nothing of it is inside.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, const QRect& clip) {
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    double t0 = 0.0;
    double t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - clip.left(), clip.right() - x0, y0 - clip.top(), clip.bottom() - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) {
                return false;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) {
            return false;
        }
    }
    const double ox = x0;
    const double oy = y0;
    x0 = ox + t0 * dx;
    y0 = oy + t0 * dy;
    x1 = ox + t1 * dx;
    y1 = oy + t1 * dy;
    return true;
}

}  // namespace

TraceRaster::TraceRaster(QImage& image, const QRect& clip)
    : bits_(reinterpret_cast<QRgb*>(image.bits())), stride_(image.bytesPerLine() / 4) {
    const QRect r = clip.intersected(image.rect());
    if (!r.isEmpty()) {
        left_ = r.left();
        top_ = r.top();
        right_ = r.right();
        bottom_ = r.bottom();
    }
}

void TraceRaster::PolylineBySegments(const std::vector<PicturePoint>& points, QRgb color) {
    if (right_ < left_) {
        return;
    }
    for (std::size_t i = 1; i < points.size(); ++i) {
        Segment(points[i - 1], points[i], color);
    }
    if (points.size() == 1) {
        Segment(points[0], points[0], color);
    }
}

void TraceRaster::Polyline(const std::vector<PicturePoint>& points, QRgb color) {
    if (right_ < left_) {
        return;  // an empty clip: nothing of any segment is inside
    }
    if (points.size() == 1) {
        Segment(points[0], points[0], color);
        return;
    }
    for (std::size_t i = 1; i < points.size(); ++i) {
        const PicturePoint a = points[i - 1];
        const PicturePoint b = points[i];
        if (!Inside(a) || !Inside(b)) {
            Segment(a, b, color);
            continue;
        }
        const int dx = b.X - a.X;
        if (dx == 0) {
            AddRun(a.X, std::min(a.Y, b.Y), std::max(a.Y, b.Y), color);
        } else if (dx == 1 || dx == -1) {
            // The walk of a joint to the next column stays in a's column for the first
            // (d - 1) / 2 + 1 rows and takes the rest in b's (one row each when it is level).
            const int d = std::abs(b.Y - a.Y);
            if (d == 0) {
                AddRun(a.X, a.Y, a.Y, color);
                AddRun(b.X, b.Y, b.Y, color);
                continue;
            }
            const int sy = b.Y > a.Y ? 1 : -1;
            const int last = a.Y + sy * ((d - 1) / 2);
            AddRun(a.X, std::min(a.Y, last), std::max(a.Y, last), color);
            AddRun(b.X, std::min(last + sy, b.Y), std::max(last + sy, b.Y), color);
        } else {
            Walk(a.X, a.Y, b.X, b.Y, color);
        }
    }
    Flush(color);
}

void TraceRaster::Walk(int x0, int y0, int x1, int y1, QRgb color) {
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const qsizetype sy = y0 < y1 ? stride_ : -stride_;
    QRgb* pixel = bits_ + static_cast<qsizetype>(y0) * stride_ + x0;
    QRgb* const end = bits_ + static_cast<qsizetype>(y1) * stride_ + x1;
    int error = dx + dy;
    for (;;) {
        *pixel = color;
        if (pixel == end) {
            break;
        }
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            pixel += sx;
        }
        if (twice <= dx) {
            error += dx;
            pixel += sy;
        }
    }
}

void TraceRaster::Segment(PicturePoint a, PicturePoint b, QRgb color) {
    int x0 = a.X;
    int y0 = a.Y;
    int x1 = b.X;
    int y1 = b.Y;
    const QRect clip(QPoint(left_, top_), QPoint(right_, bottom_));
    if (!Inside(a) || !Inside(b)) {
        double fx0 = x0, fy0 = y0, fx1 = x1, fy1 = y1;
        if (!ClipSegment(fx0, fy0, fx1, fy1, clip)) {
            return;
        }
        x0 = static_cast<int>(std::lround(fx0));
        y0 = static_cast<int>(std::lround(fy0));
        x1 = static_cast<int>(std::lround(fx1));
        y1 = static_cast<int>(std::lround(fy1));
    }
    if (x0 == x1) {
        Run(x0, std::min(y0, y1), std::max(y0, y1), color);
        return;
    }
    // The integer walk over whichever axis is longer, pixel by pixel inside the clip.
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        if (Inside({x0, y0})) {
            bits_[static_cast<qsizetype>(y0) * stride_ + x0] = color;
        }
        if (x0 == x1 && y0 == y1) {
            break;
        }
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x0 += sx;
        }
        if (twice <= dx) {
            error += dx;
            y0 += sy;
        }
    }
}

}  // namespace kresograf
