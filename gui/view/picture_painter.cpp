#include "view/picture_painter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

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
    painter.setClipRect(clip.Left, clip.Top, clip.Width(), clip.Height());
    QPolygon polygon;
    for (const PictureTrace& trace : picture.Traces) {
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
