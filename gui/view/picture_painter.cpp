#include "view/picture_painter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <cmath>

namespace kresograf {
namespace {

// 96 dots per inch in dots per metre.
constexpr int DotsPerMetre = 3780;

// The raised edge of the plot: outer ring light over dark, inner ring white over grey.
void PaintRaisedEdge(QPainter& painter, const PictureRect& r) {
    const int left = r.Left;
    const int top = r.Top;
    const int right = r.Right - 1;
    const int bottom = r.Bottom - 1;
    auto ring = [&](int inset, const QColor& topLeft, const QColor& bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(left + inset, bottom - inset, left + inset, top + inset);
        painter.drawLine(left + inset, top + inset, right - inset, top + inset);
        painter.setPen(bottomRight);
        painter.drawLine(right - inset, top + inset, right - inset, bottom - inset);
        painter.drawLine(right - inset, bottom - inset, left + inset, bottom - inset);
    };
    ring(0, QColor(223, 223, 223), QColor(0, 0, 0));
    ring(1, QColor(255, 255, 255), QColor(128, 128, 128));
}

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

// One-pixel solid segments straight into a 32-bit image, both ends included. Far faster than
// the general rasteriser for traces, whose columns are many short vertical runs.
class PixelWriter {
  public:
    PixelWriter(QImage& image, const QRect& clip)
        : bits_(reinterpret_cast<QRgb*>(image.bits())),
          stride_(image.bytesPerLine() / 4),
          clip_(clip.intersected(image.rect())) {}

    void Segment(PicturePoint a, PicturePoint b, QRgb color) {
        int x0 = a.X;
        int y0 = a.Y;
        int x1 = b.X;
        int y1 = b.Y;
        if (!clip_.contains(x0, y0) || !clip_.contains(x1, y1)) {
            double fx0 = x0, fy0 = y0, fx1 = x1, fy1 = y1;
            if (!ClipSegment(fx0, fy0, fx1, fy1, clip_)) {
                return;
            }
            x0 = static_cast<int>(std::lround(fx0));
            y0 = static_cast<int>(std::lround(fy0));
            x1 = static_cast<int>(std::lround(fx1));
            y1 = static_cast<int>(std::lround(fy1));
        }
        if (x0 == x1) {
            auto* pixel = bits_ + static_cast<qsizetype>(std::min(y0, y1)) * stride_ + x0;
            for (int n = std::abs(y1 - y0); n >= 0; --n, pixel += stride_) {
                *pixel = color;
            }
            return;
        }
        // Bresenham over whichever axis is longer.
        const int dx = std::abs(x1 - x0);
        const int dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1;
        const int sy = y0 < y1 ? 1 : -1;
        int error = dx + dy;
        for (;;) {
            if (clip_.contains(x0, y0)) {
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

  private:
    QRgb* bits_;
    qsizetype stride_;
    QRect clip_;
};

bool CanWriteDirectly(QPainter& painter) {
    auto* image = dynamic_cast<QImage*>(painter.device());
    return image != nullptr && painter.transform().isIdentity() &&
           (image->format() == QImage::Format_RGB32 ||
            image->format() == QImage::Format_ARGB32_Premultiplied);
}

}  // namespace

QFont LabelFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(7);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QImage MakeBackBuffer(int width, int height) {
    QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    image.setDotsPerMeterX(DotsPerMetre);
    image.setDotsPerMeterY(DotsPerMetre);
    return image;
}

TextMeasure MakeTextMeasure(const QFont& font, QPaintDevice* device) {
    auto metrics = std::make_shared<QFontMetrics>(font, device);
    return [metrics](std::string_view text) {
        const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        return TextSize{metrics->horizontalAdvance(s), metrics->height()};
    };
}

void PaintPicture(QPainter& painter, const Picture& picture, const QFont& font) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (picture.FillBackground) {
        painter.fillRect(0, 0, picture.Width, picture.Height, QColor(192, 192, 192));
    }
    if (!picture.HasPlot) {
        painter.restore();
        return;
    }
    const PictureRect& plot = picture.Plot;
    if (picture.FillPlot) {
        painter.fillRect(plot.Left, plot.Top, plot.Width(), plot.Height(), Qt::black);
    }
    if (picture.RaisedEdge) {
        PaintRaisedEdge(painter, plot);
    }
    for (const PictureLine& line : picture.AxisLines) {
        painter.setPen(QPen(ColorFromRef(line.Color), line.Width <= 1 ? 0 : line.Width));
        painter.drawLine(line.From.X, line.From.Y, line.To.X, line.To.Y);
    }

    painter.setFont(font);
    const QFontMetrics metrics(font, painter.device());
    for (const PictureLabel& label : picture.Labels) {
        const QString text = QString::fromStdString(label.Text);
        const int width = metrics.horizontalAdvance(text);
        const int x = label.Align == LabelAlign::BaselineRight ? label.Anchor.X - width
                                                               : label.Anchor.X - width / 2;
        painter.setPen(ColorFromRef(label.Color));
        painter.drawText(x, label.Anchor.Y, text);
    }

    const PictureRect& clip = picture.Clip;
    const QRect clipRect(clip.Left, clip.Top, clip.Width(), clip.Height());
    if (CanWriteDirectly(painter)) {
        PixelWriter writer(*static_cast<QImage*>(painter.device()), clipRect);
        for (const PictureTrace& trace : picture.Traces) {
            const QRgb color = ColorFromRef(trace.Color).rgb();
            const auto& points = trace.Points;
            for (std::size_t i = 1; i < points.size(); ++i) {
                writer.Segment(points[i - 1], points[i], color);
            }
            if (points.size() == 1) {
                writer.Segment(points[0], points[0], color);
            }
        }
    }
    painter.setClipRect(clipRect);
    QPolygon polygon;
    for (const PictureTrace& trace :
         CanWriteDirectly(painter) ? std::vector<PictureTrace>{} : picture.Traces) {
        if (trace.Points.empty()) {
            continue;
        }
        painter.setPen(QPen(ColorFromRef(trace.Color), 0));
        if (trace.Points.size() == 2) {
            // One pixel column: from the smallest to the largest y, both ends included.
            const PicturePoint a = trace.Points[0];
            const PicturePoint b = trace.Points[1];
            if (a == b) {
                painter.drawPoint(a.X, a.Y);
            } else {
                painter.drawLine(a.X, a.Y, b.X, b.Y);
            }
            continue;
        }
        polygon.resize(static_cast<int>(trace.Points.size()));
        for (std::size_t i = 0; i < trace.Points.size(); ++i) {
            polygon[static_cast<int>(i)] = QPoint(trace.Points[i].X, trace.Points[i].Y);
        }
        painter.drawPolyline(polygon);
    }
    if (!picture.Grid.empty()) {
        QPen gridPen(ColorFromRef(picture.GridColor), 0, Qt::DotLine);
        painter.setPen(gridPen);
        for (std::size_t i = 0; i + 1 < picture.Grid.size(); i += 2) {
            const PicturePoint a = picture.Grid[i];
            const PicturePoint b = picture.Grid[i + 1];
            painter.drawLine(a.X, a.Y, b.X, b.Y);
        }
    }
    painter.restore();
}

}  // namespace kresograf
